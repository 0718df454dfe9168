// The keyed archive of a graphic: one entry per stored field, in a fixed order.

#include "document/ArchiveValues.h"
#include "document/SKTBarcode.h"
#include "document/SKTGraphic.h"
#include "document/SKTImage.h"
#include "document/SKTLine.h"
#include "document/SKTSignature.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"
#include "platform/PictureHeader.h"
#include "platform/PictureReading.h"


namespace {

// Field order and coder kind of every entry. RECT, BOOL, INT and FLOAT are coded as such; WIDE is a
// double field coded as a float; COLOR, STRING, FONT, IMAGE and TEXT are objects. BOUND_BOOL,
// BOUND_INT and BOUND_STRING are the binding's fields, stored under their own names as before the
// binding was one value.
#define SKT_GRAPHIC_ARCHIVE(RECT, BOOL, INT, FLOAT, WIDE, COLOR, STRING, FONT, IMAGE, TEXT, BOUND_BOOL,  \
                            BOUND_INT, BOUND_STRING)                                                     \
    RECT(_bounds) BOOL(ctrl_is_locked) BOOL(_isDrawingFill) COLOR(_fillColor) BOOL(_isDrawingStroke)     \
    COLOR(_strokeColor) WIDE(_strokeWidth) STRING(_stroke_border_type) STRING(_fill_type)                 \
    COLOR(_fill_Grad_clr1) COLOR(_fill_Grad_clr2) WIDE(_fill_grad_angle) COLOR(_fill_htch_clr)            \
    STRING(_fill_hatch_type) BOOL(_isFlippedHorizontally) BOOL(_isFlippedVertically) BOOL(invert_clr)    \
    BOOL(gray_Scale) BOOL(Sepia) FLOAT(img_trnsp_val) FLOAT(hue_val) FLOAT(sat_val) FLOAT(brt_val)        \
    FLOAT(con_val) FLOAT(srp_val) FLOAT(ev_val) FLOAT(blr_val) BOUND_INT(data_source_type) FLOAT(rotate_image) \
    STRING(_file_path) STRING(sign_or_fingureprint) BOUND_STRING(batch_list_name) BOUND_INT(batch_list_index)       \
    INT(_line_ori) INT(_line_cap_style) FLOAT(alpha_val) FLOAT(alpha_val_stroke) FONT(text_ctrl_font)    \
    COLOR(txt_clr) TEXT(_Text_contents) STRING(_shape_type) FLOAT(cor_rad_val) IMAGE(_barcode_image)     \
    INT(linear_or_2d) INT(barcode_font_index) STRING(linear_font_val) STRING(two_d_font_val)             \
    STRING(header_val) STRING(footer_val) INT(show_hide_hdr) INT(show_hide_ftr) INT(show_hide_val)       \
    INT(show_val_on_top) INT(align_hdr_index) INT(align_ftr_index) FLOAT(linear_height_val)              \
    FLOAT(linear_width_val) INT(qr_size_val) INT(qr_version_index) INT(qr_ec_index) INT(pdf_hgt_val)     \
    INT(pdf_wdt_val) INT(pdf_ec_val) INT(dm_module_val) INT(dm_format_index) INT(dm_encoding_index)      \
    FLOAT(hdr_margin_val) FLOAT(ftr_margin_val) FLOAT(val_margin_val) FLOAT(TB_marging_val)              \
    FLOAT(LR_margin_val) FONT(value_font_val) FONT(header_font_val) FONT(footer_font_val)                \
    COLOR(barcode_hdr_clr_val) COLOR(barcode_ftr_clr_val) COLOR(barcode_val_clr_val)                     \
    COLOR(barcode_back_clr_val) COLOR(barcode_clr_val) INT(dpi_val_index) STRING(dpi_custom_val)         \
    INT(barcode_unit_val) INT(text_alignmnet_Vert) INT(text_alignmnet) INT(text_transfrom_case)          \
    FLOAT(text_kerning) INT(print_object) STRING(control_ID) BOUND_BOOL(excel_binding) BOUND_INT(excel_col_indx)  \
    STRING(Text_Value) BOOL(ctrl_is_visible) INT(double_star_type) INT(polygon_type) BOOL(Drawing_Shadow) \
    COLOR(Shadow_Color) FLOAT(Shadow_offset_X) FLOAT(Shadow_offset_Y) FLOAT(Shadow_blur)                 \
    FLOAT(Shadow_transparency) INT(text_rotation)

