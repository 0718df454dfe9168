#include "datasource/ui/Import_Excel_DataSheet.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/MessageBoxes.h"
#include "datasource/SeriesStore.h"
#include "datasource/ui/SheetColumnTicks.h"
#include "datasource/ui/Long_SMS_Dlg.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/SetObjEnabled.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

constexpr int kHeaderColumn = 2;

} // namespace

Import_Excel_DataSheet *Import_Excel_DataSheet::defaultInstance()
{
    return defaultDialogInstance<Import_Excel_DataSheet>();
}

Import_Excel_DataSheet::Import_Excel_DataSheet(QWidget *parent)
    : QDialog(parent), file_path(named(new QLineEdit(this), "file_path")),
      contains_header(named(new QCheckBox(tr("First row holds the column titles"), this), "contains_header")),
      Sheet_ComboBox(named(new QComboBox(this), "Sheet_ComboBox")), ColList(named(new QTableView(this), "ColList")),
      Each_col_RD(named(new QRadioButton(tr("Each ticked column becomes a series of its own"), this), "Each_col_RD")),
      Fill_col_RD(named(new QRadioButton(tr("Fill the ticked columns into one series"), this), "Fill_col_RD")),
      fill_box(named(new QGroupBox(this), "fill_box")), matrix_fill_type(new QButtonGroup(this)),
      list_name(named(new QLineEdit(this), "list_name")), List_ComboBox(named(new QComboBox(this), "List_ComboBox")),
      plz_wait_Window(new PleaseWait_Modeless(this))
{
    setObjectName(QStringLiteral("Import_Excel_DataSheet"));
    setWindowTitle(tr("Import Series from Excel Sheet"));
    setModal(true);
    import.picker.wait = InputShield::waitFor(this);
    DialogLook::applyBackground(this);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    m_columns = columnTicksModel(import.picker.ListData_xl,
                                 {{ExcelSheetPicker::kStateKey, tr("Use"), Qt::AlignCenter, 48, true, true},
                                  {ExcelSheetPicker::kTitleKey, tr("Column"), left, 200, false, false},
                                  {ExcelSeriesImport::kHeaderKey, tr("Series name"), left, 200, false, true}},
                                 this);

    auto *heading = new QLabel(tr("Choose a sheet of the workbook and tick the columns to make series of."), this);
    DialogLook::makeHeading(heading, 1.05);
    QFormLayout *form = sheetPickerForm(file_path, 360, Sheet_ComboBox, contains_header);

    setUpColumnTicksView(ColList, m_columns, 200);

    // The fill target: a new series named here, or a series of the list replaced or extended.
    const char *targets[] = {"New series", "Replace series", "Add to series"};
    auto *targetRow = new QHBoxLayout;
    for (int t = 0; t < 3; ++t) {
        auto *cell = new QRadioButton(tr(targets[t]), fill_box);
        cell->setObjectName(QStringLiteral("fill_type_%1").arg(t));
        matrix_fill_type->addButton(cell, t);
        targetRow->addWidget(cell);
    }
    targetRow->addStretch(1);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Series name:"), fill_box));
    nameRow->addWidget(list_name, 1);
    nameRow->addWidget(List_ComboBox, 1);
    auto *fillLayout = new QVBoxLayout(fill_box);
    fillLayout->setContentsMargins(24, 4, 0, 0);
    fillLayout->addLayout(targetRow);
    fillLayout->addLayout(nameRow);
    fill_box->setFlat(true);

    QHBoxLayout *buttons = sheetPickerButtons(
        this, [this] { Select_ALL_Pressed(); }, [this] { Clear_All_Pressed(); }, [this] { CancelPressed(); },
        [this] { OKPressed(); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addWidget(ColList, 1);
    layout->addWidget(Each_col_RD);
    layout->addWidget(Fill_col_RD);
    layout->addWidget(fill_box);
    layout->addLayout(buttons);

    connect(Sheet_ComboBox, &QComboBox::currentIndexChanged, this, [this](int index) { comboBoxSelectionDidChange(index); });
    connect(contains_header, &QCheckBox::toggled, this, [this](bool on) { import.picker.contains_header = on; });
    connect(Each_col_RD, &QRadioButton::clicked, this, [this] { Each_Col_RD_Click(); });
    connect(Fill_col_RD, &QRadioButton::clicked, this, [this] { Fill_Col_RD_Click(); });
    connect(matrix_fill_type, &QButtonGroup::idClicked, this, [this](int target) { Fill_Type_CellClick(target); });
    connect(list_name, &QLineEdit::textChanged, this, [this](const QString &text) { import.list_name = text; });
    connect(List_ComboBox, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { import.chosen_series = text; });
}

Import_Excel_DataSheet::~Import_Excel_DataSheet()
{
    // The column list reads the import's entries, which go first.
    ColList->setModel(nullptr);
    delete m_columns;
}

int Import_Excel_DataSheet::Open_excel_Wnd(const QString &path)
{
    file_path->setText(path);
    if (!Load_file_Func(path))
        return 0;
    const int code = exec();
    hide();
    return code;
}

bool Import_Excel_DataSheet::Load_file_Func(const QString &path)
{
    Show_Create_Modeless();
    QString error;
    const bool loaded = import.Open(path, &error);
    import.file_name_Insert = file_name_Insert;
    {
        const QSignalBlocker sheets(Sheet_ComboBox);
        Sheet_ComboBox->clear();
        Sheet_ComboBox->addItems(import.picker.sheetNames());
        Sheet_ComboBox->setCurrentIndex(import.picker.chosenSheet());
    }
    {
        const QSignalBlocker series(List_ComboBox);
        List_ComboBox->clear();
        List_ComboBox->addItems(Get_datasheet_File_Name_Array());
    }
    import.chosen_series = List_ComboBox->currentText();
    list_name->clear();
    showControls();
    Hide_Destroy_Modeless();
    if (!loaded)
        Show_MessageBox(ExcelSheetPicker::unreadable(error));
    return loaded;
}

void Import_Excel_DataSheet::showControls()
{
    {
        const QSignalBlocker blocker(contains_header);
        contains_header->setChecked(import.picker.contains_header);
    }
    Each_col_RD->setChecked(import.each_column);
    Fill_col_RD->setChecked(!import.each_column);
    SetObjEnabled(fill_box, !import.each_column);
    if (QAbstractButton *cell = matrix_fill_type->button(import.fill_col_option))
        cell->setChecked(true);
    const bool newSeries = import.fill_col_option == ExcelSeriesImport::NewSeries;
    list_name->setVisible(newSeries);
    List_ComboBox->setVisible(!newSeries);
    // The series names typed in the table only name series of their own columns.
    ColList->setColumnHidden(kHeaderColumn, !import.each_column);
    m_columns->reloadData();
}

void Import_Excel_DataSheet::comboBoxSelectionDidChange(int index)
{
    if (index < 0 || index == import.picker.chosenSheet())
        return;
    QString error;
    Show_Create_Modeless();
    const bool chosen = import.chooseSheet(index, &error);
    Hide_Destroy_Modeless();
    if (!chosen) {
        const QSignalBlocker blocker(Sheet_ComboBox);
        Sheet_ComboBox->setCurrentIndex(import.picker.chosenSheet());
        Show_MessageBox(error);
    }
    m_columns->reloadData();
}

void Import_Excel_DataSheet::Select_ALL_Pressed()
{
    import.picker.Select_ALL_Pressed();
    m_columns->reloadData();
}

void Import_Excel_DataSheet::Clear_All_Pressed()
{
    import.picker.Clear_All_Pressed();
    m_columns->reloadData();
}

void Import_Excel_DataSheet::Each_Col_RD_Click()
{
    import.each_column = true;
    showControls();
}

void Import_Excel_DataSheet::Fill_Col_RD_Click()
{
    import.each_column = false;
    showControls();
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int target)
{
    import.fill_col_option = target;
    showControls();
}

void Import_Excel_DataSheet::OKPressed()
{
    const bool reading = import.picker.Check_For_One_Extension_Selection();
    if (reading)
        Show_Create_Modeless();
    const std::optional<int> code = import.OKPressed([this](const QString &title, const QString &text, bool all) {
        Hide_Destroy_Modeless();
        const int answer = Long_SMS_Dlg::Ask_Question(title, text, all);
        Show_Create_Modeless();
        return answer;
    });
    if (reading)
        Hide_Destroy_Modeless();
    if (code)
        done(*code);
}

void Import_Excel_DataSheet::CancelPressed()
{
    done(import.CancelPressed());
}

void Import_Excel_DataSheet::reject()
{
    // A close while the workbook is read or taken would leave the caller a half-made choice.
    if (!plz_wait_Window->isVisible())
        CancelPressed();
}

void Import_Excel_DataSheet::Show_Create_Modeless()
{
    plz_wait_Window->setMessage(tr("Reading the workbook, please wait…"));
    plz_wait_Window->showPanel();
}

void Import_Excel_DataSheet::Hide_Destroy_Modeless()
{
    plz_wait_Window->hidePanel();
}
