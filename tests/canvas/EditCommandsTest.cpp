#include "canvas/ui/SKTGraphicView.h"

#include "canvas/SKTGrid.h"
#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/Pasteboard.h"

#include <QKeyEvent>
#include <QApplication>
#include <gtest/gtest.h>

namespace {

using platform::IndexSet;

// A front canvas of six shapes, 20 points apart, with an in-memory pasteboard.
struct Canvas {
    AppFixture app;
    ScopedScriptedServices services;
    platform::MemoryPasteboard pasteboard;
    SKTDocument document;
    SKTGrid grid;
    SKTGraphicView view{document.graphics(), &document};

    Canvas()
    {
        platform::installPasteboard(&pasteboard);
        view.setCanvasSize(QSizeF(243, 154));
        view.setGrid(&grid);
        GraphicList shapes;
        for (int i = 0; i < 6; ++i) {
            auto shape = std::make_shared<Shape_Control>();
            shape->_bounds = QRectF(10 + 20 * i, 10 + 5 * i, 30 + i, 20);
            shape->control_ID = QStringLiteral("S%1").arg(i);
            shapes << shape;
        }
        document.Enable_Disable_Undo_Registraion(0);
        document.insertGraphics(shapes, IndexSet::range(0, 6));
        document.Enable_Disable_Undo_Registraion(1);
    }
    ~Canvas() { platform::installPasteboard(nullptr); }

    SKTGraphicPtr at(int i) { return document.graphics().at(i); }
    // The shared message box starts every message on a new line.
    QStringList messages()
    {
        QStringList texts;
        for (const QString &m : services->messages)
            texts << m.trimmed();
        return texts;
    }
    QStringList ids()
    {
        QStringList ids;
        for (const SKTGraphicPtr &g : document.graphics().items())
            ids << g->control_ID;
        return ids;
    }
    void endGroup() { document.undoManager().closeEventGroup(); }
};

} // namespace

TEST(EditCommands, GuardsRefuseLockedObjectsAndTheMainPhoto)
{
    Canvas c;
    c.at(1)->control_ID = QStringLiteral("PARTY_IMAGE");
    c.view.changeSelectionIndexes({1, 2});
    c.view.copy();
    c.view.cut();
    c.view.delete_();
    EXPECT_EQ(c.messages(),
              QStringList({"You cannot copy main photo. Please use 'Edit Main Photo' in toolbar to edit your photo.",
                           "You cannot delete main photo. Please use 'Edit Main Photo' in toolbar to edit your photo.",
                           "You cannot delete main photo. Please use 'Edit Main Photo' in toolbar to edit your photo."}));
    EXPECT_EQ(c.pasteboard.changeCount(), 0) << "the pasteboard is left as it was";
    EXPECT_EQ(c.document.graphics().count(), 6);

    // The lock comes first.
    c.services->messages.clear();
    c.at(2)->ctrl_is_locked = true;
    c.view.copy();
    c.view.bringToFront();
    c.view.sendToBack();
    EXPECT_EQ(c.messages(), QStringList(3, "Selected control is locked."));

    // Bring to front quietly refuses the frame picture; send to back takes it.
    c.services->messages.clear();
    c.at(2)->ctrl_is_locked = false;
    c.at(1)->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    c.view.changeSelectionIndexes({1});
    c.view.bringToFront();
    EXPECT_EQ(c.at(1)->control_ID, "PARTY_IMAGE_BG");
    c.view.sendToBack();
    EXPECT_EQ(c.at(5)->control_ID, "PARTY_IMAGE_BG");
    EXPECT_TRUE(c.services->messages.isEmpty());
}

TEST(EditCommands, OrderCommandsKeepTheSelectionInItsOrder)
{
    Canvas c;
    c.view.changeSelectionIndexes({2, 5});
    c.view.bringToFront();
    EXPECT_EQ(c.ids(), QStringList({"S2", "S5", "S0", "S1", "S3", "S4"}));
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({0, 1}));
    c.view.sendToBack();
    EXPECT_EQ(c.ids(), QStringList({"S0", "S1", "S3", "S4", "S2", "S5"}));
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({4, 5}));
    EXPECT_GE(c.app.hub.undoButtonUpdates, 2);
}

