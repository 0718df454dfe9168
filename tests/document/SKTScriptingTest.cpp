#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "document/SKTScriptingColor.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

// The document and its graphics as a script sees them, called directly.

namespace {

using S = SKTObjectSpecifier;

// Front to back: a rectangle, an oval, a line, a text and a picture.
struct Scripted {
    AppFixture app;
    SKTDocument document;
    GraphicList front{std::make_shared<Shape_Control>(), std::make_shared<Shape_Control>(), std::make_shared<SKTLine>(),
                      std::make_shared<SKTText>(), std::make_shared<SKTImage>()};
    Scripted()
    {
        front[1]->Set_Shape_Type(QStringLiteral("E"));
        const platform::ScopedUndoDisabling quietly(&document.undoManager());
        document.insertGraphics(front, platform::IndexSet::range(0, 5));
    }
    QList<int> order()
    {
        QList<int> order;
        std::transform(document.graphics().items().begin(), document.graphics().items().end(), std::back_inserter(order),
                       [this](const SKTGraphicPtr &graphic) { return int(front.indexOf(graphic)); });
        return order;
    }
};

S::Ptr at(const char *key, int index)
{
    return S::make(S::atIndex(QString::fromLatin1(key), index));
}

} // namespace

TEST(Scripting, SpecifiersEvaluateOnTheFrontList)
{
    Scripted s;
    EXPECT_EQ(s.document.circles(), s.document.rectangles());
    EXPECT_EQ(s.document.rectangles(), s.front.mid(0, 2));
    const std::optional<QList<int>> none;
    const struct {
        S specifier;
        std::optional<QList<int>> indexes;
    } rows[] = {
        {S::range("graphics", at("graphics", 2), at("graphics", 0)), QList<int>{0, 1, 2}},
        {S::range("graphics_back", at("graphics", 3), nullptr), QList<int>{3, 4}},
        {S::range("rectangles", at("graphics", 0), at("graphics", 4)), QList<int>{0, 1}},
        {S::range("rectangles_round", at("graphics", 0), nullptr), none},
        {S::relative("graphics", S::Position::After, at("graphics", 1)), QList<int>{2}},
        {S::relative("images", S::Position::After, at("graphics", 0)), QList<int>{0}},
        {S::relative("graphics", S::Position::Before, at("graphics", 0)), QList<int>{}},
        {S::relative("images", S::Position::After, S::make(S::every("graphics"))), QList<int>{}},
        {S::atIndex("graphics", 1), none},
    };
    for (const auto &row : rows)
        EXPECT_EQ(s.document.indicesOfObjectsByEvaluatingObjectSpecifier(row.specifier), row.indexes)
            << row.specifier.key.toStdString();

    EXPECT_EQ(SKTDocument().indicesOfObjectsByEvaluatingRangeSpecifier(S::range("graphics", at("graphics", 0), nullptr)),
              QList<int>{});
}

TEST(Scripting, ElementIndexesAreCheckedAndRefusedAsRangeErrors)
{
    Scripted s;
    const auto rect = std::make_shared<Shape_Control>();
    const auto text = std::make_shared<SKTText>();
    const struct {
        std::function<std::optional<SKTScriptingError>(SKTDocument &)> command;
        const char *error; // none when it works
        QList<int> order;  // of the first five objects afterwards, -1 for new ones
    } rows[] = {
        {[&](SKTDocument &d) { return d.insertObject_inRectanglesAtIndex(rect, 1); }, nullptr, {0, -1, 1, 2, 3, 4}},
        {[&](SKTDocument &d) { return d.insertObject_inTextAreasAtIndex(text, 1); }, nullptr, {0, -1, 1, 2, 3, 4, -1}},
        {[&](SKTDocument &d) { return d.insertObject_inCirclesAtIndex(rect, 4); }, "circle", {0, -1, 1, 2, 3, 4, -1}},
        {[&](SKTDocument &d) { return d.removeObjectFromImagesAtIndex(0); }, nullptr, {0, -1, 1, 2, 3, -1}},
        {[&](SKTDocument &d) { return d.removeObjectFromImagesAtIndex(0); }, "image", {0, -1, 1, 2, 3, -1}},
        {[&](SKTDocument &d) { return d.removeObjectFromRectanglesAtIndex(0); }, nullptr, {-1, 1, 2, 3, -1}},
        {[&](SKTDocument &d) { return d.insertObject_inImagesAtIndex(nullptr, 0); }, "image", {-1, 1, 2, 3, -1}},
    };
    for (const auto &row : rows) {
        const std::optional<SKTScriptingError> error = row.command(s.document);
        EXPECT_EQ(error ? error->text : QString(),
                  row.error ? QStringLiteral("Could not find the given %1 in the graphics.").arg(row.error) : QString());
        EXPECT_EQ(s.order(), row.order);
    }
    EXPECT_EQ(SKTDocument::newScriptingObjectOfClass(QStringLiteral("SKTGraphic"))->kind(), SKTGraphic::Kind::Shape);
}

