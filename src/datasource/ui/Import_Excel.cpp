#include "datasource/ui/Import_Excel.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/MessageBoxes.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/ui/SheetColumnTicks.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

Import_Excel *Import_Excel::defaultInstance()
{
    return defaultDialogInstance<Import_Excel>();
}

Import_Excel::Import_Excel(QWidget *parent)
    : QDialog(parent), file_path(new QLineEdit(this)), contains_header(new QCheckBox(tr("First row holds the column titles"), this)),
      Sheet_ComboBox(new QComboBox(this)), ColList(new QTableView(this)), plz_wait_Window(new PleaseWait_Modeless(this))
{
    setObjectName(QStringLiteral("Import_Excel"));
    setWindowTitle(tr("Choose Sheet and Columns"));
    setModal(true);
    // The waiting sheet is up while the workbook is read, and only then: a question or message that
    // comes before or after a read (the columns' titles asked about, a sheet that cannot be read)
    // is not left behind it.
    picker.wait = [this, shielded = InputShield::waitFor(this)](const std::function<void()> &work) {
        Show_Create_Modeless();
        shielded(work);
        Hide_Destroy_Modeless();
    };
    DialogLook::applyBackground(this);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    m_columns = columnTicksModel(picker.ListData_xl,
                                 {{ExcelSheetPicker::kStateKey, tr("Use"), Qt::AlignCenter, 48, true, false},
                                  {ExcelSheetPicker::kTitleKey, tr("Column"), left, 260, false, false}},
                                 this);

    auto *heading = new QLabel(tr("Choose a sheet of the workbook and tick the columns to take."), this);
    DialogLook::makeHeading(heading, 1.05);

    file_path->setObjectName(QStringLiteral("file_path"));
    Sheet_ComboBox->setObjectName(QStringLiteral("Sheet_ComboBox"));
    contains_header->setObjectName(QStringLiteral("contains_header"));
    QFormLayout *form = sheetPickerForm(file_path, 340, Sheet_ComboBox, contains_header);

    ColList->setObjectName(QStringLiteral("ColList"));
    setUpColumnTicksView(ColList, m_columns, 220);

    QHBoxLayout *buttons = sheetPickerButtons(
        this, [this] { Select_ALL_Pressed(); }, [this] { Clear_All_Pressed(); }, [this] { CancelPressed(); },
        [this] { OKPressed(); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addWidget(ColList, 1);
    layout->addLayout(buttons);

    connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this, [this](int index) { comboBoxSelectionDidChange(index); });
    connect(contains_header, &QCheckBox::toggled, this, [this](bool on) { picker.contains_header = on; });
}

Import_Excel::~Import_Excel()
{
    // The column list reads the picker's entries, which go first.
    ColList->setModel(nullptr);
    delete m_columns;
}

int Import_Excel::Open_excel_Wnd(const QString &path)
{
    file_path->setText(path);
    if (!Load_file_Func(path))
        return 0;
    const int code = exec();
    hide();
    return code;
}

bool Import_Excel::Load_file_Func(const QString &path)
{
    QString error;
    const bool loaded = picker.Open(path, &error);
    showSheets();
    if (!loaded)
        Show_MessageBox(ExcelSheetPicker::unreadable(error));
    return loaded;
}

void Import_Excel::showSheets()
{
    {
        const QSignalBlocker blocker(Sheet_ComboBox);
        Sheet_ComboBox->clear();
        Sheet_ComboBox->addItems(picker.sheetNames());
        Sheet_ComboBox->setCurrentIndex(picker.chosenSheet());
    }
    {
        const QSignalBlocker blocker(contains_header);
        contains_header->setChecked(picker.contains_header);
    }
    reloadColumns();
}

void Import_Excel::reloadColumns()
{
    m_columns->reloadData();
}

void Import_Excel::comboBoxSelectionDidChange(int index)
{
    if (index < 0 || index == picker.chosenSheet())
        return;
    QString error;
    const bool chosen = picker.comboBoxSelectionDidChange(index, &error);
    if (!chosen) {
        const QSignalBlocker blocker(Sheet_ComboBox);
        Sheet_ComboBox->setCurrentIndex(picker.chosenSheet());
        Show_MessageBox(error);
    }
    reloadColumns();
}

void Import_Excel::Select_ALL_Pressed()
{
    picker.Select_ALL_Pressed();
    reloadColumns();
}

void Import_Excel::Clear_All_Pressed()
{
    picker.Clear_All_Pressed();
    reloadColumns();
}

void Import_Excel::OKPressed()
{
    const std::optional<int> code = picker.OKPressed(*Data_From_Excel::defaultInstance());
    if (code)
        done(*code);
}

void Import_Excel::CancelPressed()
{
    done(picker.CancelPressed());
}

void Import_Excel::reject()
{
    // A close while the workbook is read or taken would leave the caller a half-made choice.
    if (!plz_wait_Window->isVisible())
        CancelPressed();
}

void Import_Excel::Show_Create_Modeless()
{
    plz_wait_Window->setMessage(tr("Reading the workbook, please wait…"));
    plz_wait_Window->showPanel();
}

void Import_Excel::Hide_Destroy_Modeless()
{
    plz_wait_Window->hidePanel();
}
