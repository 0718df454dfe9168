#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// A small frameless panel asking the user to wait, with a busy indicator. It never blocks: the
// caller shows it, carries on, and hides it when done.
class PleaseWait_Modeless : public QWidget {
    Q_OBJECT
public:
    explicit PleaseWait_Modeless(QWidget *parent = nullptr);

    void setMessage(const QString &message);
    QString message() const;
    // How far the work is: the bar fills; a total of 0 makes it a busy indicator again.
    void setProgress(qint64 done, qint64 total);
    int progressPercent() const;

    // Shows the panel centred over its parent's window (or the screen) without taking the focus.
    void showPanel();
    void hidePanel();

    // Work for the window that ends sooner than this shows no sheet (InputShield::runLong): a flash
    // would only distract.
    int delayMs = 500;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_message;
    QProgressBar *m_busy;
};
