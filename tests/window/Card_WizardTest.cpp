#include "window/Card_Wizard.h"

#include "core/AppState.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

// The design window's side, recorded. A preset's size encodes its row; "V" swaps the sides.
class CardWizardTest : public ::testing::Test {
protected:
    AppFixture app;
    Card_Wizard w;
    QStringList queries; // "category|orientation|row"
    QList<QSizeF> documentSizes, canvasSizes;
    QStringList profileCalls;

    CardWizardTest()
    {
        w.pvc_card_arry = {"CR80-Credit Card Size", " CR79 ", "", "CR90-Over Sized"};
        w.paper_card_arry = {"Durable 1452 - Name Badge", "Durable 1453 - Name Badge"};
        w.Get_My_card_Size = [this](const QString &category, const QString &preset, int row) {
            queries << QStringLiteral("%1|%2|%3").arg(category, preset).arg(row);
            const QSizeF size(80.0 + row, 50.0 + row);
            return preset == QLatin1String("V") ? size.transposed() : size;
        };
        w.Set_Document_Size = [this](const QSizeF &points) { documentSizes << points; };
        w.SetDocumentCanvasSize = [this](const QSizeF &points) { canvasSizes << points; };
        w.Open_User_Profile_Window = [this](bool edit, const QString &side) {
            profileCalls << QStringLiteral("%1|%2").arg(edit).arg(side);
        };
    }

    // As the user picks an entry: selections made by the program announce nothing.
    void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QStringList listNames() const
    {
        QStringList names;
        for (const QVariantMap &row : w.ListData)
            names << row.value(Card_Wizard::kListColumn).toString();
        return names;
    }
    QSizeF fieldSize() const { return {w.width_Stepper->value(), w.height_Stepper->value()}; }
    QAbstractButton *shape(int row) const
    {
        return w.findChild<QAbstractButton *>(QStringLiteral("matrix_card_shape_%1").arg(row));
    }
};

} // namespace

TEST_F(CardWizardTest, CategoryFillsTheListAndTheFirstRowGivesTheSize)
{
    EXPECT_TRUE(w.ListData.isEmpty());
    choose(w.Category_ComboBox, 0);
    EXPECT_EQ(listNames(), (QStringList{"CR80-Credit Card Size", "CR79", "CR90-Over Sized"}));
    EXPECT_EQ(w.ColList->model()->index(1, 0).data().toString(), "CR79");
    EXPECT_EQ(w.selectedRow(), 0);
    EXPECT_EQ(queries.last(), "PVC Card|H|0");
    EXPECT_EQ(fieldSize(), QSizeF(80, 50));

    w.Mark_List_New_Selection(2);
    choose(w.Category_ComboBox, 1);
    EXPECT_EQ(listNames(), (QStringList{"Durable 1452 - Name Badge", "Durable 1453 - Name Badge"}));
    EXPECT_EQ(queries.last(), w.Category_ComboBox->itemText(1) + "|H|0");

    // Orientation and sides never touch the list; orientation counts at the next row selection.
    const qsizetype asked = queries.size();
    choose(w.Sides_ComboBox, 1);
    choose(w.Preset_ComboBox, 1);
    EXPECT_EQ(queries.size(), asked);
    EXPECT_EQ(listNames().size(), 2);
    w.Mark_List_New_Selection(1);
    EXPECT_EQ(queries.last(), w.Category_ComboBox->itemText(1) + "|V|1");
    EXPECT_EQ(fieldSize(), QSizeF(51, 81));
}

