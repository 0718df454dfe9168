#pragma once

#include "document/BarcodeFields.h"
#include "document/DataBinding.h"
#include "document/DesignLimits.h"
#include "document/SKTObjectSpecifier.h"
#include "document/DrawingResources.h"
#include "platform/KeyValueObserving.h"
#include "platform/KeyedArchiver.h"

#include <QColor>
#include <QHash>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPainter;
struct SKTError;
class SKTDocument;
class SKTGraphic;

using SKTGraphicPtr = std::shared_ptr<SKTGraphic>;
using GraphicList = QList<SKTGraphicPtr>;

// The styled text of a text object: its characters with one font and one colour.
struct SKTTextStorage {
    QString string;
    QFont font;
    QColor foregroundColor;
};

// Handle numbers on the bounds; 0 means no handle.
enum SKTGraphicHandle {
    SKTGraphicNoHandle = 0,
    SKTGraphicUpperLeftHandle = 1,
    SKTGraphicUpperMiddleHandle = 2,
    SKTGraphicUpperRightHandle = 3,
    SKTGraphicMiddleLeftHandle = 4,
    SKTGraphicMiddleRightHandle = 5,
    SKTGraphicLowerLeftHandle = 6,
    SKTGraphicLowerMiddleHandle = 7,
    SKTGraphicLowerRightHandle = 8,
};

constexpr double SKTGraphicHandleWidth = 6.0;
constexpr double SKTGraphicHandleHalfWidth = 3.0;

// Colour with its alpha component replaced by an opacity fraction (clamped to 0..1; above 1 is opaque).
QColor colorWithOpacity(const QColor &color, double opacity);

// Every object that can stand on a card side. One class holds every property of every kind of
// object, so archiving, the pasteboard, data binding and the properties panel work on one set of
// fields; the kinds decide how an object draws, is hit and is resized.
//
// Most fields are read and written directly by the program, silently and without undo. Only the
// observed keys ("drawingFill", "fillColor", "drawingStroke", "strokeColor", "strokeWidth",
// "bounds" and what derives from them) announce changes, and only through their setters.
class SKTGraphic : public platform::KeyValueObservable {
public:
    // "Class is exactly X" tests compare kinds: a subclass is not its base here.
    enum class Kind { Graphic, Shape, Line, Text, Image, Signature, Barcode };

    SKTGraphic();
    ~SKTGraphic() override;

    virtual Kind kind() const { return Kind::Graphic; }
    // The class name, as archives and property lists record it.
    virtual QString className() const { return QStringLiteral("SKTGraphic"); }

    // A new graphic of the same kind with every default, given this one's bounds, fill and stroke.
    virtual SKTGraphicPtr clone() const;
    // A graphic of the same kind with every stored field of this one, as reading its archive would
    // give, holding the pictures this one has loaded (so that it draws without reading them
    // again); nothing for a kind without an archive.
    SKTGraphicPtr fullCopy() const;
    // Loads the picture the kind draws from its path where it has not yet, as drawing does on first
    // sight; after it, drawing the object reads no file and writes nothing.
    virtual void loadPicturesForDrawing() {}
    // Pictures the archive held that could not be decoded, by field: kept as they came, so that
    // saving again loses nothing, until the field is given a picture.
    QHash<QString, platform::UndecodedPicture> m_undecodedPictures;
    // Reads a picture field of an archive: the picture, or nothing with its data kept aside.
    QImage pictureFromArchive(const QString &field, const QVariant &archived);
    // A picture field for an archive: the picture, or the data kept aside when it has none.
    QVariant pictureForArchive(const QString &field, const QImage &picture) const;
    // The pixels that reading this object's design again takes from the design's budget: the
    // pictures it holds, and those kept aside that reading would try again.
    virtual qint64 picturePixels() const;

    // Observed keys and the keys derived from them.
    static const QString DrawingFillKey;
    static const QString FillColorKey;
    static const QString DrawingStrokeKey;
    static const QString StrokeColorKey;
    static const QString StrokeWidthKey;
    static const QString BoundsKey;
    static const QString XPositionKey;
    static const QString YPositionKey;
    static const QString WidthKey;
    static const QString HeightKey;
    static const QString DrawingBoundsKey;
    static const QString DrawingContentsKey;
    static const QString KeysForValuesToObserveForUndoKey;

