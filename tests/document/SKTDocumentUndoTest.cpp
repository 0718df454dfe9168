#include "document/SKTDocument.h"
#include "document/Shape_Control.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<Shape_Control> shapeAt(double x)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->_bounds = QRectF(x, 10, 40, 30);
    return shape;
}

// A document with two front shapes inserted without undo, so the history starts empty.
struct Design {
    SKTDocument doc;
    std::shared_ptr<Shape_Control> a = shapeAt(10), b = shapeAt(100);
    Design()
    {
        doc.Enable_Disable_Undo_Registraion(0);
        doc.insertGraphics({a, b}, platform::IndexSet::range(0, 2));
        doc.Enable_Disable_Undo_Registraion(1);
    }
    void endGroup() { doc.undoManager().closeEventGroup(); }
};

} // namespace

TEST(DocumentUndo, AGroupOfChangesIsUndoneAndRedoneAsOneStep)
{
    AppFixture app;
    Design d;
    // A drag of both objects, in several steps, then a second change of one of them.
    d.a->setBounds(QRectF(15, 10, 40, 30));
    d.b->setBounds(QRectF(105, 10, 40, 30));
    d.a->setBounds(QRectF(20, 12, 40, 30));
    d.b->setBounds(QRectF(110, 12, 40, 30));
    d.endGroup();
    d.a->setFillColor(Qt::red);
    d.endGroup();

    d.doc.undoManager().undo();
    EXPECT_NE(d.a->_fillColor, QColor(Qt::red));
    EXPECT_EQ(d.a->bounds(), QRectF(20, 12, 40, 30));
    d.doc.undoManager().undo();
    EXPECT_EQ(d.a->bounds(), QRectF(10, 10, 40, 30)) << "the bounds from before the first move";
    EXPECT_EQ(d.b->bounds(), QRectF(100, 10, 40, 30));
    EXPECT_FALSE(d.doc.undoManager().canUndo());

    d.doc.undoManager().redo();
    EXPECT_EQ(d.a->bounds(), QRectF(20, 12, 40, 30));
    EXPECT_EQ(d.b->bounds(), QRectF(110, 12, 40, 30));
    d.doc.undoManager().redo();
    EXPECT_EQ(d.a->fillColor(), QColor(Qt::red));
    // And back again: redo recorded its own inverse.
    d.doc.undoManager().undo();
    d.doc.undoManager().undo();
    EXPECT_EQ(d.b->bounds(), QRectF(100, 10, 40, 30));
}

TEST(DocumentUndo, AnObjectMadeInTheGroupGoesAndComesBackWhole)
{
    AppFixture app;
    Design d;
    auto c = shapeAt(200);
    d.doc.insertGraphic(c, 0);
    c->setFillColor(Qt::blue);
    c->setBounds(QRectF(210, 20, 40, 30));
    d.endGroup();

    d.doc.undoManager().undo();
    EXPECT_FALSE(d.doc.graphics().contains(c.get()));
    d.doc.undoManager().redo();
    ASSERT_TRUE(d.doc.graphics().contains(c.get()));
    EXPECT_EQ(c->fillColor(), QColor(Qt::blue));
    EXPECT_EQ(c->bounds(), QRectF(210, 20, 40, 30));
    // A removed object's changes made before removal are still undone after it comes back.
    d.endGroup();
    c->setBounds(QRectF(0, 0, 5, 5));
    d.endGroup();
    d.doc.removeGraphicAtIndex(0);
    d.endGroup();
    d.doc.undoManager().undo();
    d.doc.undoManager().undo();
    EXPECT_EQ(c->bounds(), QRectF(210, 20, 40, 30));
}

TEST(DocumentUndo, NothingIsRecordedWhereItShouldNotBe)
{
    AppFixture app;
    Design d;
    // The same value again.
    d.a->setFillColor(d.a->fillColor());
    d.a->setBounds(d.a->bounds());
    d.endGroup();
    EXPECT_FALSE(d.doc.undoManager().canUndo());

    // The back side is never undoable.
    auto back = shapeAt(5);
    d.doc.graphics_back().insertGraphics({back}, {0});
    back->setBounds(QRectF(50, 50, 10, 10));
    d.endGroup();
    EXPECT_FALSE(d.doc.undoManager().canUndo());

    // Inserted while registration is off: no action, but its later changes are watched and undone.
    auto quiet = shapeAt(300);
    d.doc.Enable_Disable_Undo_Registraion(0);
    d.doc.insertGraphic(quiet, 2);
    quiet->setBounds(QRectF(1, 1, 1, 1));
    d.doc.Enable_Disable_Undo_Registraion(1);
    EXPECT_FALSE(d.doc.undoManager().canUndo());
    quiet->setBounds(QRectF(2, 2, 2, 2));
    d.endGroup();
    d.doc.undoManager().undo();
    EXPECT_EQ(quiet->bounds(), QRectF(1, 1, 1, 1));
    EXPECT_TRUE(d.doc.graphics().contains(quiet.get()));

    // An object taken off the front list is no longer watched.
    d.doc.Enable_Disable_Undo_Registraion(0);
    d.doc.removeGraphicAtIndex(2);
    d.doc.Enable_Disable_Undo_Registraion(1);
    d.doc.undoManager().removeAllActions();
    quiet->setBounds(QRectF(3, 3, 3, 3));
    d.endGroup();
    EXPECT_FALSE(d.doc.undoManager().canUndo());
}

TEST(DocumentUndo, TheGroupRemembersWhichPropertyItChanged)
{
    AppFixture app;
    Design d;
    d.a->setBounds(QRectF(1, 1, 1, 1));
    d.b->setBounds(QRectF(2, 2, 2, 2));
    EXPECT_FALSE(d.doc.undoGroupHasChangesToMultipleProperties());
    d.endGroup();
    EXPECT_TRUE(d.doc.undoGroupPresentablePropertyName().isNull()) << "dropped at the checkpoint";
}