TEST(EditCommands, CopyThenPasteCascadesAtTheNewObjectPoint)
{
    Canvas c;
    c.view.changeSelectionIndexes({3});
    c.view.copy();
    EXPECT_TRUE(c.pasteboard.types().startsWith(SKTGraphicView::SKTGraphicViewPasteboardType));
    EXPECT_TRUE(c.pasteboard.dataForType("application/pdf").startsWith("%PDF"));
    EXPECT_FALSE(c.pasteboard.dataForType("image/tiff").isEmpty());
    EXPECT_EQ(c.app.hub.pasteButtonUpdates, 1);

    c.app.hub.nextPoint = QPointF(100, 40);
    c.view.paste();
    EXPECT_EQ(c.at(0)->bounds().topLeft(), QPointF(100, 40));
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({0}));
    c.app.hub.nextPoint = QPointF(110, 50);
    c.view.paste();
    EXPECT_EQ(c.at(0)->bounds().topLeft(), QPointF(110, 50));
    EXPECT_EQ(c.document.graphics().count(), 8);
    EXPECT_EQ(c.app.hub.newPointSides, QStringList({"F", "F"}));

    // Data this canvas did not copy keeps its positions the first time.
    SKTGraphicView back(c.document.graphics_back(), &c.document);
    back.paste();
    ASSERT_EQ(c.document.graphics_back().count(), 1);
    EXPECT_EQ(c.document.graphics_back().at(0)->bounds().topLeft(), QPointF(70, 25)) << "where S3 was copied";

    // A foreign picture becomes a picture object; foreign garbage is reported and changes nothing.
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    c.pasteboard.setImage(picture);
    c.view.paste();
    EXPECT_EQ(c.at(0)->className(), "SKTImage");
    c.pasteboard.writeItems({{SKTGraphicView::SKTGraphicViewPasteboardType, QByteArray("garbage")}});
    const int before = c.document.graphics().count();
    c.view.paste();
    EXPECT_EQ(c.document.graphics().count(), before);
    EXPECT_FALSE(c.services->messages.isEmpty());
    // A picture offered that cannot be read is said, and adds no object.
    c.pasteboard.writeItems({{QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n", 8)}});
    c.view.paste();
    EXPECT_EQ(c.document.graphics().count(), before);
    EXPECT_TRUE(c.services->messages.last().startsWith("The picture cannot be pasted")) << c.services->messages.last().toStdString();
}

// Another program's large picture is decoded on a worker while the window's loop goes on: the GUI
// thread spends a small share of the processor time the paste takes. No wall clock is read.
TEST(EditCommands, ALargePictureFromAnotherProgramIsReadOnAWorker)
{
    Canvas c;
    const QSize size(4000, 3000);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    c.pasteboard.setImage(picture);
    picture = QImage();
    const qint64 guiBefore = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID), allBefore = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    c.view.paste();
    const qint64 gui = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID) - guiBefore,
                 all = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID) - allBefore;
    EXPECT_LT(gui * 2, all) << "the GUI thread's time " << gui / 1000000 << " ms of " << all / 1000000;
    ASSERT_EQ(c.at(0)->className(), "SKTImage");
    EXPECT_EQ(static_cast<SKTImage &>(*c.at(0))._contents.size(), size);
}

TEST(EditCommands, PastedObjectsFarOffTheCardAreShownWithoutOverflow)
{
    Canvas c;
    // Pasteboard data is anyone's: sizes and places no pixel number can hold.
    GraphicList foreign;
    for (const QRectF &bounds : {QRectF(10, 10, 1e12, 50), QRectF(1e12, -1e12, 40, 40)}) {
        auto shape = std::make_shared<Shape_Control>();
        shape->_bounds = bounds;
        shape->_isDrawingFill = true;
        shape->_fillColor = Qt::red;
        foreign << shape;
    }
    c.pasteboard.writeItems(
        {{SKTGraphicView::SKTGraphicViewPasteboardType, SKTGraphic::pasteboardDataWithGraphics(foreign)}});
    c.view.paste();
    ASSERT_EQ(c.document.graphics().count(), 8);
    const QImage shown = c.view.grab().toImage();
    ASSERT_FALSE(shown.isNull());
    // The long shape runs across the card from its left end.
    EXPECT_EQ(shown.pixelColor(200, 30), QColor(Qt::red));
    EXPECT_NE(shown.pixelColor(5, 30), QColor(Qt::red));
}

