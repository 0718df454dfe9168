#include "canvas/ui/InputShield.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputShield::InputShield(QWidget *window) : m_window(window)
{
    if (m_window)
        qApp->installEventFilter(this);
}

InputShield::~InputShield()
{
    // What came while the GUI thread was busy, or the worker's loop about to end, is still queued.
    if (m_window)
        QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
}

WorkerWait::Wait InputShield::waitFor(QWidget *window)
{
    const QPointer<QWidget> shielded = window;
    return [shielded](const std::function<void()> &work) {
        run<bool>(shielded, [&] {
            work();
            return true;
        });
    };
}

bool InputShield::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(event->type()) || !m_window || !onWindow(watched))
        return false;
    // Taken as the focus's own, so that no shortcut of the window acts on the key either.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    else
        event->ignore();
    return true;
}

bool InputShield::onWindow(QObject *watched) const
{
    if (watched->isWidgetType())
        return static_cast<QWidget *>(watched)->window() == m_window;
    return watched->isWindowType() && static_cast<QWindow *>(watched) == m_window->windowHandle();
}
