#include "properties/ui/AlignmentTab.h"

#include "core/MessageBoxes.h"
#include "properties/PanelDesign.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include <functional>

namespace {

const QString kSelectMore = QStringLiteral("Please select more than one control.");
const QString kUseGrid = QStringLiteral("Please use grid option first.");

const QColor kGuide(60, 70, 84);
const QColor kShape(74, 123, 208);
const QColor kShapeEdge(40, 84, 160);
const QColor kGridLine(150, 160, 176);

constexpr int kGlyph = 20;

// A 20-point glyph drawn at twice the resolution so that it stays sharp on dense screens.
QIcon glyph(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(kGlyph * 2, kGlyph * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

void bar(QPainter &p, const QRectF &rect)
{
    p.setPen(QPen(kShapeEdge, 1.0));
    p.setBrush(kShape);
    p.drawRoundedRect(rect, 1.2, 1.2);
}

void guide(QPainter &p, const QLineF &line)
{
    p.setPen(QPen(kGuide, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(line);
}

// Two bars against a guide on the left; the other edges are this glyph turned or mirrored.
void edges(QPainter &p)
{
    bar(p, QRectF(5.0, 4.0, 12.0, 4.5));
    bar(p, QRectF(5.0, 11.5, 7.5, 4.5));
    guide(p, QLineF(3.0, 2.0, 3.0, 18.0));
}

// Two bars centred on a vertical guide.
void centres(QPainter &p)
{
    bar(p, QRectF(3.5, 4.0, 13.0, 4.5));
    bar(p, QRectF(6.0, 11.5, 8.0, 4.5));
    guide(p, QLineF(10.0, 2.0, 10.0, 18.0));
}

void transposed(QPainter &p, void (*draw)(QPainter &))
{
    p.save();
    p.setTransform(QTransform(0, 1, 1, 0, 0, 0), true);
    draw(p);
    p.restore();
}

void mirrored(QPainter &p, void (*draw)(QPainter &))
{
    p.save();
    p.setTransform(QTransform(-1, 0, 0, 1, kGlyph, 0), true);
    draw(p);
    p.restore();
}

void onCard(QPainter &p)
{
    p.setPen(QPen(kGuide, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.0, 3.0, 16.0, 14.0), 1.5, 1.5);
    p.setPen(QPen(kGridLine, 0.8, Qt::DotLine));
    p.drawLine(QLineF(10.0, 4.0, 10.0, 16.0));
    p.drawLine(QLineF(3.0, 10.0, 17.0, 10.0));
    bar(p, QRectF(6.5, 7.5, 7.0, 5.0));
}

void sameWidth(QPainter &p)
{
    p.setPen(QPen(kGridLine, 0.8, Qt::DashLine));
    p.drawLine(QLineF(3.5, 2.0, 3.5, 18.0));
    p.drawLine(QLineF(16.5, 2.0, 16.5, 18.0));
    bar(p, QRectF(3.5, 4.0, 13.0, 4.5));
    bar(p, QRectF(3.5, 11.5, 13.0, 4.5));
}

void sameHeight(QPainter &p)
{
    transposed(p, sameWidth);
}

void naturalSize(QPainter &p)
{
    p.setPen(QPen(kGridLine, 0.8, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 15.0, 15.0));
    bar(p, QRectF(2.5, 2.5, 9.0, 9.0));
    p.setPen(QPen(kGuide, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QLineF(12.0, 12.0, 16.5, 16.5));
    p.drawPolyline(QPolygonF({QPointF(12.5, 16.5), QPointF(16.5, 16.5), QPointF(16.5, 12.5)}));
}

void gridLines(QPainter &p)
{
    p.setPen(QPen(kGridLine, 0.9));
    for (double at : {2.5, 7.5, 12.5, 17.5}) {
        p.drawLine(QLineF(at, 1.5, at, 18.5));
        p.drawLine(QLineF(1.5, at, 18.5, at));
    }
}

void toGrid(QPainter &p)
{
    gridLines(p);
    bar(p, QRectF(7.5, 7.5, 10.0, 5.0));
}

QToolButton *glyphButton(const char *name, const QIcon &icon, const QString &toolTip)
{
    auto *button = PanelTab::named(new QToolButton, name);
    button->setIcon(icon);
    button->setIconSize(QSize(kGlyph, kGlyph));
    button->setToolTip(toolTip);
    button->setFixedSize(34, 30);
    return button;
}

QPushButton *textButton(const char *name, const QString &text, const QIcon &icon, const QString &toolTip)
{
    auto *button = PanelTab::named(new QPushButton(icon, text), name);
    button->setIconSize(QSize(kGlyph, kGlyph));
    button->setToolTip(toolTip);
    return button;
}

} // namespace

AlignmentTab::AlignmentTab(PanelDesign &design, PanelArrange &arrange, QWidget *parent)
    : PanelTab("aligmnt_tab", tr("Alignment"), parent), m_design(design), m_arrange(arrange)
{
    QFormLayout *align = addSection(tr("Align"));
    Align_Left_btn = glyphButton("Align_Left_btn", glyph(edges), tr("Left edges"));
    Align_Right_btn = glyphButton("Align_Right_btn", glyph([](QPainter &p) { mirrored(p, edges); }), tr("Right edges"));
    Align_Top_btn = glyphButton("Align_Top_btn", glyph([](QPainter &p) { transposed(p, edges); }), tr("Top edges"));
    Align_Bottom_btn = glyphButton("Align_Bottom_btn", glyph([](QPainter &p) {
                                       p.setTransform(QTransform(1, 0, 0, -1, 0, kGlyph), true);
                                       transposed(p, edges);
                                   }),
                                   tr("Bottom edges"));
    Align_Horz_btn = glyphButton("Align_Horz_btn", glyph(centres), tr("Horizontal centres"));
    Align_Vert_btn = glyphButton("Align_Vert_btn", glyph([](QPainter &p) { transposed(p, centres); }),
                                 tr("Vertical centres"));
    Align_Center_btn = glyphButton("Align_Center_btn", glyph(onCard), tr("Centre on the card"));
    addRow(align, tr("Edges:"), sideBySide({Align_Left_btn, Align_Right_btn, Align_Top_btn, Align_Bottom_btn}));
    addRow(align, tr("Centres:"), sideBySide({Align_Horz_btn, Align_Vert_btn, Align_Center_btn}));
    auto *note = new QLabel(tr("Objects line up with the first one selected; a single object lines up with the card."));
    note->setWordWrap(true);
    note->setForegroundRole(QPalette::PlaceholderText);
    align->addRow(note);

    QFormLayout *size = addSection(tr("Size"));
    Make_same_width_btn = textButton("Make_same_width_btn", tr("Width"), glyph(sameWidth),
                                     tr("Give the selected objects the width of the first one"));
    Make_same_height_btn = textButton("Make_same_height_btn", tr("Height"), glyph(sameHeight),
                                      tr("Give the selected objects the height of the first one"));
    Make_natural_size_btn = textButton("Make_natural_size_btn", tr("Natural Size"), glyph(naturalSize),
                                       tr("Give each selected object its natural size"));
    addRow(size, tr("Same:"), sideBySide({Make_same_width_btn, Make_same_height_btn}));
    addRow(size, QString(), Make_natural_size_btn);

    QFormLayout *grid = addSection(tr("Grid"));
    Align_with_grid_btn = textButton("Align_with_grid_btn", tr("Align to Grid"), glyph(toGrid),
                                     tr("Move the selected objects onto the nearest grid lines"));
    Grid_Settings_btn = textButton("Grid_Settings_btn", tr("Grid…"), glyph(gridLines),
                                   tr("Show or hide the grid, its colour and spacing"));
    Grid_Snap_chk = checkBox("Grid_Snap_chk", tr("Snap to grid"));
    Grid_Snap_chk->setToolTip(tr("Objects moved or drawn keep to the grid"));
    addRow(grid, QString(), sideBySide({Align_with_grid_btn, Grid_Settings_btn}));
    addRow(grid, QString(), Grid_Snap_chk);
    finish();

    // The canvases and the grid enable these as the selection and the grid change.
    setMakeSameSizeButtonsEnabled(false);
    setAlignWithGridButtonEnabled(false);

    const struct {
        QAbstractButton *button;
        void (AlignmentTab::*action)(QObject *);
    } actions[] = {{Align_Left_btn, &AlignmentTab::Align_Left_Clicked},
                   {Align_Right_btn, &AlignmentTab::Align_Right_Clicked},
                   {Align_Top_btn, &AlignmentTab::Align_Top_Clicked},
                   {Align_Bottom_btn, &AlignmentTab::Align_Bottom_Clicked},
                   {Align_Horz_btn, &AlignmentTab::Align_Horz_Clicked},
                   {Align_Vert_btn, &AlignmentTab::Align_Vert_Clicked},
                   {Align_Center_btn, &AlignmentTab::Align_Center_Clicked},
                   {Make_same_width_btn, &AlignmentTab::Make_Same_Width_Clicked},
                   {Make_same_height_btn, &AlignmentTab::Make_Same_Height_Clicked},
                   {Make_natural_size_btn, &AlignmentTab::Make_Natural_Clicked},
                   {Align_with_grid_btn, &AlignmentTab::Align_To_Grid_Clicked},
                   {Grid_Settings_btn, &AlignmentTab::toggleGridShowing},
                   {Grid_Snap_chk, &AlignmentTab::toggleGridConstraining}};
    for (const auto &entry : actions) {
        QAbstractButton *button = entry.button;
        const auto action = entry.action;
        connect(button, &QAbstractButton::clicked, this, [this, button, action] { (this->*action)(button); });
    }
}

void AlignmentTab::arrange(PanelArrange::Operation operation)
{
    m_arrange.arrangeSelection(operation);
    m_design.Refresh_Canvas();
}

void AlignmentTab::Align_Center_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignFormCenter); }
void AlignmentTab::Align_Left_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignLeftEdges); }
void AlignmentTab::Align_Right_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignRightEdges); }
void AlignmentTab::Align_Top_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignTopEdges); }
void AlignmentTab::Align_Bottom_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignBottomEdges); }
void AlignmentTab::Align_Horz_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignHorizontalCenters); }
void AlignmentTab::Align_Vert_Clicked(QObject *) { arrange(PanelArrange::Operation::AlignVerticalCenters); }
void AlignmentTab::Make_Natural_Clicked(QObject *) { arrange(PanelArrange::Operation::MakeNaturalSize); }