    // Keyed archive: every stored field under its own name, nil objects as the null reference.
    // Reading keeps a new graphic's value for every key the archive lacks.
    void encodeWithCoder(platform::KeyedEncoder &coder) const;
    void initWithCoder(const platform::KeyedDecoder &coder);
    // Fields a kind keeps beyond the common ones, written after them; read only where present.
    virtual void encodeOwnFields(platform::KeyedEncoder &) const {}
    virtual void decodeOwnFields(const platform::KeyedDecoder &) {}
    // The graphic as an archivable object naming its class, and archives back to graphics: nothing
    // for data that is not an archive of a known kind.
    platform::EncodableObject archivable() const;
    QByteArray archivedData() const;
    static SKTGraphicPtr graphicWithClassName(const QString &className);
    static SKTGraphicPtr graphicWithArchive(const platform::KeyedObjectRef &archive);
    static SKTGraphicPtr graphicWithArchivedData(const QByteArray &data, const platform::KeyedArchiveLimits &limits = {});

    // Graphics pasteboard data: a binary property list whose root array holds one graphic archive
    // per graphic, in order. The main photo and the frame picture never travel.
    static QVariantList propertiesWithGraphics(const GraphicList &graphics);
    static QByteArray pasteboardDataWithGraphics(const GraphicList &graphics);
    // Pasteboard data comes from other programs too: elements that are not graphic archives are
    // skipped, and data whose root is not an array gives nothing and the error with code 2. Objects
    // that would not fit in `room` (what the design leaves of its limits) give nothing and the
    // error with code 3, the reason saying so.
    static std::optional<GraphicList> graphicsWithPasteboardData(
        const QByteArray &data, SKTError *error = nullptr,
        const DesignFile::DesignLoad &room = {DesignFile::kMaxDesignObjects, DesignFile::kMaxDesignPixels});
    // The graphics of the archives; their pictures take their pixels from `pixelBudget` (a
    // design's whole budget when none is given), and those that do not fit are not decoded.
    static GraphicList graphicsWithProperties(const QVariantList &archives, qint64 *pixelBudget = nullptr);
    // The older property dictionary of a graphic, kept as its description.
    virtual QVariantMap properties();
    virtual void initWithProperties(const QVariantMap &properties);
    QString description();

    // Key-value access to the observed keys (and those a kind adds); setting announces the change.
    virtual QVariant valueForKey(const QString &key);
    virtual void setValueForKey(const QString &key, const QVariant &value);
    virtual QStringList keysForValuesToObserveForUndo() const;
    virtual QString presentablePropertyNameForKey(const QString &key) const;

