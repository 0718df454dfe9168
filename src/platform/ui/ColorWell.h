#pragma once

#include <QColor>
#include <QPushButton>

// A button that shows a colour and lets the user pick another one.
class ColorWell : public QPushButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Sets the colour without announcing it: the program fills wells from the model.
    void setColor(const QColor &color);

    QSize sizeHint() const override;

signals:
    // Only a colour the user picked.
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void pickColor();

    QColor m_color = Qt::black;
};
