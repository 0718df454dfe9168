#include "canvas/ui/InputShield.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
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

// Closes the window once nothing modal but the window itself is up: a box the work's command shows
// once it ends (a "saved" message) is answered first, as it would be were the close made then.
void closeWhenFree(const QPointer<QWidget> &window)
{
    QTimer::singleShot(0, window, [window] {
        if (!window)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == window) {
            window->close();
            return;
        }
        const auto again = [window] { closeWhenFree(window); };
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            QObject::connect(dialog, &QDialog::finished, window, again, Qt::SingleShotConnection);
        else
            QObject::connect(modal, &QObject::destroyed, window, again, Qt::SingleShotConnection);
    });
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
    if (m_closeHeld && m_window)
        closeWhenFree(m_window);
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
    if (event->type() == QEvent::Close && m_window && isWindow(watched)) {
        m_closeHeld = true;
        event->ignore();
        return true;
    }
    if (!isInput(event->type()) || !m_window || !onWindow(watched))
        return false;
    // Taken as the focus's own, so that no shortcut of the window acts on the key either.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    else
        event->ignore();
    return true;
}

bool InputShield::isWindow(QObject *watched) const
{
    return watched == m_window.data() || (watched->isWindowType() && static_cast<QWindow *>(watched) == m_window->windowHandle());
}

bool InputShield::onWindow(QObject *watched) const
{
    if (watched->isWidgetType())
        return static_cast<QWidget *>(watched)->window() == m_window;
    return watched->isWindowType() && static_cast<QWindow *>(watched) == m_window->windowHandle();
}
