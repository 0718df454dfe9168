#pragma once

#include "output/RecordLoop.h"
#include "output/ui/Send_Modeless.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <thread>


// Runs a bound run's record loop on a worker thread while the progress sheet shows its counters
// (read every half second on the GUI thread) and offers Stop. One run at a time; the worker is
// always joined: when the run ends, or when the owner goes (closing the program stops the run and
// waits for it), so no thread outlives the window.
class RecordRun : public QObject {
    Q_OBJECT
public:
    explicit RecordRun(Send_Modeless *sheet, QObject *parent = nullptr);
    ~RecordRun() override;

    bool isRunning() const { return m_worker.joinable(); }
    // Starts `job` on the worker with the run's counters (the process-wide progress, stop and end
    // flags, cleared) and shows the sheet over its parent window, saying `text`. A run that draws
    // records (`records`) holds the canvas's redraws until it ends. `finished` runs on the GUI thread
    // after the job returned and the worker was joined, and once a stop question still up has been
    // closed as answered No. False while another run goes on: there is one run at a time.
    bool start(const RunSheet &text, bool records, std::function<void(const RunCounters &)> job,
               std::function<void()> finished);
    // Asks the run to stop, ends any outside program it waits on (the end flag), and waits for its
    // worker; `finished` is not called.
    void stopAndWait();
    // The counters every run reports to.
    static RunCounters counters();

    static constexpr int kTickMs = 500;

private:
    void end();

    QPointer<Send_Modeless> m_sheet;
    QTimer m_timer;
    RunCounters m_counters;
    bool m_records = false;
    std::thread m_worker;
    std::function<void()> m_finished;
    quint64 m_generation = 0; // an end posted by a run that was stopped and waited for does nothing
};