TEST(EditCommands, AlignmentAndSizing)
{
    Canvas c;
    c.view.changeSelectionIndexes({4});
    c.view.alignLeftEdges();
    EXPECT_EQ(c.at(4)->bounds().x(), 0);
    c.view.alignBottomEdges();
    EXPECT_EQ(c.at(4)->bounds().bottom(), 154);

    c.view.changeSelectionIndexes({1, 3});
    const QRectF second = c.at(3)->bounds();
    c.view.alignLeftEdges();
    EXPECT_EQ(c.at(1)->bounds().x(), 30) << "the first selected is the reference";
    EXPECT_EQ(c.at(3)->bounds().x(), 30);
    c.view.alignHorizontalCenters();
    EXPECT_DOUBLE_EQ(c.at(3)->bounds().center().x(), c.at(1)->bounds().center().x());
    c.view.makeSameWidth();
    EXPECT_EQ(c.at(3)->bounds().width(), c.at(1)->bounds().width());
    EXPECT_EQ(c.at(3)->bounds().height(), second.height());

    c.view.changeSelectionIndexes({0, 1, 2});
    c.at(2)->ctrl_is_locked = true;
    const QRectF locked = c.at(2)->bounds();
    c.view.alignformCenter();
    EXPECT_EQ(c.at(0)->bounds().center(), QPointF(121.5, 77));
    EXPECT_EQ(c.at(1)->bounds().center(), QPointF(121.5, 77));
    EXPECT_EQ(c.at(2)->bounds(), locked);
    c.view.moveSelectedGraphicsByX(3, 0);
    EXPECT_EQ(c.at(2)->bounds(), locked) << "nudging leaves locked objects";
    c.view.makeNaturalSize();
    EXPECT_EQ(c.at(2)->bounds(), locked) << "nothing resizes a locked object";

    c.view.changeSelectionIndexes({5});
    c.view.makeSameHeight();
    c.view.print_contol_or_not(1);
    EXPECT_EQ(c.at(5)->print_object, 1);

    EXPECT_FALSE(c.view.validateMenuItem(SKTGraphicView::Command::AlignLeftEdges));
    EXPECT_TRUE(c.view.validateMenuItem(SKTGraphicView::Command::Copy));
    c.view.deselectAll();
    EXPECT_FALSE(c.view.validateMenuItem(SKTGraphicView::Command::Copy));
    EXPECT_FALSE(c.view.validateMenuItem(SKTGraphicView::Command::MakeNaturalSize));
}

TEST(EditCommands, UndoReselectsWhatItPutBack)
{
    Canvas c;
    c.view.changeSelectionIndexes({2});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&c.view, &press);
    EXPECT_EQ(c.document.graphics().count(), 5);
    EXPECT_EQ(c.app.hub.shownProperties.last(), nullptr);
    c.endGroup();

    c.view.undo();
    EXPECT_EQ(c.ids().at(2), "S2");
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({2}));

    // A move undone selects the moved object.
    c.view.changeSelectionIndexes({4});
    c.view.moveRight();
    c.endGroup();
    c.view.deselectAll();
    c.view.undo();
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({4}));
    c.view.redo();
    EXPECT_EQ(c.view.selectionIndexes(), IndexSet({4}));
}

TEST(EditCommands, SideWideHelpers)
{
    Canvas c;
    auto text = std::make_shared<SKTText>();
    text->control_ID = QStringLiteral("Fup_Name");
    auto picture = std::make_shared<SKTImage>();
    picture->control_ID = QStringLiteral("Fup_Photo");
    auto signature = std::make_shared<SKTSignature>();
    signature->control_ID = QStringLiteral("Fup_Name");
    c.view.insertGraphics({text, picture, signature}, {0, 3, 4});
    c.view.Hide_all_Text_control_FUP_Control();
    EXPECT_FALSE(text->ctrl_is_visible) << "the front-most profile text too";
    EXPECT_FALSE(picture->ctrl_is_visible);
    EXPECT_TRUE(signature->ctrl_is_visible) << "only texts and pictures";

    c.view.delete_all_Text_control();
    EXPECT_FALSE(c.document.graphics().contains(text.get()));
    EXPECT_FALSE(c.document.graphics().contains(picture.get()));
    EXPECT_TRUE(c.document.graphics().contains(signature.get()));
    c.view.delete_all_control();
    EXPECT_TRUE(c.document.graphics().isEmpty());
}

TEST(EditCommands, RepeatedPastesStopWhereTheDesignWouldHoldTooManyObjects)
{
    Canvas c;
    GraphicList back;
    for (qsizetype i = 0; i < DesignFile::kMaxDesignObjects - 10; ++i)
        back << std::make_shared<Shape_Control>();
    c.document.graphics_back().insertGraphics(back, IndexSet::range(0, int(back.size())));
    c.view.changeSelectionIndexes({0, 1});
    c.view.copy();
    for (int i = 0; i < 3; ++i)
        c.view.paste();
    EXPECT_EQ(c.document.designLoad().objects, DesignFile::kMaxDesignObjects);
    EXPECT_EQ(c.messages(), QStringList{"The objects on the pasteboard cannot be pasted.\nWith its 10000 objects the "
                                        "design would hold 10002, more than the 10000 a design may have."});
}

TEST(EditCommands, AnUndoThatWouldOverfillTheDesignIsTakenBack)
{
    Canvas c;
    c.view.changeSelectionIndexes({0, 1});
    c.view.delete_();
    c.endGroup();
    GraphicList back(DesignFile::kMaxDesignObjects - 4);
    std::generate(back.begin(), back.end(), [] { return std::make_shared<Shape_Control>(); });
    c.document.graphics_back().insertGraphics(back, IndexSet::range(0, int(back.size())));
    c.view.undo();
    EXPECT_EQ(c.ids(), QStringList({"S2", "S3", "S4", "S5"}));
    EXPECT_EQ(c.messages(), QStringList{"This cannot be undone.\nWith its 10000 objects the design would hold 10002, more "
                                        "than the 10000 a design may have."});
    EXPECT_TRUE(c.document.undoManager().canUndo());
}
