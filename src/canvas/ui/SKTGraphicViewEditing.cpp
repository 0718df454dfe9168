// The edit commands of a canvas: clipboard, delete, order, alignment and sizing, undo and redo, and
// the helpers other parts use to clear a side or hide its profile objects.

#include "canvas/ui/SKTGraphicView.h"

#include "canvas/SKTGrid.h"
#include "canvas/SKTRenderingView.h"
#include "canvas/ui/InputShield.h"
#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/MessageBoxes.h"
#include "document/DesignFile.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "platform/Pasteboard.h"
#include "platform/PictureReading.h"
#include "platform/UiServices.h"
#include "document/ControlTags.h"

#include <QFileInfo>

const QString SKTGraphicView::SKTGraphicViewPasteboardType = QStringLiteral("ZOLT Card Graphics pasteboard type");

namespace {

const QString kLockedMessage = QStringLiteral("Selected control is locked.");
const QString kNoCopyMessage =
    QStringLiteral("You cannot copy main photo. Please use 'Edit Main Photo' in toolbar to edit your photo.");
const QString kNoDeleteMessage =
    QStringLiteral("You cannot delete main photo. Please use 'Edit Main Photo' in toolbar to edit your photo.");

DesignWindowHub *hub()
{
    return App().Main_App_wnd;
}

void updateUndoButtons()
{
    if (DesignWindowHub *window = hub())
        window->Undo_Redo_Button_state();
}

bool isTextOrPicture(const SKTGraphic &graphic)
{
    return graphic.kind() == SKTGraphic::Kind::Text || graphic.kind() == SKTGraphic::Kind::Image;
}

} // namespace

bool SKTGraphicView::There_Is_Any_Lock_Contrl() const
{
    const GraphicList selected = selectedGraphics();
    return std::any_of(selected.cbegin(), selected.cend(), [](const SKTGraphicPtr &g) { return g->ctrl_is_locked; });
}

bool SKTGraphicView::There_Is_Frame_Pic_Or_Frame_Photo() const
{
    const GraphicList selected = selectedGraphics();
    return std::any_of(selected.cbegin(), selected.cend(), [](const SKTGraphicPtr &g) {
        return isInvitationPicture(*g);
    });
}

bool SKTGraphicView::refuseEdit(const QString &photoMessage) const
{
    if (There_Is_Any_Lock_Contrl()) {
        Show_MessageBox(kLockedMessage);
        return true;
    }
    if (!photoMessage.isEmpty() && There_Is_Frame_Pic_Or_Frame_Photo()) {
        Show_MessageBox(photoMessage);
        return true;
    }
    return false;
}

// --- Clipboard -------------------------------------------------------------------------------

void SKTGraphicView::copy()
{
    if (refuseEdit(kNoCopyMessage))
        return;
    const GraphicList selected = selectedGraphics();
    platform::Pasteboard &pasteboard = platform::generalPasteboard();
    // Other programs take the selection as a picture; the card face belongs to the front side.
    const QRectF frame = canvasBounds();
    Card_Property face;
    face.setCard_Size(frame.size());
    pasteboard.writeItems(
        {{SKTGraphicViewPasteboardType, SKTGraphic::pasteboardDataWithGraphics(selected)},
         {SKTRenderingView::PDFType, SKTRenderingView::pdfDataWithGraphics_data(selected, face, 0, frame)},
         {SKTRenderingView::TIFFType, SKTRenderingView::tiffDataWithGraphics(selected, frame)}});
    _pasteboardChangeCount = pasteboard.changeCount();
    _pasteCascadeNumber = 1;
    if (DesignWindowHub *window = hub())
        window->Set_Paste_Button_Status();
}

void SKTGraphicView::cut()
{
    if (refuseEdit(kNoDeleteMessage))
        return;
    copy();
    delete_();
    updateUndoButtons();
}

