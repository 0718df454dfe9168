#pragma once

#include "core/StoredPictureBytes.h"
#include "document/Card_Property.h"
#include "document/DesignLimits.h"
#include "document/DesignSnapshot.h"
#include "document/SKTGraphic.h"
#include "platform/PropertyList.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>

class SKTImage;

// Everything a design file holds: both card faces, the invitation's frame and main photo with its
// effects, the workbook bound to the design, and the objects of the front and the back (the temp
// side is never stored).
struct DesignFileContents {
    Card_Property Front_card_Prop;
    Card_Property Back_card_Prop;
    QString Invite_Frame_Pic_IMG;
    QImage Main_Photo_image;
    // The bytes the file keeps the main photo as (its own file's, or encoded once when its effects
    // were set, or those the file held): written as they are; none, and the photo is encoded then.
    StoredPictureBytes Main_Photo_bytes;
    QVariant Main_Photo_undecoded; // a main photo the file held but that could not be read, kept as it came
    bool IMG_invert_clr = false;
    bool IMG_gray_Scale = false;
    bool IMG_Sepia = false;
    float IMG_trnsp_val = 100.0f;
    float IMG_hue_val = 0.0f;
    float IMG_sat_val = 1.0f;
    float IMG_brt_val = 0.0f;
    float IMG_con_val = 1.0f;
    float IMG_srp_val = 0.0f;
    float IMG_ev_val = 0.0f;
    float IMG_blr_val = 0.0f;
    float IMG_rotate_image = 0.0f;
    bool Excel_Binding_Use = false;
    QString Excel_Source_Path;
    QStringList excelColumnTitles; // every column of the binding table, the row-number column first
    QList<QVariantMap> excelRows;  // "Extension" and "Column1", "Column2"… with string values
    GraphicList frontGraphics;
    GraphicList backGraphics;
    // Of the design's pixel budget, what the pictures the file carries left for those it names by path.
    qint64 picturePixelsLeft = 0;
};

