#include "DesignWindowFixture.h"

#include "document/Shape_Control.h"

#include <QKeyEvent>
#include <QMouseEvent>

// What the user does to the window while a design is written or read on a worker goes nowhere:
// a drag and a Delete posted to the canvas then neither move nor delete, during the work or after.
TEST_F(DesignWindowTest, InputToTheWindowDuringALongSaveOrOpenIsDropped)
{
    load();
    GraphicList shapes(3);
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        shapes[i] = std::make_shared<Shape_Control>();
        shapes[i]->setBounds(QRectF(10 + 60 * i, 10, 40, 30));
    }
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, 3));
    window->directWorkBytes = 0; // every design is a large one here
    const QString path = resourcePath(QStringLiteral("input.zkse"));
    App().Project_File_Name = path;

    SKTGraphicView *canvas = window->_graphicView;
    const auto dragAndDelete = [canvas] {
        const QPointF from = QPointF(30, 25) / canvas->canvasPointFromWidget(QPointF(1, 1)).x(), to = from + QPointF(0, 40);
        const auto mouse = [canvas](QEvent::Type type, const QPointF &at, Qt::MouseButton button,
                                    Qt::MouseButtons held) {
            QCoreApplication::postEvent(canvas,
                                        new QMouseEvent(type, at, canvas->mapToGlobal(at), button, held, Qt::NoModifier));
        };
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCoreApplication::postEvent(canvas, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
    };
    const auto top = [&] { return document->graphics().at(0)->bounds().top(); };

    for (const char *work : {"save", "open"}) {
        SCOPED_TRACE(work);
        dragAndDelete();
        if (QByteArrayView(work) == "save")
            ASSERT_TRUE(window->Save_project_file(false, false));
        else
            ASSERT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
        QCoreApplication::processEvents();
        EXPECT_EQ(document->graphics().count(), 3);
        EXPECT_EQ(top(), 10);
    }
    // The same events outside the work move the first shape and delete it.
    dragAndDelete();
    QCoreApplication::processEvents();
    EXPECT_EQ(document->graphics().count(), 2);
}
