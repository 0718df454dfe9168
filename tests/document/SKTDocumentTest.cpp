#include "document/SKTDocument.h"
#include "core/AppState.h"
#include "document/Shape_Control.h"
#include "platform/PropertyList.h"

#include "fixtures/TestSupport.h"

#include <QPageSize>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <memory>
#include <stdexcept>

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

// --- Native data and print information ----------------------------------------------------------

namespace {

SKTGraphicPtr made(const char *className, const QRectF &bounds, const QString &tag = QString())
{
    SKTGraphicPtr graphic = SKTGraphic::graphicWithClassName(QLatin1String(className));
    graphic->_bounds = bounds;
    graphic->control_ID = tag;
    return graphic;
}

platform::PrintInfo letterOnItsSide()
{
    platform::PrintInfo info;
    info.pageLayout = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(18, 36, 18, 36),
                                  QPageLayout::Point);
    info.dictionary.insert(platform::PrintInfo::Copies, 2);
    return info;
}

} // namespace

TEST_F(SKTDocumentTest, NativeDataHoldsTheFrontListAndPrintInfoAndReadsBack)
{
    const GraphicList kept{made("Shape_Control", {1, 2, 30, 40}, "A"), made("SKTText", {5, 5, 80, 20}, "PARTY_TITLE"),
                           made("SKTLine", {0, 0, 50, 1})};
    doc.insertGraphics({kept[0], made("SKTImage", {0, 0, 243, 154}, "PARTY_IMAGE_BG"), kept[1],
                        made("SKTImage", {20, 20, 60, 60}, "PARTY_IMAGE"), kept[2]},
                       platform::IndexSet::range(0, 5));
    doc.graphics_back().insertGraphics({shape(9)}, {0});
    doc.setPrintInfo(letterOnItsSide());

    const QByteArray data = doc.dataOfType(SKTDocument::documentType);
    EXPECT_EQ(doc.dataOfType(SKTDocument::oldDocumentTypeName), data) << "the old name is the same type";
    EXPECT_THROW(doc.dataOfType(QStringLiteral("application/pdf")), std::invalid_argument);

    // The layout as another property-list reader sees it.
    plist_t root = nullptr;
    plist_from_bin(data.constData(), static_cast<uint32_t>(data.size()), &root);
    ASSERT_NE(root, nullptr);
    const std::unique_ptr<void, void (*)(plist_t)> owner(root, plist_free);
    ASSERT_EQ(plist_get_node_type(root), PLIST_DICT);
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(root, "version"), &version);
    EXPECT_EQ(version, 2u);
    const plist_t graphics = plist_dict_get_item(root, "graphics");
    ASSERT_EQ(plist_get_node_type(graphics), PLIST_ARRAY);
    ASSERT_EQ(plist_array_get_size(graphics), 3u) << "the main photo and the frame picture stay out";
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(plist_get_node_type(plist_array_get_item(graphics, i)), PLIST_DATA);
    EXPECT_EQ(plist_get_node_type(plist_dict_get_item(root, "printInfo")), PLIST_DICT);

    // Read into a document that has a front list and undo history of its own.
    SKTDocument other;
    other.insertGraphics({shape(7)}, {0});
    other.graphics_back().insertGraphics({shape(8)}, {0});
    other.undoManager().closeEventGroup();
    SKTError error;
    ASSERT_TRUE(other.readFromData(data, SKTDocument::documentType, &error));
    other.undoManager().closeEventGroup();
    EXPECT_EQ(SKTGraphic::propertiesWithGraphics(other.graphics().items()), SKTGraphic::propertiesWithGraphics(kept));
    EXPECT_EQ(other.graphics_back().at(0)->_bounds.x(), 8) << "only the front list is read";
    EXPECT_EQ(other.printInfo(), letterOnItsSide());
    EXPECT_FALSE(other.undoManager().canUndo());
    EXPECT_TRUE(other.undoManager().isUndoRegistrationEnabled());
}

TEST_F(SKTDocumentTest, ReadingOtherTypesOrLayoutsChangesNothing)
{
    const auto list = [](const QVariant &root) {
        return platform::propertyListData(root, platform::PropertyListFormat::Binary);
    };
    const QString type = SKTDocument::documentType;
    const struct {
        const char *what;
        QByteArray data;
        QString type;
    } cases[] = {
        {"another type", doc.dataOfType(type), QStringLiteral("image/tiff")},
        {"no property list", QByteArray("bplist00 and then nothing"), type},
        {"an array at the root", list(QVariantList{}), type},
        {"another version", list(QVariantMap{{"version", 1}, {"graphics", QVariantList{}}}), type},
        {"a version in words", list(QVariantMap{{"version", "2"}, {"graphics", QVariantList{}}}), type},
        {"no graphics", list(QVariantMap{{"version", 2}}), type},
        {"graphics that are no list", list(QVariantMap{{"version", 2}, {"graphics", "none"}}), type},
    };
    doc.insertGraphics({shape(5)}, {0});
    doc.setPrintInfo(letterOnItsSide());
    for (const auto &c : cases) {
        SKTError error;
        EXPECT_FALSE(doc.readFromData(c.data, c.type, &error)) << c.what;
        EXPECT_EQ(error.code, 2) << c.what;
        EXPECT_EQ(frontXs(), QList<double>{5}) << c.what;
        EXPECT_EQ(doc.printInfo(), letterOnItsSide()) << c.what;
    }
}

TEST_F(SKTDocumentTest, SettingThePrintInfoAnnouncesCanvasSizeWithoutASize)
{
    QList<QVariant> heard;
    doc.addObserver(SKTDocument::CanvasSizeKey, [&](const QString &, const QVariant &oldValue, const QVariant &newValue) {
        EXPECT_EQ(doc.printInfo(), letterOnItsSide()) << "observers hear of the change after it";
        heard << oldValue << newValue;
    });
    doc.setPrintInfo(letterOnItsSide());
    doc.setPrintInfo(letterOnItsSide());
    ASSERT_EQ(heard.size(), 4) << "every setting is announced";
    for (const QVariant &value : heard)
        EXPECT_FALSE(value.isValid());
}
