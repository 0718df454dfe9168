#pragma once

#include "canvas/SKTGrid.h"
#include "core/DesignWindowHub.h"
#include "document/Card_Property.h"
#include "document/SKTDocument.h"

#include <QMainWindow>

class QTabWidget;
class SKTGraphicView;
class SKTZoomingScrollView;

// Until the design window exists, the program opens this window: the three canvases of one
// document (front, back, temp) sharing one grid and one zoom, with the shape tools.
class SampleWindow : public QMainWindow, public DesignWindowHub {
public:
    SampleWindow();
    ~SampleWindow() override;

    void Refresh_Canvas() override;
    QPointF Control_New_Point(const QString &cardSide) override;
    QRectF frontCanvasBounds() const override;
    void setAlignWithGridButtonEnabled(bool) override {}
    void Card_Base_Drawing(QPainter &painter, const QRectF &cardRect) override;
    void Show_RHS_Properties(SKTGraphic *graphic) override;
    int Selected_Control_Tool() const override { return m_tool; }
    QString Library_Selected_Image() const override { return QString(); }
    QImage no_image() const override { return m_noImage; }
    QImage barcode_sample_img() const override { return QImage(); }
    QImage sign_sample_img() const override { return QImage(); }
    QImage fp_sample_img() const override { return QImage(); }
    void setMakeSameSizeButtonsEnabled(bool) override {}
    void Open_Barcode_Window() override {}

private:
    SKTGraphicView *currentCanvas() const;
    void buildToolBar();
    void addSampleShapes();

    SKTDocument m_document;
    SKTGrid m_grid;
    Card_Property m_front;
    Card_Property m_back;
    QImage m_noImage;
    int m_tool = 0;
    QAction *m_arrowAction = nullptr;
    QTabWidget *m_tabs = nullptr;
    SKTGraphicView *m_canvases[3] = {};
    SKTZoomingScrollView *m_scrollViews[3] = {};
};
