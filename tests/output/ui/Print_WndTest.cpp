#include "output/ui/Print_Wnd.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "output/ui/Sample_Preview.h"
#include "output/ui/SheetPreview.h"

#include "fixtures/EventLoop.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include "document/SKTText.h"
#include "platform/ui/StepperSpinBox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A card whose text shows its Excel row when bound; with `missingSeries`, a second text is bound to
// a series that has no file.
PrintSource source(int rows, bool missingSeries = false)
{
    auto text = std::make_shared<SKTText>();
    text->setBounds(QRectF(10, 10, 200, 40));
    text->Text_Value = QStringLiteral("Typed");
    text->binding.data_source_type = rows > 0 ? 2 : 0;
    text->binding.excel_col_indx = 1;
    auto design = std::make_shared<DesignSnapshot>();
    design->front.graphics = {text};
    if (missingSeries) {
        auto gone = std::make_shared<SKTText>();
        gone->setBounds(QRectF(10, 60, 200, 40));
        gone->binding.data_source_type = 1;
        gone->binding.batch_list_name = QStringLiteral("Gone");
        design->front.graphics.append(gone);
    }
    design->frame = QRectF(0, 0, 243, 153);
    QList<QVariantMap> excel;
    for (int row = 1; row <= rows; ++row)
        excel.append({{"Extension", QString::number(row)}, {"Column1", QStringLiteral("Row %1").arg(row)}});
    PrintSource made;
    made.design = design;
    if (rows > 0)
        made.binding = std::make_shared<RecordBinding>(RecordBinding::load(design->front.graphics, {}, excel));
    return made;
}

class Print_WndTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    Print_Wnd dialog;
    RecordRun run{new Send_Modeless(&dialog)}; // the program's one run
    QTemporaryDir dir;
    int finished = 0;

    PrintSource opened(int rows, bool missingSeries = false)
    {
        PrintSource made = source(rows, missingSeries);
        made.finished = [this] { ++finished; };
        made.run = &run;
        dialog.fill(made);
        return made;
    }
    int pagesOf(const QString &pdf) const
    {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished(30000);
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        const qsizetype at = text.indexOf(QStringLiteral("Pages:"));
        return at < 0 ? -1 : text.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    }
};

TEST_F(Print_WndTest, EveryOpeningStartsFromOneFrontCardAtTheTopLeftWithThePdfTargetOffered)
{
    opened(0);
    dialog.card_side_CellClick(0);
    dialog.alignmentClicked(9);
    dialog.Col_Stepper->setValue(2);
    dialog.Check_Max_Cell_Value();
    opened(0);
    EXPECT_EQ(dialog.layout().Print_Card_Side, QStringLiteral("F"));
    EXPECT_EQ(dialog.layout().label_align_val, 1);
    EXPECT_EQ(dialog.layout().Print_Col, 1);
    EXPECT_FALSE(dialog.print_with_batch_chk->isEnabled());
    EXPECT_EQ(dialog.Total_Stepper->value(), 1);
    EXPECT_EQ(dialog.Total_Stepper->maximum(), 999999);
    EXPECT_EQ(dialog.Printer_ComboBox->itemText(dialog.Printer_ComboBox->count() - 1), Print_Wnd::kPdfTarget);
    EXPECT_NEAR(dialog.width_Stepper->value(), 85.725, 0.01);
}

TEST_F(Print_WndTest, BoundRecordsSetTheTotalUntilTheirBoxIsCleared)
{
    opened(25);
    EXPECT_TRUE(dialog.print_with_excel_chk->isEnabled() && dialog.print_with_excel_chk->isChecked());
    EXPECT_EQ(dialog.Total_Stepper->value(), 25);
    EXPECT_EQ(dialog.Total_Stepper->maximum(), 25);
    dialog.Row_Stepper->setValue(2);
    dialog.Check_Max_Cell_Value();
    EXPECT_EQ(dialog.Total_Stepper->value(), 25) << "a bound total does not follow the grid";
    dialog.print_with_excel_chk->setChecked(false);
    dialog.Verify_Card_Count(false);
    EXPECT_EQ(dialog.Total_Stepper->value(), 1);
}

