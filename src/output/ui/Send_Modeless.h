#pragma once

#include "output/RecordLoop.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// What the progress sheet says of a run.
struct RunSheet {
    QString title;        // what runs: "Exporting", "Printing", "Sending E-mail"
    QString unit;         // the word after the count: "Frame"
    QString stopQuestion; // what Stop asks
    QString stopping;     // what the sheet says once Stop is confirmed
};

// The progress sheet of a bound run (export, printing and e-mail): a bar, the total, the count done,
// a line for pauses and Stop. It shows the run's atomic counters when told to (a timer on the GUI
// thread), and Stop sets the run's stop flag once the user confirms. Closing it asks as Stop does:
// it stays while its run lives.
class Send_Modeless : public QDialog {
    Q_OBJECT
public:
    explicit Send_Modeless(QWidget *parent = nullptr);

    // A run starts: its counters and what the sheet says of it.
    void beginRun(const RunCounters &counters, const RunSheet &text);
    // The counters' values into the bar and the labels.
    void update_sending_progress_bar();
    // Asks the run's question; Yes sets the stop flag.
    void Stop_Sending_Pressed();
    bool isAsking() const { return m_asking; }
    // The run ended while its stop question is up: the question is closed as answered No, and
    // `afterwards` runs on the event loop once the question has gone.
    void closeStopQuestion(std::function<void()> afterwards);
    // Closing the sheet (its title bar's button, Escape) is a Stop.
    void reject() override;

    QProgressBar *_Curr_Progress;
    QLabel *_tot_msg_cnt;
    QLabel *_curr_msg_cnt;
    QLabel *pause_label;
    QPushButton *_stop_btn;

private:
    RunCounters m_counters;
    RunSheet m_text;
    bool m_asking = false;
    std::function<void()> m_afterQuestion;
};
