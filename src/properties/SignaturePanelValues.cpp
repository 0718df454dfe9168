#include "properties/SignaturePanelValues.h"

#include "document/SKTGraphic.h"
#include "properties/PanelConversions.h"

using namespace PanelConversions;

void SignaturePanelValues::writeInto(SKTGraphic &g) const
{
    g.print_object = printObject;
    writeOutline(*this, g);
    g._file_path = path;
}

SignaturePanelValues SignaturePanelValues::of(const SKTGraphic &g)
{
    SignaturePanelValues v;
    readOutline(v, g);
    v.path = g._file_path;
    v.printObject = g.print_object;
    return v;
}
