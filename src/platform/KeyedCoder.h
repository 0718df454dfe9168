#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <vector>

namespace platform {

// Keyed archiving: an object writes each field under its own key with a typed call and reads it back
// the same way. Objects (strings, colours, fonts, pictures) travel as QVariant; a missing key reads
// as NO, 0, the zero point or size, or an invalid QVariant (nil).
class KeyedEncoder {
public:
    virtual ~KeyedEncoder() = default;
    virtual void encodeBool(const QString &key, bool value) = 0;
    virtual void encodeInt(const QString &key, int value) = 0;
    virtual void encodeFloat(const QString &key, float value) = 0;
    virtual void encodeDouble(const QString &key, double value) = 0;
    virtual void encodeObject(const QString &key, const QVariant &value) = 0;
    virtual void encodePoint(const QString &key, const QPointF &value) = 0;
    virtual void encodeSize(const QString &key, const QSizeF &value) = 0;
    virtual void encodeRect(const QString &key, const QRectF &value) = 0;
};

class KeyedDecoder {
public:
    virtual ~KeyedDecoder() = default;
    virtual bool containsValueForKey(const QString &key) const = 0;
    virtual bool decodeBool(const QString &key) const = 0;
    virtual int decodeInt(const QString &key) const = 0;
    virtual float decodeFloat(const QString &key) const = 0;
    virtual double decodeDouble(const QString &key) const = 0;
    virtual QVariant decodeObject(const QString &key) const = 0;
    virtual QPointF decodePoint(const QString &key) const = 0;
    virtual QSizeF decodeSize(const QString &key) const = 0;
    virtual QRectF decodeRect(const QString &key) const = 0;
};

// An archive held in memory, in the order the fields were written. Readers accept a number where
// another kind of number was written.
class MemoryKeyedArchive : public KeyedEncoder, public KeyedDecoder {
public:
    enum class Type { Bool, Int, Float, Double, Object, Point, Size, Rect };
    struct Entry {
        QString key;
        Type type;
        QVariant value;
    };

    void encodeBool(const QString &key, bool value) override { put(key, Type::Bool, value); }
    void encodeInt(const QString &key, int value) override { put(key, Type::Int, value); }
    void encodeFloat(const QString &key, float value) override { put(key, Type::Float, value); }
    void encodeDouble(const QString &key, double value) override { put(key, Type::Double, value); }
    void encodeObject(const QString &key, const QVariant &value) override { put(key, Type::Object, value); }
    void encodePoint(const QString &key, const QPointF &value) override { put(key, Type::Point, value); }
    void encodeSize(const QString &key, const QSizeF &value) override { put(key, Type::Size, value); }
    void encodeRect(const QString &key, const QRectF &value) override { put(key, Type::Rect, value); }

    bool containsValueForKey(const QString &key) const override { return find(key) != nullptr; }
    bool decodeBool(const QString &key) const override { return number(key).toBool(); }
    int decodeInt(const QString &key) const override { return number(key).toInt(); }
    float decodeFloat(const QString &key) const override { return number(key).toFloat(); }
    double decodeDouble(const QString &key) const override { return number(key).toDouble(); }
    QVariant decodeObject(const QString &key) const override
    {
        const Entry *e = find(key);
        return e && e->type == Type::Object ? e->value : QVariant();
    }
    QPointF decodePoint(const QString &key) const override
    {
        const Entry *e = find(key);
        return e && e->type == Type::Point ? e->value.toPointF() : QPointF();
    }
    QSizeF decodeSize(const QString &key) const override
    {
        const Entry *e = find(key);
        return e && e->type == Type::Size ? e->value.toSizeF() : QSizeF(0, 0);
    }
    QRectF decodeRect(const QString &key) const override
    {
        const Entry *e = find(key);
        return e && e->type == Type::Rect ? e->value.toRectF() : QRectF(0, 0, 0, 0);
    }

    const std::vector<Entry> &entries() const { return m_entries; }
    void remove(const QString &key)
    {
        std::erase_if(m_entries, [&key](const Entry &e) { return e.key == key; });
    }

private:
    void put(const QString &key, Type type, const QVariant &value)
    {
        remove(key);
        m_entries.push_back({key, type, value});
    }
    const Entry *find(const QString &key) const
    {
        for (const Entry &e : m_entries)
            if (e.key == key)
                return &e;
        return nullptr;
    }
    QVariant number(const QString &key) const
    {
        const Entry *e = find(key);
        if (!e)
            return 0;
        switch (e->type) {
        case Type::Bool:
        case Type::Int:
        case Type::Float:
        case Type::Double:
            return e->value;
        default:
            return 0;
        }
    }

    std::vector<Entry> m_entries;
};

} // namespace platform