TEST_F(CardWizardTest, OkGivesTheSizeInPointsToTheCanvases)
{
    w.width_Stepper->setValue(85.6);
    w.height_Stepper->setValue(54.0);
    w.OK_Click();
    ASSERT_EQ(canvasSizes.size(), 1);
    EXPECT_NEAR(canvasSizes[0].width(), 242.65, 0.005);
    EXPECT_NEAR(canvasSizes[0].height(), 153.07, 0.005);
    EXPECT_EQ(documentSizes, canvasSizes);
    EXPECT_EQ(w.result(), 1);

    // A preset's size reaches the canvases unrounded by the fields.
    w.Get_My_card_Size = [](const QString &, const QString &, int) { return QSizeF(85.598f, 54.102f); };
    choose(w.Category_ComboBox, 0);
    w.OK_Click();
    EXPECT_NEAR(canvasSizes.last().width(), 85.598 * 2.834645669291, 0.001);
}

TEST_F(CardWizardTest, ShapeClickSetsTheOutlineCancelPutsBackTheRectangle)
{
    shape(2)->click();
    EXPECT_EQ(App().Card_Shape, 2);
    w.findChild<QPushButton *>(QStringLiteral("Cancel_btn"))->click();
    EXPECT_EQ(App().Card_Shape, 0);
    EXPECT_EQ(w.result(), 0);
    EXPECT_TRUE(canvasSizes.isEmpty());

    shape(1)->click();
    w.reject(); // Escape and the close button are Cancel too
    EXPECT_EQ(App().Card_Shape, 0);

    w.findChild<QPushButton *>(QStringLiteral("User_Profile_btn"))->click();
    EXPECT_EQ(profileCalls, QStringList{"0|"});
}

TEST_F(CardWizardTest, OpenResetsSelectionsButNotTheListOrTheOutline)
{
    choose(w.Category_ComboBox, 1);
    choose(w.Preset_ComboBox, 1);
    shape(2)->click();
    const QStringList list = listNames();
    const qsizetype asked = queries.size();

    QTimer::singleShot(0, &w, [&] {
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.Category_ComboBox->currentIndex() + w.Preset_ComboBox->currentIndex(), 0);
        EXPECT_TRUE(shape(0)->isChecked());
        EXPECT_EQ(App().Card_Shape, 2);
        EXPECT_EQ(listNames(), list);
        EXPECT_EQ(queries.size(), asked);
        w.OK_Click();
    });
    EXPECT_EQ(w.Open_Wnd(), 1);
    EXPECT_FALSE(w.isVisible());
    QTimer::singleShot(0, &w, [&] { w.CancelClick(); });
    EXPECT_EQ(w.Open_Wnd(), 0);
}

TEST_F(CardWizardTest, EditedCellsGoBackIntoTheirRowOnly)
{
    choose(w.Category_ComboBox, 0);
    QAbstractItemModel *model = w.ColList->model();
    EXPECT_TRUE(model->setData(model->index(1, 0), QStringLiteral("My size"), Qt::EditRole));
    EXPECT_EQ(listNames(), (QStringList{"CR80-Credit Card Size", "My size", "CR90-Over Sized"}));

    LogCapture log;
    w.tableView_setObjectValue_forTableColumn_row(w.ColList, QStringLiteral("x"), Card_Wizard::kListColumn, 3);
    EXPECT_EQ(listNames().size(), 3);
    EXPECT_EQ(log.lines().size(), 1) << "an edit outside the list is refused and logged";
    EXPECT_FALSE(w.tableView_objectValueForTableColumn_row(w.ColList, Card_Wizard::kListColumn, -1).isValid());
    QTableView other;
    EXPECT_EQ(w.numberOfRowsInTableView(&other), 0);
}

TEST_F(CardWizardTest, RendersForALook)
{
    for (const char *name : {"ColList", "Category_ComboBox", "Preset_ComboBox", "Sides_ComboBox", "width_Stepper",
                             "height_Stepper", "matrix_card_shape"})
        EXPECT_NE(w.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(241, 244, 250));
    EXPECT_EQ(Card_Wizard::defaultInstance(), Card_Wizard::defaultInstance());
    choose(w.Category_ComboBox, 0);
    w.show();
    w.adjustSize();
    EXPECT_TRUE(w.grab().save(testOutputPath(QStringLiteral("Card_Wizard.png"))));
    w.hide();
}
