#pragma once

#include <QLabel>

// A one-line label whose text sits in the vertical middle of its box whatever the box's height;
// the horizontal alignment is the label's own.
class VerticallyCenteredTextFieldCell : public QLabel {
    Q_OBJECT
public:
    explicit VerticallyCenteredTextFieldCell(QWidget *parent = nullptr);
    explicit VerticallyCenteredTextFieldCell(const QString &text, QWidget *parent = nullptr);

    // Where the text is drawn inside `bounds`: its top lies half the spare height below the top.
    QRectF titleRectForBounds(const QRectF &bounds) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
