#pragma once

#include <QImage>
#include <QWidget>

// An image view that lays the design window's banner picture as a repeating pattern behind its
// own picture. The tiles start at the view's top-left corner wherever the view sits.
class Repeat_Image : public QWidget {
    Q_OBJECT
public:
    explicit Repeat_Image(QWidget *parent = nullptr);

    // The tiled picture (the design window's `banner_image`).
    void setBannerImage(const QImage &banner);
    const QImage &bannerImage() const { return m_banner; }

    // The view's own picture, drawn over the pattern, centred and shrunk to fit if too large.
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_banner;
    QImage m_image;
};