void SKTGraphicView::paste()
{
    platform::Pasteboard &pasteboard = platform::generalPasteboard();
    const QStringList types = pasteboard.types();
    if (types.contains(SKTGraphicViewPasteboardType)) {
        SKTError error;
        const std::optional<GraphicList> graphics = SKTGraphic::graphicsWithPasteboardData(
            pasteboard.dataForType(SKTGraphicViewPasteboardType), &error, designRoom());
        if (!graphics) {
            platform::uiServices().showMessage(error.localizedDescription + QLatin1Char('\n') + error.localizedFailureReason);
            return;
        }
        if (pasteboard.changeCount() != _pasteboardChangeCount) {
            _pasteboardChangeCount = pasteboard.changeCount();
            _pasteCascadeNumber = 0;
        }
        if (graphics->isEmpty())
            return;
        if (_pasteCascadeNumber > 0) {
            const QString side = currentCardSideCode();
            const QPointF point = hub() ? hub()->Control_New_Point(side) : QPointF();
            SKTGraphic::Paste_Location_Of_Graphics(*graphics, point.x(), point.y(), side);
        }
        ++_pasteCascadeNumber;
        const platform::IndexSet indexes = platform::IndexSet::range(0, int(graphics->size()));
        insertGraphics(*graphics, indexes);
        changeSelectionIndexes(indexes);
        updateUndoButtons();
        return;
    }
    if (!pasteboard.fileNames().isEmpty())
        return; // file names are offered but not taken
    makeNewImageFromPasteboard(QPointF(50, 50));
}

bool SKTGraphicView::makeNewImageFromPasteboard(const QPointF &point)
{
    QString problem;
    // The pasteboard is the GUI thread's: its bytes are taken here, and a large picture is decoded
    // on a worker while the window paints, what the user does to it meanwhile dropped.
    const auto read = [this](const QByteArray &bytes, QString *why) {
        platform::PictureReading how;
        how.problem = why;
        return InputShield::readPicture(window(), DesignFile::workOfPicture(bytes),
                                        [&] { return platform::readPicture(bytes, how); }, why);
    };
    const QImage picture = platform::generalPasteboard().image(&problem, read);
    if (picture.isNull()) {
        // A picture offered but not read is said; none offered pastes nothing.
        if (!problem.isEmpty())
            platform::uiServices().showMessage(QStringLiteral("The picture cannot be pasted: %1.").arg(problem));
        return false;
    }
    insertPicture(picture, QPointF(point.x(), point.y() - picture.height()));
    return true;
}

DesignFile::DesignLoad SKTGraphicView::designRoom() const
{
    DesignFile::DesignLoad held = m_document ? m_document->designLoad() : DesignFile::DesignLoad{};
    if (const DesignWindowHub *window = hub()) {
        const QImage photo = window->Main_Photo_image();
        held.pixels += qint64(photo.width()) * photo.height();
    }
    return DesignFile::roomBeside(held);
}

bool SKTGraphicView::roomFor(qsizetype objects, qint64 pixels, const QString &refusal) const
{
    const DesignFile::DesignLoad room = designRoom();
    if (objects <= room.objects && pixels <= room.pixels)
        return true;
    platform::uiServices().showMessage(
        refusal + QLatin1Char('\n') +
        (objects > room.objects ? DesignFile::tooManyObjectsReason(objects, DesignFile::kMaxDesignObjects - room.objects)
                                : DesignFile::tooManyPixelsReason()));
    return false;
}

void SKTGraphicView::insertPicture(const QImage &picture, const QPointF &centre)
{
    if (!roomFor(1, qint64(picture.width()) * picture.height(), QStringLiteral("The picture cannot be added.")))
        return;
    insertGraphics({std::make_shared<SKTImage>(centre, picture)}, {0});
    changeSelectionIndexes({0});
}

// --- Delete, select, order ---------------------------------------------------------------------

void SKTGraphicView::delete_()
{
    if (refuseEdit(kNoDeleteMessage))
        return;
    removeGraphicsAtIndexes(selectionIndexes());
    updateUndoButtons();
    if (DesignWindowHub *window = hub())
        window->Show_RHS_Properties(nullptr);
}

void SKTGraphicView::selectAll()
{
    changeSelectionIndexes(platform::IndexSet::range(0, m_graphics.count()));
}

void SKTGraphicView::deselectAll()
{
    changeSelectionIndexes({});
}

void SKTGraphicView::bringToFront()
{
    if (refuseEdit(QString()) || There_Is_Frame_Pic_Or_Frame_Photo())
        return;
    moveSelectionToEnd(true);
}

void SKTGraphicView::sendToBack()
{
    if (refuseEdit(QString()))
        return;
    moveSelectionToEnd(false);
}

void SKTGraphicView::moveSelectionToEnd(bool front)
{
    const platform::IndexSet indexes = selectionIndexes();
    if (indexes.isEmpty())
        return;
    const GraphicList moving = m_graphics.objectsAtIndexes(indexes);
    removeGraphicsAtIndexes(indexes);
    const platform::IndexSet target =
        platform::IndexSet::range(front ? 0 : m_graphics.count(), int(moving.size()));
    insertGraphics(moving, target);
    changeSelectionIndexes(target);
    updateUndoButtons();
}

