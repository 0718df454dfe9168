#include "canvas/ui/PleaseWait_Modeless.h"

#include "platform/ui/DialogLook.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

PleaseWait_Modeless::PleaseWait_Modeless(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_message(new QLabel(this)),
      m_busy(new QProgressBar(this))
{
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Please Wait"));

    DialogLook::applyBackground(this);

    m_message->setObjectName(QStringLiteral("message"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setText(tr("Please wait..."));

    // An empty range makes the bar run as a busy indicator.
    m_busy->setObjectName(QStringLiteral("busyIndicator"));
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(m_message);
    layout->addWidget(m_busy);
    setMinimumWidth(260);
}

void PleaseWait_Modeless::setMessage(const QString &message)
{
    m_message->setText(message);
}

QString PleaseWait_Modeless::message() const
{
    return m_message->text();
}

void PleaseWait_Modeless::setProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        m_busy->setRange(0, 0);
        return;
    }
    m_busy->setRange(0, 100);
    m_busy->setValue(int(std::clamp<qint64>(done * 100 / total, 0, 100)));
}

int PleaseWait_Modeless::progressPercent() const
{
    return m_busy->maximum() > 0 ? m_busy->value() : -1;
}

void PleaseWait_Modeless::showPanel()
{
    adjustSize();
    QRect area;
    if (QWidget *owner = parentWidget())
        area = owner->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) {
        QRect frame = frameGeometry();
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
    show();
    raise();
}

void PleaseWait_Modeless::hidePanel()
{
    hide();
}

void PleaseWait_Modeless::paintEvent(QPaintEvent *)
{
    // Without a frame the light panel would melt into a light window behind it.
    QPainter painter(this);
    painter.setPen(QColor(160, 166, 178));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