TEST_F(Print_WndTest, AutoCentreTakesTheGapsAndThePlaceOutOfTheUsersHands)
{
    opened(0);
    for (const bool on : {true, false}) {
        dialog.Auto_Center_chk_bx->setChecked(on);
        dialog.Auto_Center_Checked();
        EXPECT_EQ(dialog.horz_mar_Stepper->isEnabled(), !on);
        EXPECT_EQ(dialog.vert_mar_Stepper->isEnabled(), !on);
        EXPECT_EQ(dialog.align_Gp_Bx->isEnabled(), !on);
    }
}

TEST_F(Print_WndTest, PageSetupMarginsHoldUntilTheNextOpening)
{
    opened(0);
    dialog.Printer_ComboBox->setCurrentIndex(dialog.Printer_ComboBox->count() - 1);
    dialog.printerChanged();
    dialog.pageSetupAccepted(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(20, 30, 40, 50), QPageLayout::Millimeter));
    const auto shown = [&] {
        return QStringList{dialog.l_mar_id->text(), dialog.t_mar_id->text(), dialog.r_mar_id->text(),
                           dialog.b_mar_id->text()};
    };
    EXPECT_EQ(shown(), (QStringList{"20.00", "30.00", "40.00", "50.00"}));
    EXPECT_NEAR(dialog.layout().Left_Mar, 20 * 72 / 25.4, 0.01);
    EXPECT_NEAR(dialog.layout().Bot_Mar, 50 * 72 / 25.4, 0.01);
    EXPECT_GT(dialog.layout().paper.width(), dialog.layout().paper.height()) << "landscape";
    dialog.Orient_ComboBox->setCurrentIndex(0);
    dialog.orientationChanged();
    EXPECT_EQ(shown(), (QStringList{"20.00", "30.00", "40.00", "50.00"})) << "kept while the dialog is open";
    opened(0);
    EXPECT_EQ(shown(), (QStringList{"0.00", "0.00", "0.00", "0.00"})) << "each opening takes the printer's again";
}

TEST_F(Print_WndTest, PrintWritesEverySheetToThePdfFileChosenAsManyTimesAsCopiesAsk)
{
    const struct {
        int records, rows, cols, copies, pages;
    } cases[] = {{10, 2, 1, 1, 5}, {0, 2, 2, 1, 1}, {2, 1, 1, 3, 6}, {0, 1, 1, 2, 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.records);
        SCOPED_TRACE(c.copies);
        opened(c.records);
        dialog.Row_Stepper->setValue(c.rows);
        dialog.Col_Stepper->setValue(c.cols);
        dialog.Check_Max_Cell_Value();
        dialog.Copies_Stepper->setValue(c.copies);
        const QString pdf = dir.filePath(QStringLiteral("run%1x%2").arg(c.records).arg(c.copies));
        services->fileAnswers << pdf;
        finished = 0;
        ASSERT_TRUE(dialog.Execute_Printing(false));
        ASSERT_TRUE(waitFor([&] { return !dialog.printRun()->isRunning(); }));
        EXPECT_EQ(pagesOf(pdf + QStringLiteral(".pdf")), c.pages);
        EXPECT_EQ(finished, 1);
    }
    EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Print_WndTest, NoJobStartsForNoCardsOrForAnUnansweredSizeQuestion)
{
    opened(0);
    dialog.Total_Stepper->setValue(0);
    EXPECT_FALSE(dialog.Execute_Printing(false));
    EXPECT_EQ(services->messages, QStringList{QLatin1Char('\n') + SheetRun::kNothingToPrint});
    opened(0);
    dialog.width_Stepper->setValue(400);
    dialog.Check_Max_Cell_Value();
    services->yesNoAnswers = {std::nullopt, false};
    EXPECT_FALSE(dialog.Execute_Printing(false));
    EXPECT_FALSE(dialog.Execute_Printing(true));
    EXPECT_EQ(services->questions, (QStringList{Print_Wnd::kTooBig, Print_Wnd::kTooBig}));
    EXPECT_TRUE(services->panelFolders.isEmpty()) << "no file was asked for";

    opened(0);
    services->messages.clear();
    dialog.Printer_ComboBox->setCurrentIndex(dialog.Printer_ComboBox->count() - 1);
    services->fileAnswers << dir.filePath(QStringLiteral("gone/cards.pdf"));
    EXPECT_FALSE(dialog.Execute_Printing(false));
    EXPECT_EQ(services->messages,
              QStringList{QStringLiteral("\nThe folder %1 cannot be written.").arg(dir.filePath(QStringLiteral("gone")))});
}