// --- Alignment and size ------------------------------------------------------------------------

void SKTGraphicView::alignSelection(const std::function<QPointF(const QRectF &, const QRectF &)> &toOrigin)
{
    const GraphicList selected = selectedGraphics();
    if (selected.isEmpty())
        return;
    if (selected.size() == 1) {
        // One object lines up with the card itself.
        const SKTGraphicPtr &only = selected.first();
        if (only->ctrl_is_locked)
            return;
        only->setBounds(QRectF(toOrigin(canvasBounds(), only->bounds()), only->bounds().size()));
    } else {
        const QRectF reference = selected.first()->bounds();
        for (qsizetype i = 1; i < selected.size(); ++i) {
            const SKTGraphicPtr &graphic = selected.at(i);
            const QPointF origin = toOrigin(reference, graphic->bounds());
            if (!graphic->ctrl_is_locked && origin != graphic->bounds().topLeft())
                graphic->setBounds(QRectF(origin, graphic->bounds().size()));
        }
    }
    updateUndoButtons();
}

void SKTGraphicView::alignLeftEdges()
{
    alignSelection([](const QRectF &r, const QRectF &b) { return QPointF(r.x(), b.y()); });
}

void SKTGraphicView::alignRightEdges()
{
    alignSelection([](const QRectF &r, const QRectF &b) { return QPointF(r.x() + r.width() - b.width(), b.y()); });
}

void SKTGraphicView::alignTopEdges()
{
    alignSelection([](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.y()); });
}

void SKTGraphicView::alignBottomEdges()
{
    alignSelection([](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.y() + r.height() - b.height()); });
}

void SKTGraphicView::alignHorizontalCenters()
{
    alignSelection(
        [](const QRectF &r, const QRectF &b) { return QPointF(r.x() + 0.5 * r.width() - b.width() / 2, b.y()); });
}

void SKTGraphicView::alignVerticalCenters()
{
    alignSelection(
        [](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.y() + 0.5 * r.height() - b.height() / 2); });
}

void SKTGraphicView::alignformCenter()
{
    const QSizeF card = canvasSize();
    for (const SKTGraphicPtr &graphic : selectedGraphics()) {
        if (graphic->ctrl_is_locked)
            continue;
        const QSizeF size = graphic->bounds().size();
        graphic->setBounds(QRectF(QPointF(card.width() / 2 - size.width() / 2, card.height() / 2 - size.height() / 2), size));
    }
    updateUndoButtons();
}

void SKTGraphicView::alignWithGrid()
{
    if (!_grid || !_grid->canAlign())
        return;
    for (const SKTGraphicPtr &graphic : selectedGraphics())
        if (!graphic->ctrl_is_locked)
            graphic->setBounds(_grid->alignedRect(graphic->bounds()));
    updateUndoButtons();
}

void SKTGraphicView::makeSameSize(bool width)
{
    const GraphicList selected = selectedGraphics();
    if (selected.size() < 2)
        return;
    const QSizeF first = selected.first()->bounds().size();
    for (qsizetype i = 1; i < selected.size(); ++i) {
        const SKTGraphicPtr &graphic = selected.at(i);
        QRectF bounds = graphic->bounds();
        if (graphic->ctrl_is_locked || (width ? bounds.width() == first.width() : bounds.height() == first.height()))
            continue;
        if (width)
            bounds.setWidth(first.width());
        else
            bounds.setHeight(first.height());
        graphic->setBounds(bounds);
    }
    updateUndoButtons();
}

void SKTGraphicView::makeSameWidth()
{
    makeSameSize(true);
}

void SKTGraphicView::makeSameHeight()
{
    makeSameSize(false);
}

void SKTGraphicView::makeNaturalSize()
{
    // Locked objects are never resized, whatever their kind.
    for (const SKTGraphicPtr &graphic : selectedGraphics())
        if (!graphic->ctrl_is_locked)
            graphic->makeNaturalSize();
    updateUndoButtons();
}

void SKTGraphicView::print_contol_or_not(int value)
{
    for (const SKTGraphicPtr &graphic : selectedGraphics())
        if (!graphic->ctrl_is_locked)
            graphic->print_object = value;
}

// --- Undo and redo -------------------------------------------------------------------------------

void SKTGraphicView::undo()
{
    replay(true);
}

