#include "output/ui/Print_Wnd.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/UnitConversion.h"
#include "output/ui/AlignmentPictures.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Sample_Preview.h"
#include "output/ui/SheetPreview.h"
#include "platform/UiServices.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/Form.h"
#include "platform/ui/PrinterSettings.h"
#include "platform/ui/StepperSpinBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

const QString Print_Wnd::kPdfTarget = QStringLiteral("Save as PDF file");

namespace {

// Papers offered for a PDF file, or a printer that names none.
const QPageSize::PageSizeId kCommonPapers[] = {
    QPageSize::A4,       QPageSize::Letter,  QPageSize::Legal,     QPageSize::A3,         QPageSize::A5,
    QPageSize::B5,       QPageSize::JisB5,   QPageSize::Executive, QPageSize::Tabloid,    QPageSize::EnvelopeDL,
    QPageSize::Envelope10, QPageSize::Postcard,
};

QLineEdit *shownOnly(const char *name)
{
    auto *field = Form::named(new QLineEdit, name);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

// A printer's job: a run that stops is taken back from the printer, not sent half done.
class PrinterTarget : public PagedDeviceTarget {
public:
    explicit PrinterTarget(std::shared_ptr<QPrinter> printer) : PagedDeviceTarget(*printer), m_printer(std::move(printer)) {}
    void abandon() override
    {
        m_printer->abort();
        PagedDeviceTarget::abandon();
    }

private:
    std::shared_ptr<QPrinter> m_printer;
};

QString millimetres(double points)
{
    return QString::asprintf("%0.2f", double(Points_to_MM_Convert(float(points))));
}

} // namespace

Print_Wnd::Print_Wnd(QWidget *parent)
    : QDialog(parent), Printer_ComboBox(Form::comboBox("Printer_ComboBox")),
      Orient_ComboBox(Form::comboBox("Orient_ComboBox", {QStringLiteral("Portrait"), QStringLiteral("Landscape")})),
      Paper_id(Form::comboBox("Paper_id")), Size_id(shownOnly("Size_id")), l_mar_id(shownOnly("l_mar_id")),
      r_mar_id(shownOnly("r_mar_id")), t_mar_id(shownOnly("t_mar_id")), b_mar_id(shownOnly("b_mar_id")),
      horz_mar_Stepper(Form::stepper("horz_mar_Stepper", "horz_mar_Text", 0, 500, tr(" mm"), 2)),
      vert_mar_Stepper(Form::stepper("vert_mar_Stepper", "vert_mar_Text", 0, 500, tr(" mm"), 2)),
      width_Stepper(Form::stepper("width_Stepper", "width_Text", 1, 2000, tr(" mm"), 2)),
      height_Stepper(Form::stepper("height_Stepper", "height_Text", 1, 2000, tr(" mm"), 2)),
      Row_Stepper(Form::stepper("Row_Stepper", "Row_Text", 1, 100)),
      Col_Stepper(Form::stepper("Col_Stepper", "Col_Text", 1, 100)),
      Total_Stepper(Form::stepper("Total_Stepper", "Total_Text", 0, 999999)),
      Copies_Stepper(Form::stepper("Copies_Stepper", "Copies_Text", 1, 999)),
      Show_Margins(Form::checkBox("Show_Margins", tr("Outline the cells"))),
      Auto_Center_chk_bx(Form::checkBox("Auto_Center_chk_bx", tr("Centre the grid (equal gaps)"))),
      align_Gp_Bx(Form::named(new QGroupBox(tr("Position on the paper")), "align_Gp_Bx")),
      alignButtons(new QButtonGroup(this)),
      matrix_card_side(Form::named(new QGroupBox(tr("Sides")), "matrix_card_side")), sideRows(new QButtonGroup(this)),
      print_alignment(Form::comboBox("print_alignment", {tr("Front above back"), tr("Front left of back")})),
      print_with_batch_chk(Form::checkBox("print_with_batch_chk", tr("One card per value of the bound series"))),
      print_with_excel_chk(Form::checkBox("print_with_excel_chk", tr("One card per bound Excel row"))),
      PrintView(new Sample_Preview), m_pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())
{
    setObjectName(QStringLiteral("Print_Wnd"));
    setWindowTitle(tr("Print"));
    setModal(true);
    DialogLook::applyBackground(this);

    // The printer and its paper.
    auto *printerBox = new QGroupBox(tr("Printer"));
    QFormLayout *printerRows = Form::rows(printerBox);
    printerRows->addRow(tr("Printer:"), Printer_ComboBox);
    printerRows->addRow(tr("Paper:"), Paper_id);
    printerRows->addRow(tr("Size:"), Size_id);
    printerRows->addRow(tr("Orientation:"), Orient_ComboBox);
    auto *margins = new QGridLayout;
    const std::pair<const char *, QLineEdit *> marginFields[] = {
        {"Left", l_mar_id}, {"Right", r_mar_id}, {"Top", t_mar_id}, {"Bottom", b_mar_id}};
    for (int i = 0; i < 4; ++i) {
        margins->addWidget(Form::rowLabel(tr(marginFields[i].first), 44), i / 2, (i % 2) * 2);
        marginFields[i].second->setMaximumWidth(70);
        margins->addWidget(marginFields[i].second, i / 2, (i % 2) * 2 + 1);
    }
    printerRows->addRow(tr("Margins:"), margins);
    Printer_ComboBox->setMinimumWidth(220);

    // The cells.
    auto *cellBox = new QGroupBox(tr("Cards on the sheet"));
    auto *cellGrid = new QGridLayout(cellBox);
    cellGrid->setHorizontalSpacing(8);
    const std::pair<QString, StepperSpinBox *> cellFields[] = {
        {tr("Width:"), width_Stepper},      {tr("Height:"), height_Stepper}, {tr("Across gap:"), horz_mar_Stepper},
        {tr("Down gap:"), vert_mar_Stepper}, {tr("Rows:"), Row_Stepper},      {tr("Columns:"), Col_Stepper},
        {tr("Cards:"), Total_Stepper},      {tr("Copies:"), Copies_Stepper},
    };
    for (int i = 0; i < 8; ++i) {
        cellGrid->addWidget(Form::rowLabel(cellFields[i].first, 76), i / 2, (i % 2) * 2);
        cellGrid->addWidget(cellFields[i].second, i / 2, (i % 2) * 2 + 1);
    }
    cellGrid->addWidget(Show_Margins, 4, 0, 1, 4);

    // The sides in a cell.
    auto *sideLayout = new QVBoxLayout(matrix_card_side);
    const QString sideTitles[] = {tr("Both sides"), tr("Front side"), tr("Back side")};
    for (int row = 0; row < 3; ++row) {
        auto *button = new QRadioButton(sideTitles[row]);
        sideRows->addButton(button, row);
        sideLayout->addWidget(button);
    }
    sideLayout->addWidget(print_alignment);

    // Where the grid sits.
    auto *alignLayout = new QVBoxLayout(align_Gp_Bx);
    auto *alignGrid = new QGridLayout;
    alignGrid->setSpacing(2);
    const char *const alignNames[] = {"top_left_btn", "top_center_btn", "top_rite_btn",
                                      "mid_left_btn", "mid_center_btn", "mid_rite_btn",
                                      "bot_left_btn", "bot_center_btn", "bot_rite_btn"};
    const QString alignTips[] = {tr("Top left"),    tr("Top centre"),    tr("Top right"),
                                 tr("Middle left"), tr("Middle centre"), tr("Middle right"),
                                 tr("Bottom left"), tr("Bottom centre"), tr("Bottom right")};
    for (int code = 1; code <= 9; ++code) {
        auto *button = Form::named(new QToolButton, alignNames[code - 1]);
        button->setIconSize(QSize(28, 28));
        button->setToolTip(alignTips[code - 1]);
        button->setAutoRaise(true);
        alignButtons->addButton(button, code);
        alignGrid->addWidget(button, (code - 1) / 3, (code - 1) % 3);
    }
    auto *alignRow = new QHBoxLayout;
    alignRow->addLayout(alignGrid);
    alignRow->addStretch(1);
    alignLayout->addLayout(alignRow);
    auto *autoRow = new QVBoxLayout;
    autoRow->addWidget(Auto_Center_chk_bx);

    auto *dataBox = new QGroupBox(tr("Data"));
    auto *dataLayout = new QVBoxLayout(dataBox);
    dataLayout->addWidget(print_with_batch_chk);
    dataLayout->addWidget(print_with_excel_chk);

    pageSetupButton = Form::named(new QPushButton(tr("Page Setup...")), "pageSetupButton");
    previewButton = Form::named(new QPushButton(tr("Preview")), "previewButton");
    printButton = Form::named(new QPushButton(tr("Print")), "printButton");
    cancelButton = Form::named(new QPushButton(tr("Cancel")), "cancelButton");
    printButton->setDefault(true);

    auto *left = new QVBoxLayout;
    left->addWidget(printerBox);
    left->addWidget(cellBox);
    left->addWidget(dataBox);
    left->addStretch(1);
    auto *middle = new QVBoxLayout;
    middle->addWidget(matrix_card_side);
    middle->addWidget(align_Gp_Bx);
    middle->addLayout(autoRow);
    middle->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->setSpacing(14);
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addWidget(PrintView, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(pageSetupButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(previewButton);
    buttons->addWidget(printButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(12);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    for (StepperSpinBox *stepper : {horz_mar_Stepper, vert_mar_Stepper, width_Stepper, height_Stepper, Row_Stepper,
                                    Col_Stepper}) {
        connect(stepper, &StepperSpinBox::stepped, this, [this] { Check_Max_Cell_Value(); });
        connect(stepper, &StepperSpinBox::typed, this, [this] { Check_Max_Cell_Value(); });
    }
    connect(Printer_ComboBox, &QComboBox::activated, this, [this] { printerChanged(); });
    connect(Paper_id, &QComboBox::activated, this, [this] { paperChanged(); });
    connect(Orient_ComboBox, &QComboBox::activated, this, [this] { orientationChanged(); });
    connect(print_alignment, &QComboBox::activated, this, [this] { arrangementChanged(); });
    connect(sideRows, &QButtonGroup::idClicked, this, [this](int row) { card_side_CellClick(row); });
    connect(alignButtons, &QButtonGroup::idClicked, this, [this](int code) { alignmentClicked(code); });
    connect(Show_Margins, &QCheckBox::clicked, this, [this](bool on) {
        m_layout.Show_margin_rect = on;
        Refresh_Preview();
    });
    connect(Auto_Center_chk_bx, &QCheckBox::clicked, this, [this] { Auto_Center_Checked(); });
    connect(print_with_batch_chk, &QCheckBox::clicked, this, [this] { Verify_Card_Count(true); });
    connect(print_with_excel_chk, &QCheckBox::clicked, this, [this] { Verify_Card_Count(false); });
    connect(pageSetupButton, &QPushButton::clicked, this, [this] { pagesetup(); });
    connect(previewButton, &QPushButton::clicked, this, [this] { PreviewButtonPressed(); });
    connect(printButton, &QPushButton::clicked, this, [this] { PrintButtonPressed(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { CancelButtonPressed(); });
}

Print_Wnd::~Print_Wnd() = default;

Print_Wnd *Print_Wnd::defaultInstance()
{
    return defaultDialogInstance<Print_Wnd>();
}

bool Print_Wnd::pdfTargetAvailable()
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    return printer.isValid() && printer.outputFormat() == QPrinter::PdfFormat;
}

bool Print_Wnd::Open_Print_Wnd(const PrintSource &source)
{
    bool filled = false;
    Log_Exceptions([&] {
        fill(source);
        filled = true;
    });
    if (!filled)
        return false;
    exec();
    return true;
}

void Print_Wnd::fill(const PrintSource &source)
{
    loading = true;
    m_source = source;
    const bool series = source.binding && source.binding->Use_Data_Sheet_Values;
    const bool excel = source.binding && source.binding->Use_Excel_Binding_Values;
    sideRows->button(1)->setChecked(true);
    print_alignment->setCurrentIndex(0);
    print_alignment->setEnabled(false);
    m_layout = Print_Sheet_Layout();
    m_layout.Print_Card_Side = QStringLiteral("F");
    Auto_Center_chk_bx->setChecked(false);
    Show_Margins->setChecked(true);

    m_chosenMargins = QMarginsF(); // each opening starts from the printer's own
    for (auto [box, inUse] : {std::pair{print_with_batch_chk, series}, std::pair{print_with_excel_chk, excel}}) {
        box->setEnabled(inUse);
        box->setChecked(inUse);
    }
    const int total = series || excel ? source.binding->Total_Batch_Excel_Card : 1;
    Total_Stepper->setMaximum(series || excel ? total : 999999);
    Total_Stepper->setValue(total);
    Copies_Stepper->setValue(1);

    const QSizeF card = cardSize();
    width_Stepper->setValue(Points_to_MM_Convert(float(card.width())));
    height_Stepper->setValue(Points_to_MM_Convert(float(card.height())));
    Row_Stepper->setValue(1);
    Col_Stepper->setValue(1);
    horz_mar_Stepper->setValue(0);
    vert_mar_Stepper->setValue(0);
    horz_mar_Stepper->setEnabled(true);
    vert_mar_Stepper->setEnabled(true);
    align_Gp_Bx->setEnabled(true);
    Set_Reset_Alignemnt_Image();

    {
        const QSignalBlocker blocker(Printer_ComboBox);
        Printer_ComboBox->clear();
        Printer_ComboBox->addItems(QPrinterInfo::availablePrinterNames());
        Printer_ComboBox->addItem(kPdfTarget);
        Printer_ComboBox->setCurrentIndex(0);
    }
    printerChanged();
    loading = false;
    Check_Max_Cell_Value();
}

bool Print_Wnd::bound() const
{
    return seriesChosen() || excelChosen();
}

bool Print_Wnd::seriesChosen() const
{
    return print_with_batch_chk->isEnabled() && print_with_batch_chk->isChecked();
}

bool Print_Wnd::excelChosen() const
{
    return print_with_excel_chk->isEnabled() && print_with_excel_chk->isChecked();
}

QSizeF Print_Wnd::cardSize() const
{
    return m_source.design ? m_source.design->frame.size() : QSizeF();
}

void Print_Wnd::fillPapers()
{
    QList<QPageSize> papers;
    const QPrinterInfo printer = QPrinterInfo::printerInfo(Printer_ComboBox->currentText());
    if (!printer.isNull())
        papers = printer.supportedPageSizes();
    if (papers.isEmpty())
        for (const QPageSize::PageSizeId id : kCommonPapers)
            papers << QPageSize(id);
    const QPageSize current = m_pageLayout.pageSize();
    if (!papers.contains(current))
        papers.prepend(current);
    const QSignalBlocker blocker(Paper_id);
    Paper_id->clear();
    for (const QPageSize &paper : papers)
        Paper_id->addItem(paper.name(), QVariant::fromValue(paper.size(QPageSize::Point)));
    Paper_id->setCurrentIndex(int(papers.indexOf(current)));
}

void Print_Wnd::printerChanged()
{
    fillPapers();
    Set_values_From_Printer();
    if (!loading)
        Check_Max_Cell_Value();
}

void Print_Wnd::paperChanged()
{
    const QSizeF points = Paper_id->currentData().toSizeF();
    if (points.isEmpty())
        return;
    m_pageLayout.setPageSize(QPageSize(points, QPageSize::Point, Paper_id->currentText(), QPageSize::FuzzyMatch));
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

void Print_Wnd::orientationChanged()
{
    m_pageLayout.setOrientation(Orient_ComboBox->currentIndex() == 0 ? QPageLayout::Portrait
                                                                     : QPageLayout::Landscape);
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

void Print_Wnd::Set_values_From_Printer()
{
    QPageLayout page = m_pageLayout;
    page.setUnits(QPageLayout::Point);
    QMarginsF unprintable;
    const QPrinterInfo info = QPrinterInfo::printerInfo(Printer_ComboBox->currentText());
    if (!info.isNull()) {
        // What the printer cannot reach on this paper: its least margins.
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setPageOrientation(page.orientation());
        printer.setPageSize(page.pageSize());
        QPageLayout reached = printer.pageLayout();
        reached.setUnits(QPageLayout::Point);
        unprintable = reached.minimumMargins();
    }
    // From the paper's millimetres: its size in whole points would be off by a fraction.
    const QSizeF paperMM = page.fullRect(QPageLayout::Millimeter).size();
    const QSizeF paper(MM_to_Points_Convert(float(paperMM.width())), MM_to_Points_Convert(float(paperMM.height())));
    // Margins set in Page Setup, where the printer can reach that far.
    const QMarginsF margins(std::max(unprintable.left(), m_chosenMargins.left()),
                            std::max(unprintable.top(), m_chosenMargins.top()),
                            std::max(unprintable.right(), m_chosenMargins.right()),
                            std::max(unprintable.bottom(), m_chosenMargins.bottom()));
    m_layout.Set_values_From_Printer(paper, margins);
    Size_id->setText(QString::asprintf("%.2f x %.2f", double(Points_to_MM_Convert(float(paper.width()))),
                                       double(Points_to_MM_Convert(float(paper.height())))));
    {
        const QSignalBlocker blocker(Orient_ComboBox);
        Orient_ComboBox->setCurrentIndex(page.orientation() == QPageLayout::Landscape ? 1 : 0);
    }
    l_mar_id->setText(millimetres(margins.left()));
    r_mar_id->setText(millimetres(margins.right()));
    t_mar_id->setText(millimetres(margins.top()));
    b_mar_id->setText(millimetres(margins.bottom()));
    Refresh_Preview();
}

void Print_Wnd::Check_Max_Cell_Value()
{
    if (m_layout.paper.isEmpty())
        return;
    PrintCellFields fields;
    fields.width = float(width_Stepper->value());
    fields.height = float(height_Stepper->value());
    fields.horzGap = float(horz_mar_Stepper->value());
    fields.vertGap = float(vert_mar_Stepper->value());
    fields.rows = Row_Stepper->intValue();
    fields.cols = Col_Stepper->intValue();
    const bool isBound = bound();
    const PrintFitResult fit = m_layout.Check_Max_Cell_Value(fields, isBound);
    if (fit.rewriteCols)
        Col_Stepper->setValue(m_layout.Print_Col);
    if (fit.rewriteRows)
        Row_Stepper->setValue(m_layout.Print_Row);
    if (!isBound)
        Total_Stepper->setValue(m_layout.Total_Label);
    Refresh_Preview();
}

void Print_Wnd::Refresh_Preview()
{
    if (loading)
        return;
    PrintView->showSheet(m_layout, cardSize(), m_source.design != nullptr);
}

void Print_Wnd::Set_Reset_Alignemnt_Image()
{
    for (int code = 1; code <= 9; ++code)
        alignButtons->button(code)->setIcon(AlignmentPictures::icon(code, code == m_layout.label_align_val));
}

void Print_Wnd::alignmentClicked(int code)
{
    m_layout.label_align_val = code;
    Set_Reset_Alignemnt_Image();
    Refresh_Preview();
}

void Print_Wnd::card_side_CellClick(int row)
{
    if (QAbstractButton *button = sideRows->button(row); button && !button->isChecked())
        button->setChecked(true);
    m_layout.Print_Card_Side = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
    print_alignment->setEnabled(row == 0);
    Check_Max_Cell_Value();
}

void Print_Wnd::arrangementChanged()
{
    m_layout.Print_Card_Algn = print_alignment->currentIndex() == 0 ? QStringLiteral("U") : QStringLiteral("L");
    Check_Max_Cell_Value();
}

void Print_Wnd::Auto_Center_Checked()
{
    m_layout.auto_center_flag = Auto_Center_chk_bx->isChecked();
    horz_mar_Stepper->setEnabled(!m_layout.auto_center_flag);
    vert_mar_Stepper->setEnabled(!m_layout.auto_center_flag);
    align_Gp_Bx->setEnabled(!m_layout.auto_center_flag);
    Check_Max_Cell_Value();
}

void Print_Wnd::Verify_Card_Count(bool seriesChanged)
{
    if (!m_source.binding)
        return;
    const bool series = seriesChosen();
    const bool excel = excelChosen();
    m_source.binding->useSources(series, excel);
    const bool changedOn = seriesChanged ? series : excel;
    const bool otherOn = seriesChanged ? excel : series;
    Total_Stepper->setValue(changedOn || otherOn ? m_source.binding->Total_Batch_Excel_Card : 1);
}

void Print_Wnd::pagesetup()
{
    QPrinter printer(QPrinter::HighResolution);
    const QPrinterInfo info = QPrinterInfo::printerInfo(Printer_ComboBox->currentText());
    if (info.isNull())
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(info.printerName());
    // The dialog starts from the margins the sheet has now.
    QPageLayout shown = m_pageLayout;
    shown.setUnits(QPageLayout::Point);
    shown.setMargins(QMarginsF(m_layout.Left_Mar, m_layout.Top_Mar, m_layout.Rite_Mar, m_layout.Bot_Mar));
    printer.setPageLayout(shown);
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    pageSetupAccepted(printer.pageLayout());
}

void Print_Wnd::pageSetupAccepted(const QPageLayout &chosen)
{
    m_pageLayout.setPageSize(chosen.pageSize());
    m_pageLayout.setOrientation(chosen.orientation());
    // From millimetres, as the paper is: Qt's points are whole ones.
    const QMarginsF mm = chosen.margins(QPageLayout::Millimeter);
    m_chosenMargins = QMarginsF(MM_to_Points_Convert(float(mm.left())), MM_to_Points_Convert(float(mm.top())),
                                MM_to_Points_Convert(float(mm.right())), MM_to_Points_Convert(float(mm.bottom())));
    fillPapers();
    Set_values_From_Printer();
    Check_Max_Cell_Value();
}

std::shared_ptr<SheetTarget> Print_Wnd::makeTarget(const QString &pdfPath, int *sheetCopies, QString *error) const
{
    // The sheet's margins are the printer's own, already in the layout: the whole paper is painted.
    const QPageLayout page = sheetPageLayout(m_layout.paper);
    const int copies = Copies_Stepper->intValue();
    *sheetCopies = copies;
    if (!pdfPath.isEmpty()) {
        auto file = std::make_shared<PdfFileTarget>(pdfPath, page, windowTitle());
        return file->open(error) ? file : nullptr;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    platform::PrintInfo info;
    info.pageLayout = page;
    info.dictionary.insert(QLatin1String(platform::PrintInfo::Copies), copies);
    info.dictionary.insert(QLatin1String(platform::PrintInfo::PrinterName), Printer_ComboBox->currentText());
    platform::applyPrintInfo(info, *printer);
    // A driver that makes no copies of its own is sent the sheets as many times.
    if (printer->supportsMultipleCopies())
        *sheetCopies = 1;
    else
        printer->setCopyCount(1);
    printer->setFullPage(true);
    printer->setDocName(windowTitle());
    return std::make_shared<PrinterTarget>(printer);
}

bool Print_Wnd::Execute_Printing(bool preview)
{
    if (!m_source.design || (m_source.run && m_source.run->isRunning()))
        return false;
    if (m_layout.cellExceedsPaper() &&
        platform::uiServices().askYesNo(kTooBig) != platform::UiServices::Answer::Yes)
        return false;
    m_layout.Total_Label = Total_Stepper->intValue();
    if (m_layout.Total_Label <= 0) {
        Show_MessageBox_No_Thread(SheetRun::kNothingToPrint);
        return false;
    }
    // The run reads a copy of the sources, with the boxes' choice: the dialog may change its own while
    // the run goes on.
    std::shared_ptr<RecordBinding> sources;
    if (m_source.binding) {
        sources = std::make_shared<RecordBinding>(*m_source.binding);
        sources->useSources(seriesChosen(), excelChosen());
    }

    if (preview) {
        const int sheets = m_layout.sheetCount();
        if (sheets > kPreviewSheets)
            Show_MessageBox_No_Thread(kPreviewCap);
        auto *window = findChild<SheetPreview *>();
        if (!window)
            window = new SheetPreview(this);
        const RunDrawing drawing = runDrawing(*m_source.design, sources);
        window->setRun(drawing, sheetRun(drawing), std::min(sheets, kPreviewSheets));
        window->open();
        return true;
    }

    if (!m_source.run)
        return false;
    QString pdfPath;
    if (Printer_ComboBox->currentText() == kPdfTarget && Printer_ComboBox->currentIndex() == Printer_ComboBox->count() - 1) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        pdfPath = platform::uiServices().chooseFileToSave(tr("Print to PDF"), folder, QStringLiteral("Cards.pdf"),
                                                          {QStringLiteral("pdf")});
        if (pdfPath.isEmpty())
            return false;
        if (QFileInfo(pdfPath).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
            pdfPath += QStringLiteral(".pdf");
    }
    int copies = 1;
    QString refused;
    std::shared_ptr<SheetTarget> target = makeTarget(pdfPath, &copies, &refused);
    if (!target) {
        Show_MessageBox_No_Thread(refused);
        return false;
    }
    // Asked only once the target is taken: a "Continue" is never followed by its refusal.
    const std::optional<RunDrawing> drawing = startRun(*m_source.design, sources);
    if (!drawing)
        return false;
    SheetRun run = sheetRun(*drawing);
    run.copies = copies;
    const bool isBound = run.records >= 0;
    auto report = std::make_shared<RunReport>();
    const std::function<void()> finished = m_source.finished;
    return m_source.run->start(
        RunSheet{tr("Printing"), tr("Card"), tr("Do you want to stop printing?"), tr("Stopping after the current card…")},
        true,
        [drawing = *drawing, run, target, report](const RunCounters &counters) {
            *report = printSheets(*drawing.design, run, drawing.apply, *target, counters);
        },
        [report, finished, target, isBound] {
            if (!report->succeeded()) {
                ClosingReport closing =
                    report->closing(QString(), QStringLiteral("cards"), QStringLiteral("printed"), false);
                if (!isBound)
                    closing.recordsNotDone.clear(); // the same card in every cell: no records to name
                Show_MessageBox(closing.text());
            }
            if (finished)
                finished();
        });
}

SheetRun Print_Wnd::sheetRun(const RunDrawing &drawing) const
{
    return SheetRun{m_layout, drawing.records};
}

void Print_Wnd::CancelButtonPressed()
{
    done(0);
}