    // Accessors.
    QRectF bounds() const { return _bounds; }
    virtual void setBounds(const QRectF &bounds);
    virtual bool isDrawingFill() const { return _isDrawingFill; }
    void setDrawingFill(bool fill);
    virtual bool isDrawingStroke() const { return _isDrawingStroke; }
    void setDrawingStroke(bool stroke);
    // The colour accessors answer the stored colour with its opacity field as alpha.
    QColor fillColor() const { return colorWithOpacity(_fillColor, alpha_val); }
    void setFillColor(const QColor &color);
    QColor strokeColor() const { return colorWithOpacity(_strokeColor, alpha_val_stroke); }
    void setStrokeColor(const QColor &color);
    double strokeWidth() const { return _strokeWidth; }
    void setStrokeWidth(double width);
    QString strokeBorderType() const { return _stroke_border_type; }
    QString fill_type() const { return _fill_type; }
    QString fill_hatch_type() const { return _fill_hatch_type; }
    QColor fill_hatch_bk_clr() const { return colorWithOpacity(_fill_htch_clr, alpha_val); }
    QColor fill_Grad_clr1() const { return colorWithOpacity(_fill_Grad_clr1, alpha_val); }
    QColor fill_Grad_clr2() const { return colorWithOpacity(_fill_Grad_clr2, alpha_val); }
    // A colour field and the opacity field that drawing takes as its alpha.
    struct OpacityStamp {
        QColor SKTGraphic::*colour;
        float SKTGraphic::*opacity;
    };
    // The colours this object's drawing shows, as its present settings choose them, each with its
    // opacity. Archives carry these colours with the opacity stamped in, as they always did once
    // the object had been drawn, whether it was or not; the fields stay as they were set.
    virtual QList<OpacityStamp> drawnColours() const { return {}; }
    // The fill's colours as the fill type draws them, for the kinds that fill; a hatch counts only
    // where the kind draws hatches.
    QList<OpacityStamp> drawnFillColours(bool drawsHatches) const;
    // The colour of a field as a saved design holds it: stamped when the drawing shows it.
    QColor colourAsSaved(QColor SKTGraphic::*field) const;
    double fill_grad_angle() const { return _fill_grad_angle; }
    QString Get_shape_type() const { return _shape_type; }
    void Set_Shape_Type(const QString &type) { _shape_type = type; }
    void Set_Barcode_image(const QImage &image)
    {
        _barcode_image = image;
        m_undecodedPictures.remove(QStringLiteral("_barcode_image"));
    }
    SKTTextStorage &Text_contents();
    // The storage a text makes on first use: its seed value in the default text font.
    SKTTextStorage newTextContents() const;
    bool hasTextContents() const { return m_Text_contents != nullptr; }
    QFont Text_Font_value() const { return text_ctrl_font; }
    QColor Text_Color_Value() const { return txt_clr; }
    int Get_Line_Ori() const { return _line_ori; }
    int Get_Line_Cap_Style() const { return _line_cap_style; }
    void Set_Batch_List_Name(const QString &name) { binding.batch_list_name = name; }
    void Set_Batch_List_Index(int index) { binding.batch_list_index = index; }
    void Set_Data_source_type(int type) { binding.data_source_type = type; }
    // Binds to a column of the bound sheet, by its number and its title.
    void Set_Excel_binding_Index(int index, const QString &title)
    {
        binding.excel_col_indx = index;
        binding.excel_col_title = title;
    }
    void Set_Sign_Or_FP(const QString &value) { sign_or_fingureprint = value; }
    QString Sign_Or_FP_Val() const { return sign_or_fingureprint; }
    void Set_Control_File_path(const QString &path) { _file_path = path; }
    QString FilePath() const { return _file_path; }
    virtual void setFlippedHorizontally(bool flipped) { _isFlippedHorizontally = flipped; }
    virtual void setFlippedVertically(bool flipped) { _isFlippedVertically = flipped; }
    float Get_Image_Trnsp_val() const { return img_trnsp_val; }
    float Get_Hue_val() const { return hue_val; }
    bool Is_Control_Locked() const { return ctrl_is_locked; }
    void Set_Ctrl_Is_Visible(bool visible) { ctrl_is_visible = visible; }
    // The document whose front list holds this graphic, for scripts; none once it is gone (undo
    // and the pasteboard may keep a graphic longer than its document).
    void setScriptingContainer(SKTDocument *container);
    SKTDocument *scriptingContainer() const;
    // This graphic as its document names it; none, with the internal-inconsistency error, when it
    // has no document or its document does not hold it.
    std::optional<SKTObjectSpecifier> objectSpecifier(SKTScriptingError *error = nullptr) const;
    // The fill colour, stroke colour and stroke width while they are drawn, else none.
    std::optional<QColor> scriptingFillColor() const;
    std::optional<QColor> scriptingStrokeColor() const;
    std::optional<double> scriptingStrokeWidth() const;
    // A value switches the fill (stroke) on where it may and sets it; none switches it off. A kind
    // that cannot do so answers the command's error -10000 and is left as it was. The changes go
    // through the observed setters, so on the front side they are undone like any other.
    std::optional<SKTScriptingError> setScriptingFillColor(const std::optional<QColor> &color);
    std::optional<SKTScriptingError> setScriptingStrokeColor(const std::optional<QColor> &color);
    std::optional<SKTScriptingError> setScriptingStrokeWidth(const std::optional<double> &width);
    double xPosition() const { return _bounds.x(); }
    double yPosition() const { return _bounds.y(); }
    double width() const { return _bounds.width(); }
    double height() const { return _bounds.height(); }
    void setXPosition(double x);
    void setYPosition(double y);
    void setWidth(double width);
    void setHeight(double height);