// The bound column's title, after every field and only where there is one, so that a design
// without bindings is saved as it always was.
const QString kColumnTitleKey = QStringLiteral("excel_col_title");

const QStringList kTextStorageClasses{QStringLiteral("NSTextStorage"), QStringLiteral("NSMutableAttributedString"),
                                      QStringLiteral("NSAttributedString"), QStringLiteral("NSObject")};

const QString kUnderline = QStringLiteral("NSUnderline");
const QString kStrikethrough = QStringLiteral("NSStrikethrough");

// The text's storage, with the decorations of the font the text is drawn in: a font's archive keeps
// its name and size only, so underline and strike-out travel as attributes of the text, where rich
// text keeps them. A decorated text without a storage yet is given the one it would make.
QVariant archiveText(const SKTGraphic &graphic)
{
    const QFont &drawn = graphic.text_ctrl_font;
    if (!graphic.m_Text_contents && !drawn.underline() && !drawn.strikeOut())
        return {};
    const SKTTextStorage copy = graphic.m_Text_contents ? *graphic.m_Text_contents : graphic.newTextContents();
    QVariantMap attributes{{QStringLiteral("NSFont"), archiveObject(copy.font)},
                           {QStringLiteral("NSColor"), archiveObject(copy.foregroundColor)}};
    if (drawn.underline())
        attributes.insert(kUnderline, 1);
    if (drawn.strikeOut())
        attributes.insert(kStrikethrough, 1);
    return QVariant::fromValue(platform::EncodableObject{kTextStorageClasses, [copy, attributes](platform::KeyedEncoder &coder) {
        coder.encodeObject(QStringLiteral("NSString"), copy.string);
        coder.encodeObject(QStringLiteral("NSAttributes"), attributes);
    }});
}

// The storage of an archive, giving the drawn font the decorations the text carries.
std::unique_ptr<SKTTextStorage> textFromArchive(const QVariant &value, QFont &drawn)
{
    const platform::KeyedObjectRef object = value.value<platform::KeyedObjectRef>();
    if (!object)
        return nullptr;
    auto text = std::make_unique<SKTTextStorage>();
    text->string = objectFromArchive<QString>(object->decodeObject(QStringLiteral("NSString")));
    const QVariantMap attributes = object->decodeObject(QStringLiteral("NSAttributes")).toMap();
    text->font = objectFromArchive<QFont>(attributes.value(QStringLiteral("NSFont")));
    text->foregroundColor = objectFromArchive<QColor>(attributes.value(QStringLiteral("NSColor")));
    drawn.setUnderline(attributes.value(kUnderline).toInt() != 0);
    drawn.setStrikeOut(attributes.value(kStrikethrough).toInt() != 0);
    return text;
}

} // namespace

