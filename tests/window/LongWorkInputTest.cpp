#include "DesignWindowFixture.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/ImageEffectCache.h"
#include "datasource/Data_From_Excel.h"
#include "document/SKTImage.h"
#include "document/Shape_Control.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <QToolButton>

// What the user does to the window while a design is written or read goes nowhere, whether the
// work runs at once or on a worker: a drag, a Delete, a click on the ellipse tool and an ellipse
// drawn, queued while the window was busy, neither move, delete nor draw, during the work or after.
// A bound sheet brings the design just under the threshold, then over it.
TEST_F(DesignWindowTest, InputToTheWindowDuringASaveOrOpenIsDropped)
{
    load();
    GraphicList shapes(3);
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        shapes[i] = std::make_shared<Shape_Control>();
        shapes[i]->setBounds(QRectF(10 + 60 * i, 10, 40, 30));
    }
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, 3));
    const QString path = resourcePath(QStringLiteral("input.zkse"));
    App().Project_File_Name = path;
    window->plz_wait_Window->delayMs = 0; // the sheet shows at once for work on a worker
    ShowCounter sheet;
    window->plz_wait_Window->installEventFilter(&sheet);

    SKTGraphicView *canvas = window->_graphicView;
    const auto drag = [](QWidget *target, const QPointF &from, const QPointF &to) {
        const auto post = [target](QEvent::Type type, const QPointF &at, Qt::MouseButtons held) {
            QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at),
                                                                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                                                                held, Qt::NoModifier));
        };
        post(QEvent::MouseButtonPress, from, Qt::LeftButton);
        post(QEvent::MouseMove, to, Qt::LeftButton);
        post(QEvent::MouseButtonRelease, to, Qt::NoButton);
    };
    const auto act = [&] {
        const double scale = canvas->canvasPointFromWidget(QPointF(1, 1)).x();
        drag(canvas, QPointF(30, 25) / scale, QPointF(30, 65) / scale);
        QCoreApplication::postEvent(canvas, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
        drag(window->toolButtons[SKTTool::Oval], QPointF(4, 4), QPointF(4, 4));
        drag(canvas, QPointF(60, 120) / scale, QPointF(120, 160) / scale);
    };
    const auto top = [&] { return document->graphics().at(0)->bounds().top(); };

    const struct {
        const char *what;
        int rows;
        bool onWorker;
    } cases[] = {{"just under", 1200, false}, {"just over", 1500, true}};
    for (const auto &run : cases) {
        SCOPED_TRACE(run.what);
        QStringList titles;
        QList<QStringList> cells(run.rows);
        for (int c = 1; c <= 30; ++c) {
            titles << QStringLiteral("Title %1").arg(c);
            for (QStringList &row : cells)
                row << QStringLiteral("Row %1 column %2").arg(&row - cells.data() + 1).arg(c);
        }
        Data_From_Excel::defaultInstance()->bind(titles, cells);
        ASSERT_EQ(DesignFile::workOf(window->designFileContents()).weight() >= window->directWorkBytes, run.onWorker);
        for (const bool save : {true, false}) {
            SCOPED_TRACE(save ? "save" : "open");
            act();
            sheet.shows = 0;
            if (save) {
                ASSERT_TRUE(window->Save_project_file(false, false));
                ASSERT_EQ(QFileInfo(path).size() >= window->directWorkBytes, run.onWorker) << QFileInfo(path).size();
            } else {
                ASSERT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
            }
            EXPECT_EQ(sheet.shows, run.onWorker ? 1 : 0) << "the work ran where its size sends it";
            QCoreApplication::processEvents();
            EXPECT_EQ(document->graphics().count(), 3);
            EXPECT_EQ(top(), 10);
            EXPECT_EQ(window->Selected_Control_Tool(), SKTTool::Arrow);
        }
    }
    // The same events outside the work delete the first shape and draw an ellipse.
    const SKTGraphic *first = document->graphics().at(0).get();
    act();
    QCoreApplication::processEvents();
    EXPECT_FALSE(document->graphics().contains(first));
    EXPECT_EQ(document->graphics().count(), 3);
}

