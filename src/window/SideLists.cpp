// The sides' object lists, where new objects are placed, the redraw of the current side, the canvas
// panel shown, the card-size panel's list table, and the drawing services the canvases call.

#include "window/SKTWindowController.h"

#include "canvas/CardFace.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/Side_Code.h"
#include "core/StringHelpers.h"
#include "document/SKTDocument.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "datasource/ui/ListDataTableModel.h"
#include "window/WindowState.h"

#include <QLayout>
#include <QMutexLocker>
#include <QPainter>
#include <QTableView>
#include <QThread>

#include <algorithm>
#include <exception>

// --- Lists -----------------------------------------------------------------------------------------

SKTGraphicList *SKTWindowController::Get_Front_Controls_Array() const
{
    return m_document ? &m_document->graphics() : nullptr;
}

SKTGraphicList *SKTWindowController::Get_Back_Controls_Array() const
{
    return m_document ? &m_document->graphics_back() : nullptr;
}

GraphicList SKTWindowController::Get_Temp_Controls_Array() const
{
    return m_document ? m_document->graphics_temp().items() : GraphicList();
}

int SKTWindowController::Get_Front_Control_Count() const
{
    return m_document ? m_document->graphics().count() : 0;
}

int SKTWindowController::Get_Back_Control_Count() const
{
    return m_document ? m_document->graphics_back().count() : 0;
}

int SKTWindowController::Get_Temp_Control_Count() const
{
    return m_document ? m_document->graphics_temp().count() : 0;
}

// --- Placement and redraw --------------------------------------------------------------------------

QPointF SKTWindowController::Control_New_Point(const QString &cardSide)
{
    AppState &app = App();
    if (!_graphicView) {
        Show_NSLog_Message(QStringLiteral("No canvas to place a new object on."));
        return QPointF(10, 10);
    }
    // Each new object steps further from the last one, by at least 20 points.
    const int count = Side_Code_Named(cardSide) == Side_Code::Front ? Get_Front_Control_Count() : Get_Back_Control_Count();
    const int step = std::max(count, 20);
    float x = app.last_ctrl_X + static_cast<float>(step);
    float y = app.last_ctrl_Y + static_cast<float>(step);
    const QRectF bounds = _graphicView->canvasBounds();
    if (x + 50.0f >= bounds.width())
        x = 10.0f;
    if (y + 50.0f >= bounds.height())
        y = 10.0f;
    app.last_ctrl_X = x;
    app.last_ctrl_Y = y;
    return QPointF(x, y);
}

void SKTWindowController::Refresh_Canvas()
{
    if (App().Card_Value_In_Process)
        return;
    // Drawing on a worker thread asks too: the GUI thread marks the canvas.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Refresh_Canvas(); }, Qt::QueuedConnection);
        return;
    }
    if (SKTGraphicView *canvas = currentCanvas())
        canvas->update();
}

QRectF SKTWindowController::frontCanvasBounds() const
{
    return _graphicView ? _graphicView->canvasBounds() : QRectF(QPointF(), SKTDocument::defaultCanvasSize);
}

void SKTWindowController::Card_Base_Drawing(QPainter &painter, const QRectF &cardRect)
{
    Log_Exceptions([&] {
        drawCardFace(painter, cardRect, App().Card_Front_Or_Back == 0 ? Front_card_Prop : Back_card_Prop,
                     App().Card_Shape, DrawingResources::ofProgram());
    });
}

QString SKTWindowController::Library_Selected_Image() const
{
    return Win().Library_Selected_Image;
}

QImage SKTWindowController::Main_Photo_image() const
{
    QMutexLocker lock(&m_mainPhotoMutex);
    return m_Main_Photo_image;
}

void SKTWindowController::setMain_Photo_image(const QImage &image, const StoredPictureBytes &bytes)
{
    const StoredPictureBytes stored = bytes.isNull() ? StoredPictureBytes::forPicture(image, {}, false) : bytes;
    QMutexLocker lock(&m_mainPhotoMutex);
    m_Main_Photo_image = image;
    m_Main_Photo_bytes = stored;
    // A photo given replaces one the design held but could not read.
    m_undecodedMainPhoto = QVariant();
}

// --- Panels ------------------------------------------------------------------------------------------

void SKTWindowController::changeViewController(int index)
{
    QWidget *panels[3] = {first_view, second_view, temp_design_view};
    if (index < 0 || index > 2 || !myTargetView || !panels[index])
        return;
    QWidget *chosen = panels[index];
    m_shownView = index;
    QLayout *host = myTargetView->layout();
    QWidget *shown = host->count() > 0 ? host->itemAt(0)->widget() : nullptr;
    if (shown == chosen)
        return;
    if (shown) {
        delete host->replaceWidget(shown, chosen); // the old item is ours to free
        shown->hide();
    } else {
        host->addWidget(chosen);
    }
    chosen->show();
}

// --- List table ----------------------------------------------------------------------------------------

void SKTWindowController::reloadListTable()
{
    if (auto *model = static_cast<ListDataTableModel *>(m_listModel))
        model->reloadData();
}

void SKTWindowController::Create_List(const QString &text)
{
    const QString trimmed = Trim_Str(text);
    if (trimmed.isEmpty())
        return;
    ListData.append(QVariantMap{{ListDataTableModel::kColumn, trimmed}});
    reloadListTable();
}

QString SKTWindowController::Get_Item_Text(int row) const
{
    if (!ListDataTableModel::containsRow(ListData, row)) {
        Show_NSLog_Message(QStringLiteral("Row %1 is outside the list of %2 rows.").arg(row).arg(ListData.size()));
        return QString(QLatin1String(""));
    }
    const QVariantMap &entry = ListData.at(row);
    const auto it = entry.find(ListDataTableModel::kColumn);
    return it == entry.end() ? QString() : it->toString();
}

void SKTWindowController::Mark_List_New_Selection(int row)
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->Mark_List_New_Selection(row);
}

void SKTWindowController::tableViewSelectionDidChange()
{
    if (Properties_Panel)
        Properties_Panel->cardPanel->tableViewSelectionDidChange();
}

int SKTWindowController::numberOfRowsInTableView(const QAbstractItemView *table) const
{
    return table && card_setting_tab && table == card_setting_tab->ColList ? static_cast<int>(ListData.size()) : 0;
}

QVariant SKTWindowController::tableView_objectValueForTableColumn_row(const QAbstractItemView *table,
                                                                      const QString &column, int row) const
{
    return table && card_setting_tab && table == card_setting_tab->ColList ? ListDataTableModel::valueInRows(ListData, column, row) : QVariant();
}

void SKTWindowController::tableView_setObjectValue_forTableColumn_row(const QAbstractItemView *table,
                                                                      const QVariant &value,
                                                                      const QString &column, int row)
{
    if (!table || !card_setting_tab || table != card_setting_tab->ColList)
        return;
    if (row < 0 || row >= ListData.size()) {
        Show_NSLog_Message(QStringLiteral("Invalid parameter not satisfying: %1")
                               .arg(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]")));
        return;
    }
    ListData[row].insert(column, value);
}
