#pragma once

#include "core/WorkerWait.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QImage;
class QKeyEvent;
class QWidget;

namespace DesignFile {
struct Work;
}

// Drops what the user does to one window while long work for it runs: clicks, keys, wheels, drags
// and touches that reach the window meanwhile go nowhere, and those still waiting when the work
// ends are drained while the shield is up, so that none acts once it has gone. Held back instead,
// a click would act on what the work changed. A close of the window waits for the work: it is
// answered once, after the work and any box then up, as if made then; answered meanwhile, a quit
// would ask to save while the save runs, and boxes of the work would show after the program ended.
// The window's Quit, typed meanwhile, is held the same way.
// Other windows (the waiting sheet, a question) are answered as ever.
class InputShield : public QObject {
public:
    explicit InputShield(QWidget *window);
    ~InputShield() override;

    // Every wait of a window goes this way: `job` runs on a worker while the window paints, or at
    // once on the GUI thread when `here` (work too short for a hand-off), the window shielded in
    // both cases. A job that throws is logged and gives a default result.
    template <typename Result>
    static Result run(QWidget *window, const std::function<Result()> &job, bool here = false)
    {
        const InputShield shield(window);
        return WorkerWait::run<Result>(job, here);
    }
    // How far long work has come, as DesignFile::Progress tells it.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;
    // Long work for the window, weighed by `estimate`: at once when lighter than `direct`, else on a
    // worker while the window's waiting sheet (its PleaseWait_Modeless, when it has one) shows
    // `message` and the progress `work` tells, once the work has taken the sheet's delay. Shielded
    // in both cases. What `work` throws is thrown again.
    static void runLong(QWidget *window, const QString &message, const DesignFile::Work &estimate, qint64 direct,
                        const std::function<void(const Progress &)> &work);
    // A picture read for the window, weighed by `work`, that way: at once when that is light
    // (DesignFile::kDirectWork), so that the window's thread decodes only what it may decode beside
    // any other reading, never waiting its turn. `read` tells why it gave nothing in `problem`.
    static QImage readPicture(QWidget *window, const DesignFile::Work &work, const std::function<QImage()> &read,
                              QString *problem);
    // The picture file at `path`, read as loadPicture() reads it, that way; with `file`, the file's
    // bytes too, as loadPictureAndFile() keeps them.
    static QImage loadPicture(QWidget *window, const QString &path, QString *problem, QByteArray *file = nullptr);
    // The same for a picture the user chose as `what` ("picture", "photo" …): null when it cannot be
    // read, after telling the user why, so that the caller keeps the picture it had.
    static QImage loadChosenPicture(QWidget *window, const QString &path,
                                    const QString &what = QStringLiteral("picture"), QByteArray *file = nullptr);
    // The same, in the form a model that waits for a window takes.
    static WorkerWait::Wait waitFor(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Keeps the window's Quit when `key` is its shortcut.
    void holdQuit(const QKeyEvent &key);
    bool onWindow(QObject *watched) const;
    bool isWindow(QObject *watched) const;

    QPointer<QWidget> m_window;
    bool m_closeHeld = false;
    QPointer<QAction> m_quitHeld;
};
