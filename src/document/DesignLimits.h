#pragma once

#include <QString>
#include <QtGlobal>

// How much one design may hold, so that whatever a design holds can be saved and read again whole.
namespace DesignFile {

// The pixels all the pictures of one design may hold together when read (1 GiB of pixels);
// pictures beyond it are kept as they came, unread.
constexpr qint64 kMaxDesignPixels = 256LL * 1024 * 1024;
// The most objects a design (and a paste) may hold: far more than any card shows, and few enough
// that what opens can be saved again within the largest file.
constexpr qsizetype kMaxDesignObjects = 10'000;

// The objects of a design and the pixels of the pictures it decodes when read: what it holds, or
// what is left for more.
struct DesignLoad {
    qsizetype objects = 0;
    qint64 pixels = 0;
};
// What is left of the limits for a design that holds `held`.
DesignLoad roomBeside(const DesignLoad &held);

// The refusal of a design or paste of more objects, in the program's words.
QString tooManyObjectsReason(qint64 count);
// The refusal of objects that would take a design holding `held` objects past the limit.
QString tooManyObjectsReason(qint64 count, qsizetype held);
bool isTooManyObjectsReason(const QString &reason);
// The refusal of pictures that would take a design past its pixels.
QString tooManyPixelsReason();

} // namespace DesignFile
