#include "canvas/ui/RulerView.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "canvas/ui/SWCenteringClipView.h"

#include "core/AppState.h"
#include "fixtures/TestSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A scroll view showing a 243 x 154 point card in a visible area of exactly `visible` pixels.
struct CardInView {
    SKTZoomingScrollView view;
    QWidget *card = new QWidget;

    explicit CardInView(QSize visible = {500, 400}, bool opaqueCard = false)
    {
        if (opaqueCard) {
            card->setAutoFillBackground(true);
            QPalette palette = card->palette();
            palette.setColor(QPalette::Window, Qt::white);
            card->setPalette(palette);
        }
        card->resize(243, 154);
        view.setDocumentView(card);
        view.show();
        setVisibleSize(visible);
    }
    void setVisibleSize(QSize visible)
    {
        for (int i = 0; i < 2; ++i) {
            view.resize(visible + (view.size() - view.viewport()->size()));
            QCoreApplication::processEvents();
        }
    }
    QPointF boundsOrigin() const { return view.clipView()->bounds().topLeft(); }
    QImage picture() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

class ZoomingScrollViewTest : public ::testing::Test {
protected:
    AppFixture app;
};

int grey(const QImage &image, QPoint at)
{
    return qGray(image.pixel(at));
}

} // namespace

TEST_F(ZoomingScrollViewTest, PopUpListsTheElevenFactorsWithTheSinglePrecisionTenPercent)
{
    SKTZoomingScrollView view;
    QComboBox *popUp = view.factorPopUpButton();
    ASSERT_NE(popUp, nullptr);
    const QStringList labels{"10%", "25%", "50%", "75%", "100%", "125%", "150%", "200%", "400%", "800%", "1600%"};
    const double factors[] = {0.10000000149011612, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0, 8.0, 16.0};
    ASSERT_EQ(popUp->count(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(popUp->itemText(i), labels[i]);
        EXPECT_EQ(popUp->itemData(i).toDouble(), factors[i]) << i;
    }
    EXPECT_EQ(popUp->currentText(), "100%");

    // Matching is by equality with the stored values: the double 0.1 has no item.
    view.setFactor(0.1);
    EXPECT_EQ(popUp->currentIndex(), -1);
    view.setFactor(static_cast<double>(0.1f));
    EXPECT_EQ(popUp->currentText(), "10%");
}

TEST_F(ZoomingScrollViewTest, ChoosingAnItemZoomsEveryViewKeptInStep)
{
    // The design window keeps one zoom for the front, back and temp views.
    SKTZoomingScrollView front, back, temp;
    QList<double> windowZoom;
    for (SKTZoomingScrollView *view : {&front, &back, &temp}) {
        QObject::connect(view, &SKTZoomingScrollView::factorChanged, [&](double f) {
            windowZoom << f;
            front.setFactor(f);
            back.setFactor(f);
            temp.setFactor(f);
        });
    }
    QList<double> canvasHeard;
    QObject::connect(&back, &SKTZoomingScrollView::zoomFactorChanged, [&](double f) { canvasHeard << f; });

    QComboBox *popUp = front.factorPopUpButton();
    popUp->setCurrentIndex(7);
    emit popUp->activated(7);

    EXPECT_EQ(windowZoom.value(0), 2.0);
    EXPECT_EQ(canvasHeard, QList<double>{2.0});
    for (SKTZoomingScrollView *view : {&front, &back, &temp}) {
        EXPECT_EQ(view->factor(), 2.0);
        EXPECT_EQ(view->factorPopUpButton()->currentText(), "200%");
    }
}

TEST_F(ZoomingScrollViewTest, UnusableFactorsAreIgnored)
{
    CardInView v;
    for (double bad : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        v.view.setFactor(bad);
    EXPECT_EQ(v.view.factor(), 1.0);
    EXPECT_EQ(v.card->size(), QSize(243, 154));
}

TEST(CenteringArithmetic, CentresEachAxisWhereTheVisibleAreaIsLarger)
{
    const QRectF card(0, 0, 243, 154);
    // (243 - 500) / 2 = -128.5 rounds away from zero.
    EXPECT_EQ(SWCenteringClipView::centeredOrigin(card, QRectF(0, 0, 500, 400)), QPointF(-129, -123));
    // Wide and short: only the horizontal axis is centred, the vertical keeps its origin.
    EXPECT_EQ(SWCenteringClipView::centeredOrigin(card, QRectF(7, 20, 1000, 100)), QPointF(-379, 20));
    EXPECT_EQ(SWCenteringClipView::centeredOrigin(card, QRectF(30, 7, 100, 600)), QPointF(30, -223));
    // Equal extents count as "not larger".
    EXPECT_EQ(SWCenteringClipView::centeredOrigin(card, QRectF(5, 6, 243, 154)), QPointF(5, 6));
}

TEST(CenteringArithmetic, ConstrainingClampsToTheDocumentAndRoundsHalvesAway)
{
    const QRectF card(0, 0, 243, 154);
    const QRectF zoom4(0, 0, 125, 100); // 500 x 400 pixels at 400 %
    EXPECT_EQ(SWCenteringClipView::constrainScrollPoint({500, 500}, card, zoom4), QPointF(118, 54));
    EXPECT_EQ(SWCenteringClipView::constrainScrollPoint({-5, -5}, card, zoom4), QPointF(0, 0));
    EXPECT_EQ(SWCenteringClipView::constrainScrollPoint({10.5, 20.4}, card, zoom4), QPointF(11, 20));
    // Where the visible area is larger, any point gives the centred origin.
    EXPECT_EQ(SWCenteringClipView::constrainScrollPoint({40, 40}, card, QRectF(0, 0, 500, 400)),
              QPointF(-129, -123));
    // No document: a zero frame, centred in the middle of the visible area.
    EXPECT_EQ(SWCenteringClipView::constrainScrollPoint({3, 3}, QRectF(), QRectF(0, 0, 100, 50)),
              QPointF(-50, -25));
}

TEST_F(ZoomingScrollViewTest, SmallCardSitsCentredInTheVisibleArea)
{
    CardInView v;
    ASSERT_EQ(v.view.viewport()->size(), QSize(500, 400));
    EXPECT_EQ(v.boundsOrigin(), QPointF(-129, -123));
    EXPECT_EQ(v.card->geometry(), QRect(129, 123, 243, 154));
    EXPECT_EQ(v.view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(v.view.verticalScrollBar()->maximum(), 0);

    // A wide, short area centres only across.
    v.setVisibleSize({800, 100});
    EXPECT_EQ(v.boundsOrigin(), QPointF(-279, 0));
    EXPECT_EQ(v.view.verticalScrollBar()->maximum(), 54);
}

TEST_F(ZoomingScrollViewTest, ZoomScalesTheDocumentAndClampsScrolling)
{
    CardInView v;
    v.view.setFactor(2.0);
    EXPECT_EQ(v.card->size(), QSize(486, 308));
    EXPECT_EQ(v.view.zoomFactor(), 2.0);

    // The point at the centre of the view stays there: the card's centre, (121.5, 77).
    v.view.setFactor(4.0);
    EXPECT_EQ(v.view.clipView()->bounds().size(), QSizeF(125, 100));
    EXPECT_EQ(v.boundsOrigin(), QPointF(59, 27));
    v.view.horizontalScrollBar()->setValue(0);
    v.view.verticalScrollBar()->setValue(0);
    EXPECT_EQ(v.view.horizontalScrollBar()->maximum(), 118 * 4);
    EXPECT_EQ(v.view.verticalScrollBar()->maximum(), 54 * 4);

    v.view.horizontalScrollBar()->setValue(v.view.horizontalScrollBar()->maximum());
    v.view.verticalScrollBar()->setValue(v.view.verticalScrollBar()->maximum());
    EXPECT_EQ(v.boundsOrigin(), QPointF(118, 54));
    EXPECT_EQ(v.card->pos(), QPoint(-472, -216));

    // Scrolling is in whole points whatever the pixel the bar lands on.
    v.view.horizontalScrollBar()->setValue(41);
    EXPECT_EQ(v.boundsOrigin().x(), 10);
    EXPECT_EQ(v.card->x(), -40);

    // Back to 100 %: the card fits again and is re-centred.
    v.view.setFactor(1.0);
    EXPECT_EQ(v.boundsOrigin(), QPointF(-129, -123));
    EXPECT_EQ(v.card->geometry(), QRect(129, 123, 243, 154));

    // Anywhere on a card larger than the view, the centre stays within the half point that
    // whole-point scrolling allows.
    v.view.setFactor(4.0);
    v.view.horizontalScrollBar()->setValue(100 * 4);
    v.view.verticalScrollBar()->setValue(20 * 4);
    for (double factor : {8.0, 5.0, 16.0}) {
        const QPointF centre = v.view.clipView()->bounds().center();
        v.view.setFactor(factor);
        EXPECT_NEAR(v.view.clipView()->bounds().center().x(), centre.x(), 0.5) << factor;
        EXPECT_NEAR(v.view.clipView()->bounds().center().y(), centre.y(), 0.5) << factor;
    }
}

TEST_F(ZoomingScrollViewTest, DocumentSizeChangesInPointsFollowTheZoom)
{
    CardInView v;
    v.view.setFactor(2.0);
    v.view.setDocumentSize({300, 200});
    EXPECT_EQ(v.card->size(), QSize(600, 400));
    EXPECT_EQ(v.boundsOrigin(), QPointF(0, 0));
    EXPECT_EQ(v.view.horizontalScrollBar()->maximum(), 100);
    EXPECT_EQ(SKTZoomingScrollView::enclosingScrollView(v.card), &v.view);

    // A canvas that scales itself is followed: 350 x 150 points at 200 %.
    v.card->setFixedSize(700, 300);
    EXPECT_EQ(v.view.documentSize(), QSizeF(350, 150));
    EXPECT_EQ(v.boundsOrigin(), QPointF(0, -25));
    EXPECT_EQ(v.card->pos(), QPoint(0, 50));
}

TEST_F(ZoomingScrollViewTest, RulersTakeTheirRoomAndMeasureFromTheCardCorner)
{
    CardInView v;
    EXPECT_FALSE(v.view.rulersVisible());
    EXPECT_FALSE(v.view.horizontalRuler()->isVisible());

    v.view.toggleRulers();
    QCoreApplication::processEvents();
    ASSERT_TRUE(v.view.horizontalRuler()->isVisible());
    const int t = RulerView::Thickness;
    EXPECT_EQ(v.view.viewport()->size(), QSize(500 - t, 400 - t));
    EXPECT_EQ(v.view.horizontalRuler()->geometry().bottom() + 1, v.view.viewport()->geometry().top());
    EXPECT_EQ(v.view.verticalRuler()->geometry().right() + 1, v.view.viewport()->geometry().left());

    v.view.setFactor(2.0);
    const QRect card = v.card->geometry();
    EXPECT_EQ(v.view.horizontalRuler()->positionForLocation(0), card.left());
    EXPECT_EQ(v.view.horizontalRuler()->positionForLocation(10), card.left() + 20);
    EXPECT_EQ(v.view.verticalRuler()->positionForLocation(154), card.bottom() + 1);

    v.view.toggleRulers();
    EXPECT_EQ(v.view.viewport()->size(), QSize(500, 400));
    EXPECT_FALSE(v.view.verticalRuler()->isVisible());
}

TEST_F(ZoomingScrollViewTest, RulerMarksThinOutWhenZoomedOut)
{
    EXPECT_EQ(RulerView::markStep(1.0), 10);
    EXPECT_GE(RulerView::markStep(0.1) * 0.1, 4.0);
    for (double f : {0.1, 0.5, 1.0, 4.0, 16.0}) {
        const double labels = RulerView::labelStep(f, 25);
        EXPECT_GE(labels * f, 25) << f;
        EXPECT_EQ(std::fmod(labels, RulerView::markStep(f)), 0.0) << f;
    }
}

TEST_F(ZoomingScrollViewTest, MovesAreEchoedAtEdgesAndCentreOnBothRulers)
{
    SKTZoomingScrollView view;
    const auto lines = [](RulerView *ruler) {
        QList<double> l = ruler->rulerlineLocations();
        std::sort(l.begin(), l.end());
        return l;
    };
    view.echoOnRulers(QRectF(10, 20, 40, 30));
    EXPECT_EQ(lines(view.horizontalRuler()), (QList<double>{10, 30, 50}));
    EXPECT_EQ(lines(view.verticalRuler()), (QList<double>{20, 35, 50}));
    view.echoOnRulers(QRectF(12, 20, 40, 30));
    EXPECT_EQ(lines(view.horizontalRuler()), (QList<double>{12, 32, 52}));
    EXPECT_EQ(lines(view.verticalRuler()), (QList<double>{20, 35, 50}));
    view.echoOnRulers(QRectF());
    EXPECT_TRUE(view.horizontalRuler()->rulerlineLocations().isEmpty());
    EXPECT_TRUE(view.verticalRuler()->rulerlineLocations().isEmpty());
}

TEST_F(ZoomingScrollViewTest, BackdropShadowAndCardShape)
{
    CardInView v;
    QImage image = v.picture();
    const QRect card = v.card->geometry().translated(v.view.viewport()->pos());
    // Backdrop: lighter at the top than at the bottom.
    EXPECT_NEAR(grey(image, {5, 2}), 224, 3);
    EXPECT_NEAR(grey(image, {5, v.view.viewport()->height() - 2}), 199, 3);
    // Shadow below and to the right, none far away.
    const int farAway = grey(image, {card.right() + 40, card.bottom() - 1});
    EXPECT_LT(grey(image, card.bottomRight() + QPoint(3, 3)), farAway - 40);
    EXPECT_LT(grey(image, {card.center().x(), card.bottom() + 3}), farAway - 40);
    EXPECT_EQ(grey(image, card.topLeft() + QPoint(1, 1)), 255);

    App().Card_Shape = 2;
    v.view.viewport()->update();
    image = v.picture();
    EXPECT_EQ(grey(image, card.center()), 255);
    EXPECT_LT(grey(image, card.topLeft() + QPoint(4, 4)), 240); // backdrop in the oval's corner

    App().Card_Shape = 1;
    v.view.viewport()->update();
    image = v.picture();
    EXPECT_LT(grey(image, card.topLeft()), 240);
    EXPECT_EQ(grey(image, card.topLeft() + QPoint(4, 4)), 255); // radius 10 leaves this inside
}

TEST_F(ZoomingScrollViewTest, WholeViewForALook)
{
    CardInView v({560, 420}, true);
    v.view.setRulersVisible(true);
    QCoreApplication::processEvents();
    v.view.horizontalRuler()->moveRulerline(RulerView::NoRulerline, 100);
    ASSERT_TRUE(v.view.grab().save(testOutputPath("zoom_view.png")));

    App().Card_Shape = 2;
    CardInView oval({560, 420});
    oval.view.setRulersVisible(true);
    oval.view.setFactor(1.5);
    QCoreApplication::processEvents();
    ASSERT_TRUE(oval.view.grab().save(testOutputPath("zoom_view_oval.png")));
}