// The design file: an XML property list whose root array is read strictly by position.
namespace DesignFile {

extern const QString Signature;
constexpr int kFixedElementCount = 77;

// A side keeps its background picture's path only while its fill style is the picture ("I").
void dropUnusedBackgroundPath(Card_Property &card);

// What a file holds of a snapshot: all but the bound workbook, which the caller adds.
DesignFileContents contentsOf(const DesignSnapshot &snapshot);

// Told now and then how far the writing or reading of a large design has come, `done` of `total`,
// on the thread that does it. The work goes in two stages, each from 0 to its own total: writing
// archives the objects, then writes the file's text (its elements and their rows); reading reads
// the text (its rows among it), then makes the objects.
using Progress = platform::PropertyListProgress;

// For a design the program ships: every path the design names (objects, backgrounds, the main
// photo's, the bound workbook's) that lies in the resources folder `resources` and whose file the
// resources folder `shipped` holds at the same place takes its resource-relative name
// (Resource_Relative_Path), which resolves on any install. Any other path would name a file of this
// machine only: false, with the paths in `error`, and `contents` is then not to be written.
bool nameResourcePictures(DesignFileContents &contents, const QString &resources, const QString &shipped,
                          QString *error);

// The root array and its bytes (none when a value has no form in a file, with the reason). Paths of
// backgrounds that are not in use are written empty.
QVariantList rootArray(const DesignFileContents &contents, const Progress &progress = {});
QByteArray data(const DesignFileContents &contents, const Progress &progress = {}, QString *error = nullptr);

// Reads and checks the whole file before anything is made of it: the signature, every element's
// kind, the counts against what remains and every archive. Nothing is answered for a file that is
// not sound, with the reason. A text holding a character XML cannot carry (a file in the binary form,
// or one an earlier writer put control characters into, holds one) is read with U+FFFD for each, so
// that the design saves again.
// The largest design, for writing and reading alike, so that what is saved can be opened.
constexpr qsizetype kMaxBytes = platform::kPropertyListMaxBytes;
// The largest card edge, in points: the largest page a PDF may have; and the smallest, a point.
constexpr double kMaxCardPoints = 14400.0;
constexpr double kMinCardPoints = 1.0;
std::optional<DesignFileContents> read(const QByteArray &data, QString *error = nullptr, qsizetype maxBytes = kMaxBytes,
                                       const Progress &progress = {}, qint64 maxPixels = kMaxDesignPixels);
// A card size the canvases can show: each edge not finite or negative (or zero, where `unusable`
// has a positive edge) takes `unusable`'s edge, and every other lies within kMinCardPoints to
// kMaxCardPoints.
QSizeF usableCardSize(const QSizeF &size, const QSizeF &unusable);

// What opening or saving a design costs, as far as it can be told before the work: the bytes of
// its file and the pixels of the pictures it carries. It decides where the work runs.
struct Work {
    qint64 bytes = 0;
    qint64 pixels = 0;
    // What telling it took, in steps of a scan for pictures (see workOfFile).
    qint64 steps = 0;
    // In bytes of a plain design that take about as long: encoding a picture takes about as long a
    // pixel as a plain design a byte, decoding less, so a small file of flat pictures may be much work.
    qint64 weight() const { return bytes + pixels; }
};
// Work lighter than this runs at once on the GUI thread, which it keeps under about 100 ms on
// two cores (a bound sheet's rows are the slowest to read, up to 40 ms a MiB); more goes to a worker.
constexpr qint64 kDirectWork = 5 * 1024 * 1024 / 2;
// The work of opening the design file `file`: its bytes, and its pictures' pixels read from their
// headers (none is decoded) where the reader would decode them.
Work workOfFile(QByteArrayView file);
// About the work of saving `contents`: the bytes its objects' archives and the sheet's cells take
// in a file, and the pixels of every picture it carries.
Work workOf(const DesignFileContents &contents);
// About the bytes a bound sheet's rows take in a file.
qint64 sheetBytes(const QList<QVariantMap> &rows);

// A picture file the plain picture objects of a design name, with the objects naming it, and the card
// faces showing it as their background: an open reads each such file once, for all of them. The main
// photo's objects take the main photo instead.
struct NamedPicture {
    QString path;
    QList<SKTImage *> objects;
    QList<Card_Property *> backgrounds;
};
// The files the objects of `contents` name, then its faces' backgrounds (a face filled with a
// picture), each once, in that order. Every path is first found again below this account's resources
// when it was moved (Relocated_Resource_Path), once for each path, and the objects and faces name it
// so.
QList<NamedPicture> namedPictures(DesignFileContents &contents);
// The most named files weighed before an open: a design that names more goes to a worker.
constexpr qsizetype kMostNamedPicturesWeighed = 64;
// The pixels reading `pictures` decodes, each file weighed once from its header (none is decoded);
// a file whose header does not tell its size as much as a picture may have. Weighing stops once
// `enough` is reached.
qint64 namedPicturePixels(const QList<NamedPicture> &pictures, qint64 enough = kMaxDesignPixels);
// The work of reading the picture `bytes` hold (pasted, say): the bytes, and the pixels its header
// says it decodes to, or as many as a picture may have when it does not say.
Work workOfPicture(QByteArrayView bytes);
// The same for the picture file at `path`, weighed from its header; nothing when it is no regular
// file.
Work workOfPictureFile(const QString &path);

// Writes the file whole: a temporary file beside it renamed over it, so that a failed save leaves
// the previous design as it was.
// A design larger than `maxBytes`, of more objects than a design may hold, or holding a text the
// file would not give back as it is (see platform::propertyListData), is not written, and `error`
// says so; a path it names that XML cannot carry is named whole.
bool write(const QString &path, const DesignFileContents &contents, QString *error = nullptr,
           qsizetype maxBytes = kMaxBytes, const Progress &progress = {});

// The number forms of the file.
QString formatTwoDecimals(float value);
QString formatEffect(float value);
int leadingInt(const QString &text);
qint64 leadingInt64(const QString &text);
double leadingDouble(const QString &text);
float leadingFloat(const QString &text);

} // namespace DesignFile
