#pragma once

#include "core/Image_Effect_Settings.h"

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QSet>
#include <QString>

#include <list>
#include <optional>

// Results of the effect chain by picture (QImage::cacheKey) and settings, so that repainting a
// picture does not run the chain again. Thread-safe; bounded by the bytes of the pictures it holds,
// the least recently used going first (the newest entry always stays, however large).
class ImageEffectCache {
public:
    static constexpr qsizetype DefaultByteLimit = 96 * 1024 * 1024;

    explicit ImageEffectCache(qsizetype byteLimit = DefaultByteLimit);
    ImageEffectCache(const ImageEffectCache &) = delete;
    ImageEffectCache &operator=(const ImageEffectCache &) = delete;

    static ImageEffectCache &sharedInstance();

    // The kept result (possibly a null picture, for a chain that failed), or nothing.
    std::optional<QImage> find(quint64 pictureKey, const Image_Effect_Settings &settings);
    void insert(quint64 pictureKey, const Image_Effect_Settings &settings, const QImage &result);
    // True the first time a failure of `step` is reported for this picture and settings.
    bool firstReport(quint64 pictureKey, const Image_Effect_Settings &settings, const QString &step);

    void clear();
    void setByteLimit(qsizetype bytes);
    qsizetype byteCount() const;
    int count() const;
    quint64 hitCount() const;
    quint64 missCount() const;

    struct Key {
        quint64 picture = 0;
        quint32 flags = 0;
        quint32 values[8] = {};
        qint32 rotate = 0;
        bool operator==(const Key &other) const;
    };

private:
    struct Entry {
        Key key;
        QImage result;
        qsizetype bytes = 0;
    };
    void evict();

    mutable QMutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    QHash<Key, std::list<Entry>::iterator> m_index;
    QSet<QByteArray> m_reported;
    qsizetype m_byteLimit;
    qsizetype m_bytes = 0;
    quint64 m_hits = 0;
    quint64 m_misses = 0;
};

size_t qHash(const ImageEffectCache::Key &key, size_t seed = 0) noexcept;