    // Drawing. The painter is in canvas points, y growing downward. The program's own pictures
    // (placeholder, hatch patterns) come from `resources` alone; without them none are drawn.
    virtual void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                                    const DrawingResources &resources = {});
    // The outline of kinds that draw by path; the base has none and throws std::logic_error.
    virtual QPainterPath bezierPathForDrawing() const;
    // Everything the contents drawing reads apart from the bounds' position, for canvases that keep
    // drawn objects as pictures. A kind answers false (the default) when its drawing reads more than
    // its own fields (files, process-wide pictures), so that it is always drawn afresh.
    virtual bool appendDrawingCacheKey(QByteArray &key) const;
    virtual void drawHandlesInView(QPainter &painter, bool lock_hai);
    void drawHandleInView(QPainter &painter, const QPointF &point, bool lock_hai);
    virtual bool canSetDrawingFill() const { return true; }
    virtual bool canSetDrawingStroke() const { return true; }
    virtual bool canMakeNaturalSize() const;
    // Turns the fill on when it can and is off, then sets the fill colour.
    virtual void setColor(const QColor &color);

    // Geometry, handles and hit testing.
    virtual QRectF drawingBounds() const;
    bool isHandleAtPoint(const QPointF &handlePoint, const QPointF &point) const;
    virtual int handleUnderPoint(const QPointF &point) const;
    virtual bool isContentsUnderPoint(const QPointF &point) const;
    // Moves one handle to the point; answers the handle to keep dragging (it changes when the
    // object turns inside out).
    virtual int resizeByMovingHandle(int handle, const QPointF &point);
    virtual void flipHorizontally() {}
    virtual void flipVertically() {}
    virtual void makeNaturalSize();
    // The handle dragged while a new object is drawn.
    virtual int creationSizingHandle() const { return SKTGraphicLowerRightHandle; }
    static QPointF randomPoint(const QRectF &rect);

    // Operations on lists of graphics.
    static QRectF boundsOfGraphics(const GraphicList &graphics);
    static QRectF drawingBoundsOfGraphics(const GraphicList &graphics);
    static void translateGraphics(const GraphicList &graphics, double dx, double dy);
    static void Paste_Location_Of_Graphics(const GraphicList &graphics, double x, double y,
                                           const QString &card_side);

    // Fields, in their declared order.
    QRectF _bounds;
    bool _isDrawingFill = true;
    QColor _fillColor = Qt::white;
    bool _isDrawingStroke = true;
    QColor _strokeColor = Qt::black;
    double _strokeWidth = 1.0;
    QString _stroke_border_type = QStringLiteral("S");
    QString _fill_type = QStringLiteral("S");
    QColor _fill_Grad_clr1 = Qt::white;
    QColor _fill_Grad_clr2 = Qt::white;
    double _fill_grad_angle = 0.0;
    QColor _fill_htch_clr = Qt::white;
    QString _fill_hatch_type;
    bool _isFlippedHorizontally = false;
    bool _isFlippedVertically = false;
    bool invert_clr = false;
    bool gray_Scale = false;
    bool Sepia = false;
    float img_trnsp_val = 100.0f;
    float hue_val = 0.0f;
    float sat_val = 1.0f;
    float brt_val = 0.0f;
    float con_val = 1.0f;
    float srp_val = 0.0f;
    float ev_val = 0.0f;
    float blr_val = 0.0f;
    DataBinding binding; // stored as data_source_type … excel_col_indx, excel_col_title
    float rotate_image = 0.0f;
    QString _file_path;
    std::weak_ptr<SKTDocument *> _scriptingContainer;
    QString sign_or_fingureprint = QStringLiteral("S");
    int _line_ori = 0;
    int _line_cap_style = 0;
    float cor_rad_val = 10.0f;
    float alpha_val = 100.0f;
    float alpha_val_stroke = 100.0f;
    QFont text_ctrl_font;
    QColor txt_clr;
    std::unique_ptr<SKTTextStorage> m_Text_contents;
    QString _shape_type = QStringLiteral("R");
    QImage _barcode_image;
#define SKT_GRAPHIC_BARCODE_FIELD(Type, Name, Initial) Type Name = Initial;
    BARCODE_SETTINGS_FIELDS(SKT_GRAPHIC_BARCODE_FIELD)
#undef SKT_GRAPHIC_BARCODE_FIELD
    int barcode_unit_val = 1;
    bool ctrl_is_locked = false;
    int text_alignmnet = 2;
    int text_alignmnet_Vert = 2;
    int text_transfrom_case = 0;
    float text_kerning = 0.0f;
    int print_object = 0;
    QString control_ID;
    QString Text_Value = QStringLiteral("Text here");
    bool ctrl_is_visible = true;
    int double_star_type = 1;
    int polygon_type = 1;
    bool Drawing_Shadow = false;
    QColor Shadow_Color = QColor(0, 0, 255);
    float Shadow_offset_X = 5.0f;
    float Shadow_offset_Y = 5.0f;
    float Shadow_blur = 0.0f;
    float Shadow_transparency = 50.0f;
    int text_rotation = 0;

protected:
    // Copies what every kind's copy keeps (bounds, fill and stroke settings) into `copy`.
    void copyBaseFieldsTo(SKTGraphic &copy) const;
    // Hands the pictures loaded for drawing to a full copy of the same kind.
    virtual void copyLoadedPicturesTo(SKTGraphic &) const {}
    template <typename KindClass>
    SKTGraphicPtr cloneAs() const
    {
        auto copy = std::make_shared<KindClass>();
        copyBaseFieldsTo(*copy);
        return copy;
    }
    // New pictures, signatures and barcodes: a frame of `size` centred on `position`.
    void centreOn(const QPointF &position, const QSizeF &size);
    // A new picture-like object puts the image panel's effect controls back to neutral.
    static void resetImagePanel();
    // Announces a change of an observed key and of the keys derived from it.
    void announce(const QString &key, const QVariant &oldValue, const QVariant &newValue);
    // An observed setter: writes the field, then announces the change with the value it replaced.
    template <typename T>
    void setObserved(T &field, const T &value, const QString &key)
    {
        const T old = field;
        field = value;
        announce(key, QVariant::fromValue(old), QVariant::fromValue(value));
    }

    SKTGraphic(const SKTGraphic &) = delete;
    SKTGraphic &operator=(const SKTGraphic &) = delete;
};

