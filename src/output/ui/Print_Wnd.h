#pragma once

#include "datasource/RecordBinding.h"
#include "output/SheetPrinting.h"

#include <QDialog>
#include <QPageLayout>
#include <QPointer>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QToolButton;
class RecordRun;
class Sample_Preview;
class StepperSpinBox;

// What the design window hands the print dialog when it opens it: the design as it stands (its
// pictures loaded) and the sources of its records, both read on the GUI thread; `finished` puts
// the design window back after a bound run.
struct PrintSource {
    std::shared_ptr<const DesignSnapshot> design;
    std::shared_ptr<RecordBinding> binding; // the design's sources, used or not; may be null
    std::function<void()> finished;
    QPointer<RecordRun> run;                // the program's one run, which printing shares
};

// The program's own print panel: printer (or a PDF file), paper, orientation, the cell size, gaps,
// rows, columns, cards, copies, where the grid sits, the sides in a cell and the records printed,
// against a sketch of the sheet. Preview shows the sheets in the program's preview window; Print
// sends them on a worker while the progress sheet counts the cards. Its logic is in plain members,
// so that a test can fill it, change it and press its buttons without a modal loop.
class Print_Wnd : public QDialog {
    Q_OBJECT
public:
    explicit Print_Wnd(QWidget *parent = nullptr);
    ~Print_Wnd() override;

    static Print_Wnd *defaultInstance();
    // The name the PDF target has in the printer box, after the system's printers.
    static const QString kPdfTarget;
    // A PDF file can be written here: with no printer either, printing is impossible.
    static bool pdfTargetAvailable();

    // Fills the dialog for `source` as every opening does, then runs it; true when it ran.
    bool Open_Print_Wnd(const PrintSource &source);
    // Every opening: front side, one row and column, no gaps, top-left, auto-centre off, outlines on,
    // the card's own size, the records of the bound sources, the first printer.
    void fill(const PrintSource &source);

    void Set_values_From_Printer();
    void Check_Max_Cell_Value();
    void Refresh_Preview();
    void Set_Reset_Alignemnt_Image();
    void Verify_Card_Count(bool seriesChanged);
    void printerChanged();
    void orientationChanged();
    void paperChanged();
    void arrangementChanged();
    void card_side_CellClick(int row);
    void alignmentClicked(int code);
    void Auto_Center_Checked();
    void pagesetup();
    // What an accepted Page Setup chose: paper, orientation and margins, which the sheet keeps (no
    // smaller than the printer's least) until the dialog is opened again.
    void pageSetupAccepted(const QPageLayout &chosen);
    // Starts a preview or a print of the sheets; false when nothing was started.
    bool Execute_Printing(bool preview);
    void PreviewButtonPressed() { Execute_Printing(true); }
    void PrintButtonPressed() { Execute_Printing(false); }
    void CancelButtonPressed();

    const Print_Sheet_Layout &layout() const { return m_layout; }
    RecordRun *printRun() const { return m_source.run; }
    // The page layout of the printer or PDF file chosen: paper and orientation.
    QPageLayout pageLayout() const { return m_pageLayout; }

    QComboBox *Printer_ComboBox;
    QComboBox *Orient_ComboBox;
    QComboBox *Paper_id;
    QLineEdit *Size_id;
    QLineEdit *l_mar_id, *r_mar_id, *t_mar_id, *b_mar_id;
    StepperSpinBox *horz_mar_Stepper, *vert_mar_Stepper;
    StepperSpinBox *width_Stepper, *height_Stepper;
    StepperSpinBox *Row_Stepper, *Col_Stepper;
    StepperSpinBox *Total_Stepper, *Copies_Stepper;
    QCheckBox *Show_Margins;
    QCheckBox *Auto_Center_chk_bx;
    QGroupBox *align_Gp_Bx;
    QButtonGroup *alignButtons;
    QGroupBox *matrix_card_side;
    QButtonGroup *sideRows;
    QComboBox *print_alignment;
    QCheckBox *print_with_batch_chk, *print_with_excel_chk;
    Sample_Preview *PrintView;
    QPushButton *pageSetupButton, *previewButton, *printButton, *cancelButton;

    static inline const QString kPreviewCap =
        QStringLiteral("For Qualitative and Performance reason, previewer shows print previews of only first 50 sheets. "
                       "However, printing has no such restriction.");
    static inline const QString kTooBig =
        QStringLiteral("'Frame Size' is bigger than selected 'Paper Size' or drawn label may be out of margin area.\n\n"
                       "Do you want to continue?");
    static constexpr int kPreviewSheets = 50;

private:
    bool bound() const;
    // Whether the run takes the series or the sheet: a box counts only while it may be ticked.
    bool seriesChosen() const;
    bool excelChosen() const;
    QSizeF cardSize() const;
    // The printer as the dialog sets it up, printing the whole paper; or a PDF file at `pdfPath`,
    // begun beside it (null, with the reason, when its folder cannot take it). `sheetCopies`: the
    // times the sheets are to be printed for the copies asked, which a printer may make itself.
    std::shared_ptr<SheetTarget> makeTarget(const QString &pdfPath, int *sheetCopies, QString *error) const;
    // The layout's sheets, with the records of `drawing` in their cells when it draws records.
    SheetRun sheetRun(const RunDrawing &drawing) const;
    void fillPapers();

    Print_Sheet_Layout m_layout;
    QPageLayout m_pageLayout;
    QMarginsF m_chosenMargins; // in Page Setup, in points
    PrintSource m_source;
    bool loading = false;
};
