#pragma once

#include "output/RecordLoop.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress sheet of a bound run (export now, printing and e-mail in their turn): a bar, the total,
// the count done, a line for pauses and Stop. It shows the run's atomic counters when told to
// (a timer on the GUI thread), and Stop sets the run's stop flag once the user confirms.
class Send_Modeless : public QDialog {
    Q_OBJECT
public:
    explicit Send_Modeless(QWidget *parent = nullptr);
    ~Send_Modeless() override;

    // The sheet the design window made; null before.
    static Send_Modeless *defaultInstance();

    // A run starts: its counters, the question Stop asks and the word after the count ("Frame").
    void beginRun(const RunCounters &counters, const QString &stopQuestion, const QString &unit);
    // The counters' values into the bar and the labels.
    void update_sending_progress_bar();
    // Asks the run's question; Yes sets the stop flag.
    void Stop_Sending_Pressed();

    QProgressBar *_Curr_Progress;
    QLabel *_tot_msg_cnt;
    QLabel *_curr_msg_cnt;
    QLabel *pause_label;
    QPushButton *_stop_btn;

private:
    RunCounters m_counters;
    QString m_stopQuestion;
    QString m_unit;
};