TEST_F(Print_WndTest, AMissingSeriesIsAskedAboutOnlyOnceThePdfFileIsTaken)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("folder.pdf"))));
    const struct {
        const char *what;
        QString answer; // of the file panel; "" cancels it
        bool goOn;      // the answer to the question
        const char *shown;
        bool printed;
    } cases[] = {
        {"the panel cancelled", "", true, "panel", false},
        {"a folder where the file goes", "folder.pdf", true, "panel message", false},
        {"the question answered No", "no.pdf", false, "panel question", false},
        // The run's report names the records printed without the series' values.
        {"the question answered Yes", "yes.pdf", true, "panel question message", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        opened(3, true);
        services->shown.clear();
        services->questions.clear();
        services->fileAnswers = c.answer.isEmpty() ? QStringList() : QStringList{dir.filePath(c.answer)};
        services->yesNoAnswers = {c.goOn};
        EXPECT_EQ(dialog.Execute_Printing(false), c.printed);
        ASSERT_TRUE(waitFor([&] { return !dialog.printRun()->isRunning(); }));
        EXPECT_EQ(services->shown.join(QLatin1Char(' ')).toStdString(), c.shown);
        if (services->shown.contains(QStringLiteral("question"))) {
            EXPECT_TRUE(services->questions.value(0).startsWith(QStringLiteral("The series \"Gone\" cannot be used")));
        }
    }
    // Nothing half begun is left beside the files.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"folder.pdf", "yes.pdf"}));
}

TEST_F(Print_WndTest, APreviewOfManySheetsSaysItShowsTheFirstFifty)
{
    opened(0);
    dialog.Total_Stepper->setValue(60);
    ASSERT_TRUE(dialog.Execute_Printing(true));
    EXPECT_EQ(services->messages, QStringList{QLatin1Char('\n') + Print_Wnd::kPreviewCap});
    auto *preview = dialog.findChild<SheetPreview *>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->sheets(), 50);
    preview->showSheet(50);
    EXPECT_EQ(preview->sheet(), 50);
    EXPECT_FALSE(preview->picture().isNull());
}

TEST_F(Print_WndTest, DialogAndPreviewForALook)
{
    opened(12);
    dialog.card_side_CellClick(0);
    dialog.print_alignment->setCurrentIndex(1);
    dialog.arrangementChanged();
    dialog.Row_Stepper->setValue(3);
    dialog.Col_Stepper->setValue(1);
    dialog.Check_Max_Cell_Value();
    dialog.alignmentClicked(5);
    dialog.show();
    dialog.adjustSize();
    EXPECT_TRUE(dialog.grab().save(testOutputPath(QStringLiteral("Print_Wnd.png"))));
    ASSERT_TRUE(dialog.Execute_Printing(true));
    auto *preview = dialog.findChild<SheetPreview *>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->grab().save(testOutputPath(QStringLiteral("SheetPreview.png"))));
}

} // namespace