TEST(Scripting, FillAndStrokeChangeThroughUndoableSettersOrAnswerTheCommandsError)
{
    Scripted s;
    const SKTGraphicPtr rect = s.front[0], line = s.front[2], text = s.front[3], image = s.front[4];
    rect->_isDrawingFill = false;
    text->_isDrawingStroke = false;
    const QColor before = rect->_fillColor;
    EXPECT_EQ(rect->setScriptingFillColor(QColor(Qt::red)), std::nullopt);
    EXPECT_EQ(rect->scriptingFillColor(), QColor(Qt::red));
    s.document.undoManager().closeEventGroup();
    s.document.undoManager().undo();
    EXPECT_FALSE(rect->_isDrawingFill);
    EXPECT_EQ(rect->_fillColor, before);

    image->_isDrawingStroke = true;
    const struct {
        std::function<std::optional<SKTScriptingError>()> command;
        const char *error;
    } refusals[] = {
        {[&] { return line->setScriptingFillColor(QColor(Qt::red)); }, "You can't set the fill color of this kind of graphic."},
        {[&] { return text->setScriptingStrokeWidth(2.0); }, "You can't set the stroke thickness of this kind of graphic."},
        {[&] { return image->setScriptingStrokeWidth(std::nullopt); }, "You can't remove the stroke from this kind of graphic."},
    };
    const QByteArray lineBefore = line->archivedData();
    for (const auto &row : refusals) {
        const std::optional<SKTScriptingError> error = row.command();
        EXPECT_EQ(error ? std::pair(error->number, error->text) : std::pair(0, QString()), std::pair(-10000, QString(row.error)));
    }
    EXPECT_EQ(line->archivedData(), lineBefore);
}

TEST(Scripting, AGraphicOutlivingItsDocumentHasNoContainer)
{
    SKTGraphicPtr kept;
    {
        Scripted s;
        EXPECT_EQ(s.front[1]->objectSpecifier()->index, 1);
        kept = s.front[0];
        // Taken out of the list itself, past the document: it still names the document.
        s.document.graphics().removeGraphicsAtIndexes({0});
    }
    SKTScriptingError error;
    EXPECT_EQ(kept->scriptingContainer(), nullptr);
    EXPECT_FALSE(kept->objectSpecifier(&error));
    EXPECT_EQ(error.kind, SKTScriptingError::Kind::InternalInconsistency);
}

TEST(Scripting, ColoursTravelAsSixBytesOfSixteenBitComponents)
{
    const SKTColorDescriptor orange = scriptingRGBColorDescriptor(QColor(255, 128, 0));
    const quint16 expected[3] = {65535, 128 * 257, 0};
    EXPECT_EQ(orange.data, QByteArray(reinterpret_cast<const char *>(expected), 6));
    EXPECT_EQ(scriptingRGBColorWithDescriptor(orange), QColor(255, 128, 0));
    EXPECT_EQ(scriptingRGBColorWithDescriptor({orange.type, orange.data + "ab"}), std::nullopt);
}
