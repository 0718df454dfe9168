#pragma once

#include <QString>
#include <QStringList>

// What the series import wizard does with a source once it is chosen, without its window: it reads
// the values and either writes them as a new series (file_name_required 1) or hands them to the
// series the batch series manager is editing (0), then has the manager read its series list again
// when file_name_Insert is 1. Each import answers true when it finished; false, said why, leaves the
// wizard open with nothing written. Main thread only.
class SeriesImporter {
public:
    enum Source { Workbook = 0, TextFile = 1, PastedText = 2, PictureFolder = 3 };

    int file_name_required = 0;
    int file_name_Insert = 0;

    // A text, CSV or RTF file into the series `name`.
    bool Create_And_Save_Text_Data_Sheet(const QString &path, const QString &name);
    // Pasted text into the series `name`: in a series file each non-blank line as it stands, in
    // the manager's list each line trimmed.
    bool Create_And_Save_Manual_Paste_data_Sheet(const QString &text, const QString &name);
    // The full paths of the pictures of `folder` into the series `name`.
    bool Create_And_Save_Image_data_Sheet(const QString &folder, const QString &name);
    // Values already read (the cells taken from a workbook) into the series `name`.
    bool deliver(const QStringList &values, const QString &name);
};