void SKTGraphic::encodeWithCoder(platform::KeyedEncoder &coder) const
{
#define ENC_RECT(F) coder.encodeRect(QStringLiteral(#F), F);
#define ENC_BOOL(F) coder.encodeBool(QStringLiteral(#F), F);
#define ENC_INT(F) coder.encodeInt(QStringLiteral(#F), F);
#define ENC_FLOAT(F) coder.encodeFloat(QStringLiteral(#F), F);
#define ENC_WIDE(F) coder.encodeFloat(QStringLiteral(#F), static_cast<float>(F));
#define ENC_OBJECT(F) coder.encodeObject(QStringLiteral(#F), archiveObject(F));
#define ENC_COLOR(F) coder.encodeObject(QStringLiteral(#F), archiveObject(colourAsSaved(&SKTGraphic::F)));
#define ENC_TEXT(F) coder.encodeObject(QStringLiteral(#F), archiveText(*this));
#define ENC_IMAGE(F) coder.encodeObject(QStringLiteral(#F), pictureForArchive(QStringLiteral(#F), F));
#define ENC_BOUND_BOOL(F) coder.encodeBool(QStringLiteral(#F), binding.F);
#define ENC_BOUND_INT(F) coder.encodeInt(QStringLiteral(#F), binding.F);
#define ENC_BOUND_STRING(F) coder.encodeObject(QStringLiteral(#F), archiveObject(binding.F));
    SKT_GRAPHIC_ARCHIVE(ENC_RECT, ENC_BOOL, ENC_INT, ENC_FLOAT, ENC_WIDE, ENC_COLOR, ENC_OBJECT, ENC_OBJECT,
                        ENC_IMAGE, ENC_TEXT, ENC_BOUND_BOOL, ENC_BOUND_INT, ENC_BOUND_STRING)
    if (!binding.excel_col_title.isEmpty())
        coder.encodeObject(kColumnTitleKey, archiveObject(binding.excel_col_title));
    encodeOwnFields(coder);
#undef ENC_RECT
#undef ENC_BOOL
#undef ENC_INT
#undef ENC_FLOAT
#undef ENC_WIDE
#undef ENC_OBJECT
#undef ENC_COLOR
#undef ENC_TEXT
#undef ENC_IMAGE
#undef ENC_BOUND_BOOL
#undef ENC_BOUND_INT
#undef ENC_BOUND_STRING
}

