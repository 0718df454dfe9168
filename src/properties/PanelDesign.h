#pragma once

#include "document/SKTGraphic.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

class Card_Property;

// What the properties panel edits, as the design window lends it: the current side's selection and
// card face, the card's size and background, and redraws. The panel never includes the window; the
// window implements this, tests give a stand-in.
class PanelDesign {
public:
    virtual ~PanelDesign() = default;

    // The selected objects of the current side (front when Card_Front_Or_Back is 0, else back),
    // front-most first; empty when nothing is selected.
    virtual GraphicList selectedGraphics() const = 0;
    // The card-face settings of the current side.
    virtual Card_Property &currentCardFace() = 0;
    // The front canvas's bounds, in points: the card rectangle of both sides.
    virtual QRectF frontCanvasBounds() const = 0;
    // Marks the current side's canvas for redrawing (nothing while a batch run applies a record).
    virtual void Refresh_Canvas() = 0;

    // The size preset name of a row of the card-size list; "" after a logged failed lookup.
    virtual QString Get_Item_Text(int row) const = 0;
    // Millimetres of a size preset: category text, "H" or "V", row of the card-size list.
    virtual QSizeF cardPresetSize(const QString &category, const QString &preset, int list_index) const = 0;
    // Fills the card-size list with the plastic card sizes (category 0) or the paper badge sizes.
    virtual void showSizePresets(int categoryIndex) = 0;
    // A design of two printable sides, or of the front alone.
    virtual void setTwoSided(bool twoSided) = 0;
    // The one size of the three canvases, in points.
    virtual void SetDocumentCanvasSize(const QSizeF &points) = 0;
    // Card-wide text colour and font to the side's texts, the frame picture to the card, then the
    // card panel into the side's settings.
    virtual void Update_All_Card_Content() = 0;

    // Makes the picture at `path` the current side's background.
    virtual void setCurrentSideBackground(const QString &path) = 0;
    // Makes the picture at `path` the front's background and frame picture, whichever side is current.
    virtual void setFrontBackground(const QString &path) = 0;
    // Runs the frame library window; the chosen picture's path, or empty when it was cancelled.
    virtual QString chooseLibraryBackground() = 0;
    // The print flag of the current side's selected, unlocked objects.
    virtual void print_contol_or_not(int value) = 0;

    // --- Where objects' values come from ---------------------------------------------------------
    // The current side's current object (the one the canvas draws handles on or chose last); null
    // when there is none. Not owned.
    virtual SKTGraphic *currentGraphic() const = 0;
    // Loads the file as the design's main photo with the start wizard's effects; with
    // `change_path` its path becomes the invitation's picture path.
    virtual void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path) = 0;
    // The same with the photo already read from `path`, and its file's bytes (empty when not kept).
    virtual void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path, const QImage &photo,
                                                  const QByteArray &file) = 0;
    // The main photo (or frame picture) takes its value from a series, or not.
    virtual void set_main_photo_ds_batch(bool fromSeries) = 0;
    // A picture file from the file panel, kept as the picture of the next picture object; empty
    // when the panel was cancelled (which forgets that picture).
    virtual QString chooseUserPicture() = 0;
    // A picture from the image library window, kept as the picture of the next picture object;
    // empty when the window was cancelled.
    virtual QString chooseLibraryPicture() = 0;
    // The title ("T") or message (any other code) picker: the chosen text, nothing when cancelled.
    virtual std::optional<QString> chooseTemplateText(const QString &title_or_msg) = 0;
    // Shows the series of that name.
    virtual void View_Data_Series(const QString &name) = 0;
    // Shows a long text under a title in the long-message dialog.
    virtual void Open_Long_sms_Dialog(const QString &title, const QString &text) = 0;
};
