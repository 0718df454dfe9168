#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// The general pasteboard: typed data that one program writes and any program reads, with a change
// count that moves whenever anyone writes. The desktop's clipboard stands behind it in the program;
// tests install one held in memory.
class Pasteboard {
public:
    using Item = QPair<QString, QByteArray>; // type, data

    virtual ~Pasteboard() = default;
    virtual qint64 changeCount() const = 0;
    // Replaces the whole contents with these types, in their order of preference.
    virtual void writeItems(const QList<Item> &items) = 0;
    virtual QStringList types() const = 0;
    virtual QByteArray dataForType(const QString &type) const = 0;
    // Local files named on the pasteboard (file lists other programs put there).
    virtual QStringList fileNames() const = 0;
    // Reads the bytes of one picture type, with the reason in `problem` when they give no picture.
    using PictureReader = std::function<QImage(const QByteArray &bytes, QString *problem)>;
    // A picture offered in any picture type, read as every picture is (readPicture, or `read`, which
    // may read on a worker: each type's bytes are taken here, on the pasteboard's thread); null when
    // none is offered, or when none offered can be read, with the reason in `problem`.
    QImage image(QString *problem = nullptr, const PictureReader &read = {}) const;
};

Pasteboard &generalPasteboard();
// Replaces the pasteboard for the rest of the run (tests); nullptr goes back to the desktop's.
void installPasteboard(Pasteboard *pasteboard);

class MemoryPasteboard : public Pasteboard {
public:
    qint64 changeCount() const override { return m_changeCount; }
    void writeItems(const QList<Item> &items) override;
    QStringList types() const override;
    QByteArray dataForType(const QString &type) const override;
    QStringList fileNames() const override { return m_fileNames; }
    // What another program might have put there: a picture is offered as PNG.
    void setFileNames(const QStringList &names);
    void setImage(const QImage &image);

private:
    qint64 m_changeCount = 0;
    QList<Item> m_items;
    QStringList m_fileNames;
};

} // namespace platform
