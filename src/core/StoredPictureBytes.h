#pragma once

#include <QByteArray>
#include <QImage>

#include <memory>

// The bytes a design file keeps a picture as, made once rather than at every save: the bytes of the
// file the picture was read from while it is that file's picture, else the picture encoded on a
// worker as soon as it is set. Copies share the one encoding; any thread may ask for the bytes.
class StoredPictureBytes {
public:
    StoredPictureBytes() = default; // none: whoever stores the picture encodes it

    // Bytes at hand (those a design file held the picture as).
    static StoredPictureBytes of(const QByteArray &bytes);
    // For `picture`, made from the file whose bytes are `source` (none: from no file). When it is that
    // file's picture as read (`asRead`) and the file is a JPEG or PNG that every reader decodes to it
    // (at its size, needing no turn by an orientation tag), those bytes. Otherwise the picture encoded
    // on the thread pool, starting now: a high-quality JPEG when the file was a JPEG (a camera's
    // photo, lossy already) and the picture is opaque, else PNG at a fast level.
    static StoredPictureBytes forPicture(const QImage &picture, const QByteArray &source, bool asRead);

    bool isNull() const { return !m_state; }
    // Whether bytes() answers without encoding or waiting.
    bool isReady() const;
    // The bytes; while the encoding has not ended, waits for it, or encodes here when it has not begun.
    // None when the picture cannot be encoded.
    QByteArray bytes() const;

    // How many pictures have been encoded since the program started.
    static int encodingsDone();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
