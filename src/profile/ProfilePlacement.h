#pragma once

#include "document/SKTGraphic.h"
#include "platform/IndexSet.h"
#include "platform/UndoManager.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <limits>

class SKTGraphicList;
class SKTGrid;
class User_Profile_Class;

// Where each profile field goes on a card that has no object for it yet, in canvas points, for a
// landscape and for a portrait card. The rectangles fit the smallest card of each orientation the
// size presets offer, and are used as they stand on larger cards (not scaled).
struct Profile_Layout_Entry {
    const char *tag; // "Fup_Name" …, in the fields' order
    QRectF landscape;
    QRectF portrait;
    double pointSize; // of a new text object; the photo has none
};
const std::array<Profile_Layout_Entry, 11> &Profile_Layout_Table();

// The rectangle for a new object tagged `tag`: the landscape set when the front card is at least as
// wide as it is tall (a square or empty size too), else the portrait set; the empty rectangle at
// the origin for a tag that is no profile tag.
QRectF Get_Control_Rect_From_Template(const QString &tag, const QSizeF &frontCardSize);

// The profile objects of a side: a text or picture object, exactly, carrying a profile tag.
bool isPlacedProfileObject(const SKTGraphic &graphic);
// The top-most text or picture object tagged `tag` (visible or not); null when there is none.
SKTGraphicPtr Selcect_Ctrl_With_ID(const SKTGraphicList &list, const QString &tag);
// Hides every profile object of the list; nothing else is touched.
void Hide_all_Text_control_FUP_Control(SKTGraphicList &list);

// The side a profile is placed on, and what the placement takes from the design window.
struct Profile_Side_Target {
    Profile_Side_Target(SKTGraphicList &side, const QSizeF &frontCard, const QImage &missingPicture = QImage(),
                        const SKTGrid *snapGrid = nullptr)
        : list(side), frontCardSize(frontCard), noImage(missingPicture), grid(snapGrid)
    {
    }

    SKTGraphicList &list;
    QSizeF frontCardSize;   // decides the orientation for every side
    QImage noImage;         // what a photo that does not load shows
    const SKTGrid *grid = nullptr; // a constraining grid snaps new objects' corners
    // Puts new objects into the list (the front's undoable insertion); the list's own by default.
    std::function<void(const GraphicList &, const platform::IndexSet &)> insert;
    // Where the side's changes are undone (the front's): each placement that changes anything is one
    // step there, which gives back what it made, hid, wrote, bound and showed. None for a side
    // without undo.
    platform::UndoManager *undo = nullptr;
    // How many more objects the design may take; a side that is never saved takes any number.
    qsizetype room = std::numeric_limits<qsizetype>::max();
};

// What a placement did.
struct Profile_Fill_Result {
    SKTGraphicPtr lastPlaced; // the object placed or updated last, for the canvas to make current
    int created = 0;
    QString photoProblem;     // why the photo shows the no-image picture; empty when it loaded
    QString refusal;          // why nothing was placed: more new objects than the design has room for
};

// Places `profile` on the side: every profile object is hidden first; each field with a value is
// then shown in the object carrying its tag, updated in place (its frame kept), or in a new object
// at the field's layout rectangle on top of the list, and given the field's binding. Values are
// neither trimmed nor checked, but each character XML cannot carry becomes U+FFFD. Objects of empty
// fields stay hidden; nothing is deleted or moved.
// A photo path that names no regular file, or a picture that cannot be read (see loadPicture), gives
// the no-image picture and the reason in `photoProblem`.
// New objects beyond the target's room place nothing at all, and `refusal` says why.
Profile_Fill_Result Fill_User_Profile_Side(const User_Profile_Class &profile, Profile_Side_Target &target);
