#include "core/AppState.h"
#include "document/Shape_Control.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QWidget>

namespace {

// Until the design window exists, the program shows one sample of every shape and fill.
class ShapeSampleWidget : public QWidget {
public:
    ShapeSampleWidget()
    {
        setWindowTitle(App().App_Name);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(241, 244, 250));
        setPalette(pal);
        resize(1000, 800);

        const QStringList codes = {QStringLiteral("R"), QStringLiteral("C"), QStringLiteral("RR"), QStringLiteral("T"),
                                   QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("DS"), QStringLiteral("P")};
        const QStringList fills = {QStringLiteral("S"), QStringLiteral("G"), QStringLiteral("H")};
        const QStringList outlines = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"),
                                      QStringLiteral("DD"), QStringLiteral("DDD")};
        int row = 0;
        for (const QString &fill : fills) {
            for (int col = 0; col < codes.size(); ++col) {
                auto shape = std::make_shared<Shape_Control>();
                shape->Set_Shape_Type(codes.at(col));
                shape->double_star_type = 3;
                shape->polygon_type = row == 2 ? 1 : 3;
                shape->_fill_type = fill;
                shape->_fillColor = QColor(90, 150, 220);
                shape->_fill_Grad_clr1 = QColor(255, 200, 60);
                shape->_fill_Grad_clr2 = QColor(200, 40, 90);
                shape->_fill_grad_angle = 30.0 * col;
                shape->_fill_htch_clr = QColor(230, 240, 200);
                shape->_fill_hatch_type = QStringLiteral("Cross_Hatch");
                shape->_strokeWidth = 1 + row * 2;
                shape->_stroke_border_type = outlines.at((row + col) % outlines.size());
                shape->setBounds(QRectF(20 + col * 120, 20 + row * 140, 100, 110));
                m_shapes << shape;
            }
            ++row;
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const SKTGraphicPtr &shape : m_shapes)
            shape->drawContentsInView(painter, false);
    }

private:
    GraphicList m_shapes;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(App().App_Name);
    // The shipped resources lie beside the executable.
    App().Resource_Path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Resources")) + QLatin1Char('/');
    App().Data_Folder_Path = App().Resource_Path + QStringLiteral("DataSet");

    ShapeSampleWidget window;
    window.show();
    return app.exec();
}
