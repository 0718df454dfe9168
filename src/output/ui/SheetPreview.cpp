#include "output/ui/SheetPreview.h"

#include "core/MessageBoxes.h"
#include "datasource/RecordBinding.h"
#include "platform/ui/DialogLook.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

SheetPreview::SheetPreview(QWidget *parent)
    : QDialog(parent), sheetLabel(new QLabel(this)), pageNumber(new QLabel(this)),
      previousButton(new QPushButton(tr("Previous"), this)), nextButton(new QPushButton(tr("Next"), this)),
      closeButton(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("SheetPreview"));
    setWindowTitle(tr("Print Preview"));
    DialogLook::applyBackground(this);
    sheetLabel->setObjectName(QStringLiteral("sheetLabel"));
    sheetLabel->setAlignment(Qt::AlignCenter);
    sheetLabel->setAutoFillBackground(true);
    QPalette ground = sheetLabel->palette();
    ground.setColor(QPalette::Window, QColor(118, 122, 130));
    sheetLabel->setPalette(ground);
    sheetLabel->setMinimumSize(200, 260);
    // The sheet follows the window's size, not the other way round.
    sheetLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pageNumber->setObjectName(QStringLiteral("pageNumber"));
    pageNumber->setAlignment(Qt::AlignCenter);
    connect(previousButton, &QPushButton::clicked, this, [this] { showSheet(m_sheet - 1); });
    connect(nextButton, &QPushButton::clicked, this, [this] { showSheet(m_sheet + 1); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(previousButton);
    buttons->addWidget(pageNumber, 1);
    buttons->addWidget(nextButton);
    buttons->addSpacing(24);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(sheetLabel, 1);
    layout->addLayout(buttons);
    resize(640, 860);
}

void SheetPreview::setRun(const RunDrawing &drawing, const SheetRun &run, int sheets)
{
    m_drawing = drawing;
    m_run = run;
    m_sheets = sheets;
    m_sheet = 0;
    showSheet(1);
}

void SheetPreview::showSheet(int sheet)
{
    if (!m_drawing.design || sheet < 1 || sheet > m_sheets)
        return;
    m_sheet = sheet;
    SheetRun one = m_run;
    one.firstSheet = one.lastSheet = sheet;
    SheetPictures pictures(m_run.layout.paper, kDpi);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RunReport report = printSheets(*m_drawing.design, one, m_drawing.apply, pictures, {});
    QApplication::restoreOverrideCursor();
    m_picture = pictures.pictures().value(0);
    if (!report.failure.isEmpty())
        Show_MessageBox_No_Thread(report.failure);
    fitPicture();
    pageNumber->setText(tr("Sheet %1 of %2").arg(m_sheet).arg(m_sheets));
    previousButton->setEnabled(m_sheet > 1);
    nextButton->setEnabled(m_sheet < m_sheets);
}

void SheetPreview::fitPicture()
{
    if (m_picture.isNull()) {
        sheetLabel->clear();
        return;
    }
    const QSize room = (sheetLabel->size() - QSize(24, 24)).expandedTo(QSize(1, 1));
    const double ratio = devicePixelRatioF();
    QImage shown = m_picture.scaled(room * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    {
        QPainter painter(&shown);
        painter.setPen(QColor(90, 90, 90));
        painter.drawRect(shown.rect().adjusted(0, 0, -1, -1));
    }
    QPixmap pixmap = QPixmap::fromImage(shown);
    pixmap.setDevicePixelRatio(ratio);
    sheetLabel->setPixmap(pixmap);
}

void SheetPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitPicture();
}