void SKTGraphicView::redo()
{
    replay(false);
}

void SKTGraphicView::replay(bool undoing)
{
    if (!m_document)
        return;
    _undoSelectionIndexes = platform::IndexSet();
    const DesignFile::DesignLoad before = designRoom();
    if (undoing)
        m_document->undoManager().undo();
    else
        m_document->undoManager().redo();
    // Objects coming back may no longer fit: the back side, which keeps no undo, may have filled
    // the design meanwhile. The step is taken back, so that the design can still be saved whole.
    const DesignFile::DesignLoad room = designRoom();
    if ((room.objects < 0 && room.objects < before.objects) || (room.pixels < 0 && room.pixels < before.pixels)) {
        if (undoing)
            m_document->undoManager().redo();
        else
            m_document->undoManager().undo();
        _undoSelectionIndexes.reset();
        platform::uiServices().showMessage(
            (undoing ? tr("This cannot be undone.") : tr("This cannot be redone.")) + QLatin1Char('\n') +
            (room.objects < 0 ? DesignFile::tooManyObjectsReason(before.objects - room.objects,
                                                                  DesignFile::kMaxDesignObjects - before.objects)
                              : DesignFile::tooManyPixelsReason()));
        return;
    }
    platform::IndexSet changed = std::move(*_undoSelectionIndexes);
    _undoSelectionIndexes.reset();
    // Positions recorded mid-replay may have moved on since; keep those still in the list.
    platform::IndexSet valid;
    for (int index : changed)
        if (index < m_graphics.count())
            valid.add(index);
    if (!valid.isEmpty())
        changeSelectionIndexes(valid);
    // Undo gives back the objects it took and nothing else: the card face is not the list's, and
    // the panel's values written into it would change what no step changed.
    if (DesignWindowHub *window = hub())
        window->Undo_Redo_Button_state();
}

void SKTGraphicView::noteUndoChange(const SKTGraphic *graphic)
{
    if (!_undoSelectionIndexes)
        return;
    const int index = m_graphics.indexOf(graphic);
    if (index >= 0)
        _undoSelectionIndexes->add(index);
}

bool SKTGraphicView::Get_Menu_Status(Command command) const
{
    switch (command) {
    case Command::Undo:
        return m_document && m_document->undoManager().canUndo();
    case Command::Redo:
        return m_document && m_document->undoManager().canRedo();
    default:
        return true;
    }
}

bool SKTGraphicView::validateMenuItem(Command command) const
{
    const GraphicList selected = selectedGraphics();
    switch (command) {
    case Command::MakeNaturalSize:
        return std::any_of(selected.cbegin(), selected.cend(),
                           [](const SKTGraphicPtr &g) { return g->canMakeNaturalSize(); });
    case Command::AlignWithGrid:
        return _grid && _grid->canAlign() && !selected.isEmpty();
    case Command::Delete:
    case Command::BringToFront:
    case Command::SendToBack:
    case Command::Cut:
    case Command::Copy:
        return !selected.isEmpty();
    case Command::AlignLeftEdges:
    case Command::AlignRightEdges:
    case Command::AlignTopEdges:
    case Command::AlignBottomEdges:
    case Command::AlignHorizontalCenters:
    case Command::AlignVerticalCenters:
    case Command::MakeSameWidth:
    case Command::MakeSameHeight:
        return selected.size() > 1;
    case Command::Undo:
    case Command::Redo:
        return Get_Menu_Status(command);
    default:
        return true;
    }
}

// --- Side-wide helpers -----------------------------------------------------------------------------

void SKTGraphicView::delete_all_control()
{
    removeGraphicsAtIndexes(platform::IndexSet::range(0, m_graphics.count()));
}

void SKTGraphicView::Hide_all_Text_control_FUP_Control()
{
    for (int i = m_graphics.count() - 1; i >= 0; --i) {
        const SKTGraphicPtr &graphic = m_graphics.at(i);
        if (isTextOrPicture(*graphic) && isProfileObject(*graphic))
            graphic->Set_Ctrl_Is_Visible(false);
    }
    update();
}

void SKTGraphicView::delete_all_Text_control()
{
    // Every text and picture goes, the front-most one included.
    platform::IndexSet doomed;
    for (int i = m_graphics.count() - 1; i >= 0; --i)
        if (isTextOrPicture(*m_graphics.at(i)))
            doomed.add(i);
    removeGraphicsAtIndexes(doomed);
}
