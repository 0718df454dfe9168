#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;
class SKTGraphic;

// What the lower layers ask of the design window. The window implements it; tests install a
// recording one. Lower layers never include a window or widget header.
class DesignWindowHub {
public:
    virtual ~DesignWindowHub() = default;

    // Marks the current side's canvas for redrawing (callable from any thread).
    virtual void Refresh_Canvas() = 0;
    // The cascade position of the next new or pasted object on side "F" or "B".
    virtual QPointF Control_New_Point(const QString &cardSide) = 0;
    // Bounds of the front canvas, in canvas points.
    virtual QRectF frontCanvasBounds() const = 0;
    // The grid's show flag drives the design window's align-to-grid button.
    virtual void setAlignWithGridButtonEnabled(bool enabled) = 0;

    // Shows the panel for `graphic`, or the card tabs for nullptr (which also clears the current
    // side's selection). The pointer is not kept beyond the call by the caller's promise.
    virtual void Show_RHS_Properties(SKTGraphic *graphic) = 0;
    // The number of the palette's current tool (see SKTTool).
    virtual int Selected_Control_Tool() const = 0;
    // The picture path chosen for the next picture object; empty when none.
    virtual QString Library_Selected_Image() const = 0;
    // Pictures new objects show until they are given their own.
    virtual QImage no_image() const = 0;
    // For a barcode, the symbol a new object's settings make; null leaves it showing the sample.
    virtual QImage barcode_sample_img() const = 0;
    virtual QImage sign_sample_img() const = 0;
    virtual QImage fp_sample_img() const = 0;
    // The invitation's main photo with its effects applied; null when there is none. Any thread.
    virtual QImage Main_Photo_image() const = 0;
    // Puts the image panel's effect controls back to neutral; changes no graphic.
    virtual void Reset_Image_Editing_Controls() = 0;
    // Make same width, make same height and make natural size need two or more selected objects.
    virtual void setMakeSameSizeButtonsEnabled(bool enabled) = 0;
    // Opens the barcode settings for the current side's current graphic.
    virtual void Open_Barcode_Window() = 0;
    // The undo and redo buttons follow the document's undo manager.
    virtual void Undo_Redo_Button_state() = 0;
    // The Paste button follows what the pasteboard offers.
    virtual void Set_Paste_Button_Status() = 0;
    // Whether an object of the design takes its values from the series file `seriesName`.
    virtual bool Check_Batch_File_In_Use_Validation(const QString &seriesName) = 0;
};
