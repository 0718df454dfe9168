#pragma once

#include <QImage>
#include <QString>

// One item of an image browser: a picture file's path with the title shown under it and an
// identifier unique within its browser. An item made from a picture in memory has no path.
struct MyImageObject {
    MyImageObject() = default;
    // The item for a file; the browser loads the picture from the path itself.
    MyImageObject(const QString &image_Path, const QString &image_Name, const QString &image_UID)
        : path(image_Path), image_Name(image_Name), image_UID(image_UID)
    {
    }
    // An item holding a copy of the picture; its path stays empty.
    static MyImageObject withImage(const QImage &picture, const QString &image_Name, const QString &image_UID)
    {
        MyImageObject item(QString(), image_Name, image_UID);
        item.image = picture;
        return item;
    }

    void setPath(const QString &newPath) { path = newPath; }

    // What a browser asks of its items: the browser loads the picture from the path itself, and
    // shows the name as title and subtitle alike.
    QString imageRepresentation() const { return path; }
    QString imageUID() const { return image_UID; }
    QString imageTitle() const { return image_Name; }
    QString imageSubtitle() const { return image_Name; }

    QString path;
    QImage image;
    QString image_Name;
    QString image_UID;
};