void AlignmentTab::Make_Same_Width_Clicked(QObject *)
{
    if (m_design.selectedGraphics().size() < 2) {
        Show_MessageBox(kSelectMore);
        return;
    }
    arrange(PanelArrange::Operation::MakeSameWidth);
}

void AlignmentTab::Make_Same_Height_Clicked(QObject *)
{
    if (m_design.selectedGraphics().size() < 2) {
        Show_MessageBox(kSelectMore);
        return;
    }
    arrange(PanelArrange::Operation::MakeSameHeight);
}

void AlignmentTab::Align_To_Grid_Clicked(QObject *)
{
    if (!m_arrange.isGridAlwaysShown()) {
        Show_MessageBox(kUseGrid);
        return;
    }
    arrange(PanelArrange::Operation::AlignWithGrid);
}

void AlignmentTab::toggleGridConstraining(QObject *)
{
    m_arrange.toggleGridConstraining();
    Grid_Snap_chk->setChecked(m_arrange.isGridConstraining());
}

void AlignmentTab::toggleGridShowing(QObject *)
{
    m_arrange.toggleGridShowing();
}

void AlignmentTab::setMakeSameSizeButtonsEnabled(bool enabled)
{
    for (QPushButton *button : {Make_same_width_btn, Make_same_height_btn, Make_natural_size_btn})
        button->setEnabled(enabled);
}

void AlignmentTab::setAlignWithGridButtonEnabled(bool enabled)
{
    Align_with_grid_btn->setEnabled(enabled);
}

void AlignmentTab::showEvent(QShowEvent *event)
{
    Grid_Snap_chk->setChecked(m_arrange.isGridConstraining());
    PanelTab::showEvent(event);
}
