#include "document/SKTDocument.h"
#include "core/AppState.h"
#include "document/Shape_Control.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class SKTDocumentTest : public ::testing::Test {
protected:
    AppFixture app;
    SKTDocument doc;

    SKTGraphicPtr shape(double x)
    {
        auto g = std::make_shared<Shape_Control>();
        g->_bounds = QRectF(x, 0, 10, 10);
        return g;
    }
    QList<double> frontXs()
    {
        QList<double> xs;
        for (const SKTGraphicPtr &g : doc.graphics().items())
            xs << g->_bounds.x();
        return xs;
    }
};

} // namespace

TEST_F(SKTDocumentTest, FrontInsertionsAndRemovalsUndoEachOther)
{
    doc.insertGraphics({shape(1), shape(2)}, {0, 1});
    doc.insertGraphic(shape(0), 0);
    doc.undoManager().closeEventGroup();
    EXPECT_EQ(frontXs(), (QList<double>{0, 1, 2}));
    EXPECT_EQ(doc.graphics().at(0)->scriptingContainer(), &doc);

    const SKTGraphicPtr removed = doc.graphics().at(1);
    doc.removeGraphicAtIndex(1);
    doc.undoManager().closeEventGroup();
    EXPECT_EQ(frontXs(), (QList<double>{0, 2}));
    EXPECT_EQ(removed->scriptingContainer(), nullptr);

    doc.undoManager().undo();
    EXPECT_EQ(frontXs(), (QList<double>{0, 1, 2}));
    EXPECT_EQ(doc.graphics().at(1), removed);
    doc.undoManager().undo();
    EXPECT_TRUE(doc.graphics().isEmpty());
    doc.undoManager().redo();
    EXPECT_EQ(frontXs(), (QList<double>{0, 1, 2}));
}

TEST_F(SKTDocumentTest, BackAndTempListsChangeWithoutUndo)
{
    doc.graphics_back().insertGraphics({shape(5)}, {0});
    doc.graphics_temp().insertGraphics({shape(6)}, {0});
    doc.undoManager().closeEventGroup();
    EXPECT_FALSE(doc.undoManager().canUndo());
    EXPECT_EQ(doc.graphics_back().at(0)->scriptingContainer(), nullptr);
}

TEST_F(SKTDocumentTest, BadPositionsChangeNothing)
{
    LogCapture log;
    doc.insertGraphics({shape(1)}, {3});
    doc.insertGraphics({shape(1), shape(2)}, {0});
    doc.removeGraphicsAtIndexes({0});
    EXPECT_TRUE(doc.graphics().isEmpty());
    doc.undoManager().closeEventGroup();
    EXPECT_FALSE(doc.undoManager().canUndo());
    EXPECT_EQ(log.lines().size(), 3);
}

TEST_F(SKTDocumentTest, ListObserversHearInsertionsAndRemovals)
{
    QStringList heard;
    const auto token = doc.graphics().addObserver([&](const SKTGraphicList::Change &c) {
        heard << QStringLiteral("%1:%2").arg(c.type == SKTGraphicList::Change::Inserted ? "ins" : "rem").arg(c.indexes.first());
    });
    doc.addInGraphics(shape(1));
    doc.addInGraphics(shape(2));
    doc.removeGraphicAtIndex(0);
    EXPECT_EQ(heard, (QStringList{QStringLiteral("ins:0"), QStringLiteral("ins:1"), QStringLiteral("rem:0")}));
    EXPECT_EQ(frontXs(), (QList<double>{2}));
    doc.graphics().removeObserver(token);
}

TEST_F(SKTDocumentTest, UndoRegistrationNestsAndOnlyExactlyOneEnables)
{
    doc.Enable_Disable_Undo_Registraion(2);
    EXPECT_FALSE(doc.undoManager().isUndoRegistrationEnabled());
    doc.Enable_Disable_Undo_Registraion(0);
    doc.Enable_Disable_Undo_Registraion(1);
    EXPECT_FALSE(doc.undoManager().isUndoRegistrationEnabled());
    doc.addInGraphics(shape(1));
    doc.Enable_Disable_Undo_Registraion(1);
    EXPECT_TRUE(doc.undoManager().isUndoRegistrationEnabled());
    doc.undoManager().closeEventGroup();
    EXPECT_FALSE(doc.undoManager().canUndo());
    EXPECT_EQ(doc.graphics().count(), 1);
}

TEST_F(SKTDocumentTest, ClearAllUndoRedoEmptiesTheFrontOnly)
{
    doc.insertGraphics({shape(1), shape(2), shape(3)}, {0, 1, 2});
    doc.graphics_back().insertGraphics({shape(9)}, {0});
    doc.undoManager().closeEventGroup();
    doc.Clear_All_Undo_Redo();
    doc.undoManager().closeEventGroup();
    EXPECT_TRUE(doc.graphics().isEmpty());
    EXPECT_EQ(doc.graphics_back().count(), 1);
    EXPECT_FALSE(doc.undoManager().canUndo());
    EXPECT_FALSE(doc.undoManager().canRedo());
    EXPECT_TRUE(doc.undoManager().isUndoRegistrationEnabled());
}

TEST_F(SKTDocumentTest, CanvasSizeNameAndErrors)
{
    EXPECT_EQ(SKTDocument::canvasSize(false, QSizeF(10, 20)), QSizeF(10, 20));
    EXPECT_EQ(SKTDocument::canvasSize(true, QSizeF(10, 20)), QSizeF(243, 154));
    EXPECT_FALSE(doc.isDocumentEdited());
    EXPECT_EQ(doc.displayName(), App().App_Name);
    const SKTError error = SKTErrorWithCode(2);
    EXPECT_EQ(error.domain, QStringLiteral("SKTErrorDomain"));
    EXPECT_EQ(error.code, 2);
    EXPECT_EQ(error.localizedFailureReason, QStringLiteral("An unknown error occurred."));
}
