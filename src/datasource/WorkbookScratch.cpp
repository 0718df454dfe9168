#include "datasource/WorkbookScratch.h"

#include "core/MessageBoxes.h"

#include <QDir>

void Delete_Excel_File_Temp_Folder()
{
    // Delete_File removes a link in place of the folder it points to: /tmp is shared.
    Delete_File(QDir(QDir::tempPath()).filePath(QStringLiteral("ziptmp")));
}
