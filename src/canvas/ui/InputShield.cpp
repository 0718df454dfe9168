#include "canvas/ui/InputShield.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "document/DesignFile.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMutex>
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

// Does `act` once nothing modal but the window itself is up: a box the work's command shows once it
// ends (a "saved" message) is answered first, as it would be were the close or quit made then.
void whenFree(const QPointer<QWidget> &window, const std::function<void()> &act)
{
    QTimer::singleShot(0, window, [window, act] {
        if (!window)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == window) {
            act();
            return;
        }
        const auto again = [window, act] { whenFree(window, act); };
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
    if (!m_window)
        return;
    // A quit closes the window too: held with a close, it would ask twice.
    if (m_closeHeld)
        whenFree(m_window, [window = m_window] { window->close(); });
    else if (m_quitHeld)
        whenFree(m_window, [quit = m_quitHeld] {
            if (quit && quit->isEnabled())
                quit->trigger();
        });
}

void InputShield::runLong(QWidget *window, const QString &message, const DesignFile::Work &estimate, qint64 direct,
                          const std::function<void(const Progress &)> &work)
{
    std::exception_ptr thrown;
    const auto guarded = [&](const Progress &progress) {
        try {
            work(progress);
        } catch (...) {
            thrown = std::current_exception();
        }
    };
    if (estimate.weight() < direct) {
        run<bool>(window, [&] {
            guarded({});
            return true;
        }, true);
        if (thrown)
            std::rethrow_exception(thrown);
        return;
    }
    struct Told {
        QMutex mutex;
        qsizetype done = 0, total = 0;
    } told;
    const Progress progress = [&told](qsizetype done, qsizetype total) {
        QMutexLocker lock(&told.mutex);
        told.done = done;
        told.total = total;
    };
    const QPointer<PleaseWait_Modeless> sheet =
        window ? window->findChild<PleaseWait_Modeless *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    bool shown = false;
    QElapsedTimer clock;
    clock.start();
    const auto showProgress = [&] {
        if (!sheet || (!shown && clock.elapsed() < sheet->delayMs))
            return;
        if (!shown) {
            sheet->setMessage(message);
            sheet->showPanel();
            shown = true;
        }
        QMutexLocker lock(&told.mutex);
        sheet->setProgress(told.done, told.total);
    };
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, showProgress);
    showProgress();
    poll.start();
    run<bool>(window, [&] {
        guarded(progress);
        return true;
    });
    poll.stop();
    if (shown && sheet) {
        showProgress();
        sheet->hidePanel();
    }
    if (thrown)
        std::rethrow_exception(thrown);
}

QImage InputShield::readPicture(QWidget *window, const DesignFile::Work &work, const std::function<QImage()> &read,
                                QString *problem)
{
    QImage picture;
    try {
        runLong(window, tr("Reading the picture..."), work, DesignFile::kDirectWork,
                [&](const Progress &) { picture = read(); });
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    // A read gives its reason with every null picture unless it threw (logged), which only a failed
    // allocation does.
    if (picture.isNull() && problem && problem->isEmpty())
        *problem = QStringLiteral("there is not enough memory to read the picture");
    return picture;
}

QImage InputShield::loadPicture(QWidget *window, const QString &path, QString *problem, QByteArray *file)
{
    QString why;
    const QImage picture = readPicture(window, DesignFile::workOfPictureFile(path), [&] {
        return file ? ::loadPictureAndFile(path, *file, &why) : ::loadPicture(path, nullptr, &why);
    }, &why);
    if (problem)
        *problem = why;
    return picture;
}

QImage InputShield::loadChosenPicture(QWidget *window, const QString &path, const QString &what, QByteArray *file)
{
    QString problem;
    const QImage picture = loadPicture(window, path, &problem, file);
    if (picture.isNull())
        tellPictureNotShown(path, what, problem);
    return picture;
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
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        holdQuit(*static_cast<QKeyEvent *>(event));
    // Taken as the focus's own, so that no shortcut of the window acts on the key either.
    if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    else
        event->ignore();
    return true;
}

void InputShield::holdQuit(const QKeyEvent &key)
{
    if (m_quitHeld)
        return;
    const QKeySequence typed(key.keyCombination());
    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->menuRole() == QAction::QuitRole && action->shortcuts().contains(typed)) {
            m_quitHeld = action;
            return;
        }
    }
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
