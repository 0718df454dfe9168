#include "canvas/SKTPrintOperation.h"

#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/Shape_Control.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/ui/PrinterSettings.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

const QColor kFace(250, 240, 200);

std::shared_ptr<Shape_Control> shape(const QRectF &bounds, const QColor &fill)
{
    auto graphic = std::make_shared<Shape_Control>();
    graphic->Set_Shape_Type(QStringLiteral("R"));
    graphic->_bounds = bounds;
    graphic->_fillColor = fill;
    graphic->_isDrawingStroke = false;
    return graphic;
}

Card_Property face()
{
    Card_Property side;
    side.setCard_fill_chk(true);
    side.setCard_fill_clr(kFace);
    return side;
}

platform::PrintInfo printInfo(const QPageSize &paper, QPageLayout::Orientation orientation, const QMarginsF &margins)
{
    platform::PrintInfo info;
    info.pageLayout = QPageLayout(paper, orientation, margins, QPageLayout::Point);
    return info;
}

QSizeF mediaBox(const QByteArray &pdf)
{
    static const QRegularExpression box(QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// The page as a reader of PDF files of its own shows it, one pixel per point; null without one.
QImage pageOf(const QByteArray &pdf)
{
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    QTemporaryDir dir;
    if (reader.isEmpty() || !dir.isValid())
        return {};
    QFile file(dir.filePath(QStringLiteral("page.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    const QString prefix = dir.filePath(QStringLiteral("page"));
    if (QProcess::execute(reader, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"),
                                   QStringLiteral("-singlefile"), file.fileName(), prefix}) != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png"));
}

::testing::AssertionResult near(const QImage &page, const QPointF &point, const QColor &expected)
{
    const QColor actual = page.pixelColor(point.toPoint());
    if (std::abs(actual.red() - expected.red()) <= 3 && std::abs(actual.green() - expected.green()) <= 3 &&
        std::abs(actual.blue() - expected.blue()) <= 3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << point.x() << ", " << point.y() << ") "
                                         << actual.name().toStdString() << " instead of "
                                         << expected.name().toStdString();
}

class SKTPrintOperationTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    SKTDocument document;

    SKTPrintOperationTest()
    {
        document.insertGraphic(shape({10, 10, 30, 20}, Qt::red), 0);
        document.graphics_back().insertGraphics({shape({100, 60, 40, 40}, Qt::green)}, {0});
    }
};

} // namespace

TEST_F(SKTPrintOperationTest, TheDocumentsOperationPrintsTheFrontWithItsPrintInfoAndTheSettings)
{
    platform::PrintInfo info = printInfo(QPageSize(QPageSize::Letter), QPageLayout::Landscape, {18, 36, 18, 36});
    info.dictionary = {{platform::PrintInfo::Copies, 1}, {platform::PrintInfo::PrinterName, QStringLiteral("Office")}};
    document.setPrintInfo(info);

    const SKTPrintOperation operation = SKTPrintOperation::printOperationWithSettings(
        document, {{platform::PrintInfo::Copies, 3}, {QStringLiteral("note"), QStringLiteral("x")}}, face(), 0);
    EXPECT_EQ(operation.jobTitle(), document.displayName());
    EXPECT_EQ(operation.view().bounds(), QRectF(0, 0, 243, 154));
    EXPECT_EQ(operation.view().graphics(), document.graphics().items());
    EXPECT_TRUE(operation.canSpawnSeparateThread());
    EXPECT_EQ(operation.printInfo().pageLayout, info.pageLayout);
    EXPECT_EQ(operation.printInfo().dictionary,
              (QVariantMap{{platform::PrintInfo::Copies, 3},
                           {platform::PrintInfo::PrinterName, QStringLiteral("Office")},
                           {QStringLiteral("note"), QStringLiteral("x")}}));
    EXPECT_EQ(document.printInfo(), info) << "the settings are the operation's, not the document's";
}

TEST_F(SKTPrintOperationTest, TheCardLandsAtTheTopLeftOfTheMarginsOnThePaper)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct Case {
        const char *what;
        platform::PrintInfo info;
        bool onPrinter;
    } cases[] = {
        {"the default page, written on a worker", platform::PrintInfo(), false},
        {"Letter on its side", printInfo(QPageSize(QPageSize::Letter), QPageLayout::Landscape, {18, 36, 54, 72}), false},
        {"a card-sized paper through a printer",
         printInfo(QPageSize(QSizeF(260, 170), QPageSize::Point), QPageLayout::Portrait, {8, 8, 8, 8}), true},
    };
    for (const Case &c : cases) {
        document.setPrintInfo(c.info);
        const SKTPrintOperation operation =
            SKTPrintOperation::printOperationWithSettings(document, {{platform::PrintInfo::Copies, 2}}, face(), 0);
        QByteArray pdf;
        if (c.onPrinter) {
            QPrinter printer(QPrinter::HighResolution);
            platform::PrintInfo toFile = operation.printInfo();
            toFile.dictionary.insert(platform::PrintInfo::OutputFileName, dir.filePath(QStringLiteral("printed.pdf")));
            ASSERT_TRUE(platform::applyPrintInfo(toFile, printer)) << c.what;
            EXPECT_EQ(printer.copyCount(), 2) << c.what;
            printer.setDocName(operation.jobTitle());
            ASSERT_TRUE(operation.runOperation(printer)) << c.what;
            QFile file(dir.filePath(QStringLiteral("printed.pdf")));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.what;
            pdf = file.readAll();
        } else {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            bool ran = false;
            std::thread worker([&] {
                QPdfWriter writer(&buffer);
                ran = operation.runOperation(writer);
            });
            worker.join();
            ASSERT_TRUE(ran) << c.what;
        }

        const QRectF paper = c.info.pageLayout.fullRect(QPageLayout::Point);
        const QSizeF box = mediaBox(pdf);
        EXPECT_NEAR(box.width(), paper.width(), 0.5) << c.what;
        EXPECT_NEAR(box.height(), paper.height(), 0.5) << c.what;

        const QImage page = pageOf(pdf);
        if (page.isNull())
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        const QPointF origin = c.info.pageLayout.paintRect(QPageLayout::Point).topLeft();
        EXPECT_TRUE(near(page, origin + QPointF(25, 20), Qt::red)) << c.what;
        EXPECT_TRUE(near(page, origin + QPointF(200, 130), kFace)) << c.what;
        EXPECT_TRUE(near(page, origin + QPointF(120, 80), kFace)) << c.what << ": the back side is not printed";
        EXPECT_TRUE(near(page, origin / 2, Qt::white)) << c.what << ": the margins stay blank";
    }
}