void SKTGraphic::initWithCoder(const platform::KeyedDecoder &coder)
{
    // A key the archive lacks (an older or foreign writer's) keeps the value a new graphic of this
    // class has: zero would hide the object, empty its shape, stroke and the like. A nil object
    // that was written is read as nil.
#define SKT_IF_STORED(F, DECODE)                                                                         \
    if (coder.containsValueForKey(QStringLiteral(#F)))                                                  \
        DECODE;
#define DEC_RECT(F) SKT_IF_STORED(F, F = coder.decodeRect(QStringLiteral(#F)))
#define DEC_BOOL(F) SKT_IF_STORED(F, F = coder.decodeBool(QStringLiteral(#F)))
#define DEC_INT(F) SKT_IF_STORED(F, F = coder.decodeInt(QStringLiteral(#F)))
#define DEC_FLOAT(F) SKT_IF_STORED(F, F = coder.decodeFloat(QStringLiteral(#F)))
#define DEC_WIDE(F) SKT_IF_STORED(F, F = static_cast<double>(coder.decodeFloat(QStringLiteral(#F))))
#define DEC_OBJECT(F) SKT_IF_STORED(F, F = objectFromArchive<decltype(F)>(coder.decodeObject(QStringLiteral(#F))))
#define DEC_TEXT(F) SKT_IF_STORED(F, m##F = textFromArchive(coder.decodeObject(QStringLiteral(#F)), text_ctrl_font))
#define DEC_IMAGE(F) SKT_IF_STORED(F, F = pictureFromArchive(QStringLiteral(#F), coder.decodeObject(QStringLiteral(#F))))
#define DEC_BOUND_BOOL(F) SKT_IF_STORED(F, binding.F = coder.decodeBool(QStringLiteral(#F)))
#define DEC_BOUND_INT(F) SKT_IF_STORED(F, binding.F = coder.decodeInt(QStringLiteral(#F)))
#define DEC_BOUND_STRING(F)                                                                              \
    SKT_IF_STORED(F, binding.F = objectFromArchive<QString>(coder.decodeObject(QStringLiteral(#F))))
    SKT_GRAPHIC_ARCHIVE(DEC_RECT, DEC_BOOL, DEC_INT, DEC_FLOAT, DEC_WIDE, DEC_OBJECT, DEC_OBJECT, DEC_OBJECT,
                        DEC_IMAGE, DEC_TEXT, DEC_BOUND_BOOL, DEC_BOUND_INT, DEC_BOUND_STRING)
    if (coder.containsValueForKey(kColumnTitleKey))
        binding.excel_col_title = objectFromArchive<QString>(coder.decodeObject(kColumnTitleKey));
    Hold_Barcode_Fields_To_Ranges(*this);
    decodeOwnFields(coder);
#undef SKT_IF_STORED
#undef DEC_RECT
#undef DEC_BOOL
#undef DEC_INT
#undef DEC_FLOAT
#undef DEC_WIDE
#undef DEC_OBJECT
#undef DEC_TEXT
#undef DEC_IMAGE
#undef DEC_BOUND_BOOL
#undef DEC_BOUND_INT
#undef DEC_BOUND_STRING
}

QImage SKTGraphic::pictureFromArchive(const QString &field, const QVariant &archived)
{
    if (archived.metaType() == QMetaType::fromType<platform::UndecodedPicture>())
        m_undecodedPictures.insert(field, archived.value<platform::UndecodedPicture>());
    else
        m_undecodedPictures.remove(field);
    return objectFromArchive<QImage>(archived);
}

QVariant SKTGraphic::pictureForArchive(const QString &field, const QImage &picture) const
{
    if (picture.isNull())
        if (const auto kept = m_undecodedPictures.constFind(field); kept != m_undecodedPictures.constEnd())
            return QVariant::fromValue(*kept);
    return archiveObject(picture);
}

qint64 SKTGraphic::picturePixels() const
{
    qint64 pixels = qint64(_barcode_image.width()) * _barcode_image.height();
    for (const platform::UndecodedPicture &kept : m_undecodedPictures)
        pixels += platform::picturePixelsRead(platform::pictureHeader(kept.data).size);
    return pixels;
}

SKTGraphicPtr SKTGraphic::fullCopy() const
{
    SKTGraphicPtr copy = graphicWithClassName(className());
    if (!copy)
        return nullptr;
#define COPY_FIELD(F) copy->F = F;
#define COPY_TEXT(F) copy->m##F = m##F ? std::make_unique<SKTTextStorage>(*m##F) : nullptr;
#define COPY_NOTHING(F)
    SKT_GRAPHIC_ARCHIVE(COPY_FIELD, COPY_FIELD, COPY_FIELD, COPY_FIELD, COPY_FIELD, COPY_FIELD, COPY_FIELD,
                        COPY_FIELD, COPY_FIELD, COPY_TEXT, COPY_NOTHING, COPY_NOTHING, COPY_NOTHING)
    copy->binding = binding;
#undef COPY_FIELD
#undef COPY_TEXT
#undef COPY_NOTHING
    copy->m_undecodedPictures = m_undecodedPictures;
    // A kind's own fields go through a memory archive, as they would through a file.
    platform::MemoryKeyedArchive own;
    encodeOwnFields(own);
    copy->decodeOwnFields(own);
    copyLoadedPicturesTo(*copy);
    return copy;
}

platform::EncodableObject SKTGraphic::archivable() const
{
    return {{className(), QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")},
            [this](platform::KeyedEncoder &coder) { encodeWithCoder(coder); }};
}

QByteArray SKTGraphic::archivedData() const
{
    return platform::KeyedArchiver::archivedData(archivable());
}

SKTGraphicPtr SKTGraphic::graphicWithClassName(const QString &className)
{
    if (className == QLatin1String("Shape_Control"))
        return std::make_shared<Shape_Control>();
    if (className == QLatin1String("SKTLine"))
        return std::make_shared<SKTLine>();
    if (className == QLatin1String("SKTText"))
        return std::make_shared<SKTText>();
    if (className == QLatin1String("SKTImage"))
        return std::make_shared<SKTImage>();
    if (className == QLatin1String("SKTSignature"))
        return std::make_shared<SKTSignature>();
    if (className == QLatin1String("SKTBarcode"))
        return std::make_shared<SKTBarcode>();
    return nullptr;
}

SKTGraphicPtr SKTGraphic::graphicWithArchive(const platform::KeyedObjectRef &archive)
{
    if (!archive)
        return nullptr;
    SKTGraphicPtr graphic = graphicWithClassName(archive->className());
    if (graphic)
        graphic->initWithCoder(*archive);
    return graphic;
}

SKTGraphicPtr SKTGraphic::graphicWithArchivedData(const QByteArray &data, const platform::KeyedArchiveLimits &limits)
{
    return graphicWithArchive(platform::KeyedUnarchiver::rootObject(data, nullptr, limits));
}