// A close made while a design is written on a worker waits for the save, by the close box or by the
// Quit typed: the quit's question comes once, after the save and its box, and finds the file whole;
// the window stays when it is cancelled.
TEST_F(DesignWindowTest, ACloseDuringASaveIsAnsweredOnceTheSaveHasEnded)
{
    load();
    QStringList titles;
    QList<QStringList> cells(1500);
    for (int c = 1; c <= 30; ++c) {
        titles << QStringLiteral("Title %1").arg(c);
        for (QStringList &row : cells)
            row << QStringLiteral("Row %1 column %2").arg(&row - cells.data() + 1).arg(c);
    }
    Data_From_Excel::defaultInstance()->bind(titles, cells);
    ASSERT_GE(DesignFile::workOf(window->designFileContents()).weight(), window->directWorkBytes);
    const QString path = resourcePath(QStringLiteral("closing.zkse"));
    App().Project_File_Name = path;
    window->Main_wnd->show();

    std::optional<DesignFileContents> found;
    // The desktops bind Quit to Ctrl+Q; the screenless platform binds it to nothing.
    QAction *quit = window->Main_wnd->findChild<QAction *>(QStringLiteral("Exit_action"));
    if (quit->shortcut().isEmpty())
        quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    const QKeyCombination typed = quit->shortcut()[0];
    const struct {
        const char *how;
        std::function<void()> quit;
    } ways[] = {
        {"close box", [this] { window->Main_wnd->close(); }},
        {"Quit typed", [this, typed] {
             for (const QEvent::Type type : {QEvent::ShortcutOverride, QEvent::KeyPress})
                 QCoreApplication::postEvent(window->_graphicView,
                                             new QKeyEvent(type, typed.key(), typed.keyboardModifiers()));
         }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.how);
        services->shown.clear();
        found.reset();
        services->whileAsking = [&] {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                found = DesignFile::read(file.readAll());
        };
        services->yesNoAnswers << std::nullopt;
        QTimer::singleShot(0, window->Main_wnd, way.quit); // once the save's wait runs
        ASSERT_TRUE(window->Save_project_file(false, true));
        QCoreApplication::processEvents();
        EXPECT_EQ(services->shown, (QStringList{QStringLiteral("message"), QStringLiteral("question")}));
        ASSERT_TRUE(found.has_value()) << "the file is whole when the question comes";
        EXPECT_EQ(found->excelRows.size(), 1500);
        EXPECT_TRUE(window->Main_wnd->isVisible());
    }
}

// A shape that notes on which thread it was destroyed.
struct NotingShape : Shape_Control {
    ~NotingShape() override { destroyedOn = QThread::currentThread(); }
    static inline QThread *destroyedOn = nullptr;
};

// An open on a worker reads there the pictures the design names by path and makes what the first
// paint draws of a large picture (its copy at the canvas's scale, through its effects), carried by
// the file or named by path; and gives back there the objects and pictures of the design it
// replaces, whose freeing took the GUI thread tens of milliseconds for a gigabyte or thousands.
TEST_F(DesignWindowTest, AnOpenOnAWorkerReadiesTheFirstPaintAndFreesWhatItReplaces)
{
    load();
    window->Main_wnd->hide(); // nothing is painted until the test asks
    QImage flat(2400, 1800, QImage::Format_RGB32);
    flat.fill(QColor(90, 140, 200));
    const QString file = resourcePath(QStringLiteral("flat.png"));
    ASSERT_TRUE(flat.save(file));
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named by path" : "carried");
        document->graphics().removeGraphicsAtIndexes(platform::IndexSet::range(0, document->graphics().count()));
        auto picture = named ? std::make_shared<SKTImage>(QPointF(60, 40), file)
                             : std::make_shared<SKTImage>(QPointF(60, 40), flat);
        picture->_bounds = QRectF(10, 10, 120, 90);
        picture->Sepia = true;
        document->graphics().insertGraphics({picture}, platform::IndexSet::range(0, 1));
        const QString path = resourcePath(QStringLiteral("picture.zkse"));
        App().Project_File_Name = path;
        ASSERT_TRUE(window->Save_project_file(false, false));
        // Pixels whose freeing tells on which thread it ran, and an object, in the design replaced.
        static QThread *freedOn = nullptr;
        freedOn = NotingShape::destroyedOn = nullptr;
        auto *pixels = new uchar[2048 * 2048 * 4]();
        const auto freed = [](void *data) {
            freedOn = QThread::currentThread();
            delete[] static_cast<uchar *>(data);
        };
        document->graphics().insertGraphics(
            {std::make_shared<SKTImage>(QPointF(60, 40), QImage(pixels, 2048, 2048, QImage::Format_RGB32, freed, pixels)),
             std::make_shared<NotingShape>()},
            platform::IndexSet::range(0, 2));
        picture.reset();

        window->directWorkBytes = 0;
        ImageEffectCache &effects = ImageEffectCache::sharedInstance();
        effects.clear();
        const quint64 misses = effects.missCount();
        ASSERT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
        EXPECT_NE(freedOn, nullptr);
        EXPECT_NE(freedOn, QThread::currentThread());
        EXPECT_NE(NotingShape::destroyedOn, nullptr);
        EXPECT_NE(NotingShape::destroyedOn, QThread::currentThread());
        EXPECT_EQ(effects.missCount(), misses + 1) << "the effect ran with the open";
        const quint64 hits = effects.hitCount();
        EXPECT_FALSE(window->_graphicView->grab().isNull());
        EXPECT_EQ(effects.missCount(), misses + 1) << "the paint made nothing again";
        EXPECT_GT(effects.hitCount(), hits) << "the paint drew the picture";
    }
}
