#pragma once

#include "output/SheetPrinting.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

// The program's own preview of the printed sheets: one sheet at a time, drawn as printing draws
// it, with its cards for their records. A sheet is drawn when it is shown, from its own records,
// so going back and forth shows the same cards every time.
class SheetPreview : public QDialog {
    Q_OBJECT
public:
    explicit SheetPreview(QWidget *parent = nullptr);

    // The sheets of `run` (at most `sheets` of them), of the design and records given.
    void setRun(const RunDrawing &drawing, const SheetRun &run, int sheets);
    void showSheet(int sheet);
    int sheet() const { return m_sheet; }
    int sheets() const { return m_sheets; }
    // The picture of the sheet shown.
    const QImage &picture() const { return m_picture; }

    QLabel *sheetLabel;
    QLabel *pageNumber;
    QPushButton *previousButton, *nextButton, *closeButton;

    static constexpr double kDpi = 150.0;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The sheet's picture scaled to fit the window, on grey.
    void fitPicture();

    RunDrawing m_drawing;
    SheetRun m_run;
    int m_sheets = 0;
    int m_sheet = 0;
    QImage m_picture;
};
