#pragma once

#include <QImage>
#include <QString>

// The program's own pictures that drawing shows beside the objects' own: the placeholder of a
// picture whose file is missing and the hatch patterns. Drawing takes them from its caller and never
// looks them up itself, so that a worker draws with what the GUI thread handed it.
struct DrawingResources {
    QImage placeholder;
    QString hatchFolder; // holds "<name>.png" for each pattern; empty for none

    // The running program's: the design window's placeholder and the resources folder's patterns.
    // On the GUI thread.
    static DrawingResources ofProgram();
    // The pattern of that name, or a null image.
    QImage hatchPattern(const QString &name) const;
};
