#include "datasource/ui/Import_Wizard.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "core/StringHelpers.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/SeriesSources.h"
#include "datasource/ui/Import_Excel.h"
#include "datasource/ui/Import_Excel_DataSheet.h"
#include "platform/UiServices.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

Import_Wizard *Import_Wizard::defaultInstance()
{
    return defaultDialogInstance<Import_Wizard>();
}

Import_Wizard::Import_Wizard(QWidget *parent)
    : QDialog(parent), Excel_RD(named(new QRadioButton(tr("Excel workbook"), this), "Excel_RD")),
      Text_RD(named(new QRadioButton(tr("Text, CSV or RTF file"), this), "Text_RD")),
      Mnul_RD(named(new QRadioButton(tr("Pasted text"), this), "Mnul_RD")),
      Image_RD(named(new QRadioButton(tr("Pictures of a folder"), this), "Image_RD")),
      Excel_path(named(new QLineEdit(this), "Excel_path")), Text_path(named(new QLineEdit(this), "Text_path")),
      Image_path(named(new QLineEdit(this), "Image_path")),
      Excel_btn(named(new QPushButton(tr("Browse..."), this), "Excel_btn")),
      Text_btn(named(new QPushButton(tr("Browse..."), this), "Text_btn")),
      Image_btn(named(new QPushButton(tr("Browse..."), this), "Image_btn")),
      ManualEdit(named(new QPlainTextEdit(this), "ManualEdit")),
      Excel_file_name(named(new QLineEdit(this), "Excel_file_name")),
      Text_file_name(named(new QLineEdit(this), "Text_file_name")),
      Manual_file_name(named(new QLineEdit(this), "Manual_file_name")),
      Image_file_name(named(new QLineEdit(this), "Image_file_name")), plz_wait_Window(new PleaseWait_Modeless(this))
{
    setObjectName(QStringLiteral("Import_Wizard"));
    setWindowTitle(tr("Import Series"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *heading = new QLabel(tr("Where do the values of the series come from?"), this);
    DialogLook::makeHeading(heading, 1.05);
    auto *sources = new QButtonGroup(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(2, 1);
    ManualEdit->setPlaceholderText(tr("One value a line"));
    ManualEdit->setTabChangesFocus(true);
    ManualEdit->setMinimumHeight(90);
    const struct {
        QRadioButton *radio;
        QWidget *source;
        QPushButton *browse;
        QLineEdit *name;
    } rows[] = {{Excel_RD, Excel_path, Excel_btn, Excel_file_name},
                {Text_RD, Text_path, Text_btn, Text_file_name},
                {Mnul_RD, ManualEdit, nullptr, Manual_file_name},
                {Image_RD, Image_path, Image_btn, Image_file_name}};
    int line = 0;
    for (const auto &row : rows) {
        if (line > 0)
            grid->setRowMinimumHeight(line++, 8);
        sources->addButton(row.radio);
        grid->addWidget(row.radio, line, 0, 1, 4);
        ++line;
        const bool paste = row.source == ManualEdit;
        grid->addWidget(new QLabel(paste ? tr("Values:") : tr("From:"), this), line, 1, Qt::AlignRight | (paste ? Qt::AlignTop : Qt::AlignVCenter));
        grid->addWidget(row.source, line, 2, 1, row.browse ? 1 : 2);
        if (row.browse) {
            row.browse->setAutoDefault(false);
            grid->addWidget(row.browse, line, 3);
        }
        ++line;
        auto *label = new QLabel(tr("Series name:"), this);
        label->setObjectName(row.name->objectName() + QStringLiteral("_label"));
        grid->addWidget(label, line, 1, Qt::AlignRight);
        grid->addWidget(row.name, line, 2);
        ++line;
    }
    grid->setColumnMinimumWidth(0, 14);
    Excel_path->setMinimumWidth(320);

    auto *help = named(new QPushButton(tr("Help"), this), "Help_btn");
    auto *cancel = named(new QPushButton(tr("Cancel"), this), "Cancel_btn");
    auto *ok = named(new QPushButton(tr("OK"), this), "OK_btn");
    ok->setDefault(true);
    help->setAutoDefault(false);
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Excel_RD, &QRadioButton::clicked, this, [this] { Excel_RD_Pressed(); });
    connect(Text_RD, &QRadioButton::clicked, this, [this] { Text_RD_Pressed(); });
    connect(Mnul_RD, &QRadioButton::clicked, this, [this] { Manual_RD_Pressed(); });
    connect(Image_RD, &QRadioButton::clicked, this, [this] { Image_RD_Pressed(); });
    connect(Excel_btn, &QPushButton::clicked, this, [this] { Browse_Excel_Pressed(); });
    connect(Text_btn, &QPushButton::clicked, this, [this] { Browse_Text_Pressed(); });
    connect(Image_btn, &QPushButton::clicked, this, [this] { Browse_Image_Pressed(); });
    connect(ok, &QPushButton::clicked, this, [this] { OKPressed(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { HelpPressed(); });
}

int Import_Wizard::Open_Wnd()
{
    Check_Path_And_Create_Files();
    for (QLineEdit *field : {Excel_path, Text_path, Image_path, Excel_file_name, Text_file_name, Manual_file_name,
                             Image_file_name})
        field->clear();
    ManualEdit->clear();
    const bool named = file_name_required == 1;
    for (QLineEdit *name : {Excel_file_name, Text_file_name, Manual_file_name, Image_file_name}) {
        // A workbook's series are named in the sheet import.
        const bool shown = named && name != Excel_file_name;
        name->setVisible(shown);
        if (QWidget *label = findChild<QWidget *>(name->objectName() + QStringLiteral("_label")))
            label->setVisible(shown);
    }
    chooseSource(SeriesImporter::Workbook);
    const int code = exec();
    hide();
    return code;
}

void Import_Wizard::chooseSource(int option)
{
    import_option = option;
    const struct {
        QRadioButton *radio;
        QList<QWidget *> group;
        QLineEdit *name;
    } groups[] = {{Excel_RD, {Excel_btn, Excel_path}, Excel_file_name},
                  {Text_RD, {Text_btn, Text_path}, Text_file_name},
                  {Mnul_RD, {ManualEdit}, Manual_file_name},
                  {Image_RD, {Image_btn, Image_path}, Image_file_name}};
    for (int index = 0; index < 4; ++index) {
        const auto &entry = groups[index];
        const bool on = index == option;
        entry.radio->setChecked(on);
        for (QWidget *widget : entry.group)
            widget->setEnabled(on);
        entry.name->setEnabled(on);
        if (on && Trim_Str(entry.name->text()).isEmpty())
            entry.name->setText(QStringLiteral("Untitled"));
    }
}

void Import_Wizard::Browse_Excel_Pressed()
{
    const QString path = platform::uiServices().chooseFileToOpen(
        tr("Choose a Workbook"), Panel_Start_Folder(QStandardPaths::DocumentsLocation),
        {QStringLiteral("xlsx"), QStringLiteral("XLSX"), QStringLiteral("ods"), QStringLiteral("ODS"), QStringLiteral("xml"),
         QStringLiteral("XML")});
    if (path.isEmpty())
        return;
    Excel_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Text_Pressed()
{
    const QString path = platform::uiServices().chooseFileToOpen(
        tr("Choose a Text File"), Panel_Start_Folder(QStandardPaths::DocumentsLocation),
        {QStringLiteral("txt"), QStringLiteral("TXT"), QStringLiteral("rtf"), QStringLiteral("RTF"), QStringLiteral("csv"),
         QStringLiteral("CSV")});
    if (path.isEmpty())
        return;
    Text_path->setText(path);
    OKPressed();
}

void Import_Wizard::Browse_Image_Pressed()
{
    const QString path =
        platform::uiServices().chooseFolder(tr("Choose a Folder of Pictures"), Panel_Start_Folder(QStandardPaths::PicturesLocation));
    if (path.isEmpty())
        return;
    Image_path->setText(path);
    OKPressed();
}

void Import_Wizard::OKPressed()
{
    SeriesImporter importer;
    importer.file_name_required = file_name_required;
    importer.file_name_Insert = file_name_Insert;
    bool finished = false;
    switch (import_option) {
    case SeriesImporter::Workbook:
        if (Check_And_Validate_File_Path(Excel_path->text()) != 0)
            return;
        finished = importWorkbook(importer);
        break;
    case SeriesImporter::TextFile:
        if (Check_And_Validate_File_Path(Text_path->text()) != 0)
            return;
        Show_Create_Modeless();
        finished = importer.Create_And_Save_Text_Data_Sheet(Trim_Str(Text_path->text()), Text_file_name->text());
        break;
    case SeriesImporter::PastedText:
        Show_Create_Modeless();
        finished = importer.Create_And_Save_Manual_Paste_data_Sheet(ManualEdit->toPlainText(), Manual_file_name->text());
        break;
    case SeriesImporter::PictureFolder:
        if (Check_And_Validate_File_Path(Image_path->text()) != 0)
            return;
        Show_Create_Modeless();
        finished = importer.Create_And_Save_Image_data_Sheet(Trim_Str(Image_path->text()), Image_file_name->text());
        break;
    }
    Hide_Destroy_Modeless();
    if (finished)
        done(1);
}

bool Import_Wizard::importWorkbook(SeriesImporter &)
{
    const QString path = Trim_Str(Excel_path->text());
    if (file_name_required == 1) {
        // The sheet import names its series itself, one per column or one filled from several;
        // the wizard closes whatever its outcome.
        Import_Excel_DataSheet *sheet = Import_Excel_DataSheet::defaultInstance();
        sheet->file_name_Insert = file_name_Insert;
        sheet->Open_excel_Wnd(path);
        return true;
    }
    Import_Excel *picker = Import_Excel::defaultInstance();
    picker->setOpen_mode(QStringLiteral("D"));
    picker->Open_excel_Wnd(path);
    if (BatchSeriesManager *manager = BatchWizard_Window(); manager && file_name_Insert == 1)
        manager->Fill_List();
    return true;
}

void Import_Wizard::CancelPressed()
{
    done(0);
}

void Import_Wizard::reject()
{
    CancelPressed();
}

void Import_Wizard::HelpPressed()
{
    Open_Help_File();
}

void Import_Wizard::Show_Create_Modeless()
{
    plz_wait_Window->setMessage(tr("Importing the values, please wait…"));
    plz_wait_Window->showPanel();
    plz_wait_Window->repaint();
}

void Import_Wizard::Hide_Destroy_Modeless()
{
    plz_wait_Window->hidePanel();
}
