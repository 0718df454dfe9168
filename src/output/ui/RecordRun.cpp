#include "output/ui/RecordRun.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/OutputState.h"
#include "output/ui/Send_Modeless.h"

#include <exception>

RecordRun::RecordRun(Send_Modeless *sheet, QObject *parent) : QObject(parent), m_sheet(sheet)
{
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_sheet)
            m_sheet->update_sending_progress_bar();
    });
}

RecordRun::~RecordRun()
{
    stopAndWait();
}

RunCounters RecordRun::counters()
{
    OutputState &output = Output();
    return RunCounters{&output.list_count, &output.curr_barcode_count, &output.Stop_SMS_Sending_Now,
                       &output.Pause_Delay_Time, &output.End_Outside_Programs};
}

bool RecordRun::start(const RunSheet &text, bool records, std::function<void(const RunCounters &)> job,
                      std::function<void()> finished)
{
    if (isRunning())
        return false;
    const RunCounters counters = RecordRun::counters();
    counters.stop->store(false);
    counters.end->store(false);
    m_counters = counters;
    m_records = records;
    if (records)
        App().Card_Value_In_Process = true;
    m_finished = std::move(finished);
    if (m_sheet) {
        m_sheet->beginRun(counters, text);
        m_sheet->setWindowModality(Qt::WindowModal);
        m_sheet->show();
        m_sheet->raise();
    }
    m_timer.start();
    QPointer<RecordRun> self(this);
    const quint64 generation = ++m_generation;
    m_worker = std::thread([this, self, generation, counters, job = std::move(job)] {
        try {
            job(counters);
        } catch (const std::exception &e) {
            Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
        // The GUI thread joins the worker; after stopAndWait the object may be gone.
        QMetaObject::invokeMethod(this, [self, generation] {
            if (self && self->m_generation == generation)
                self->end();
        }, Qt::QueuedConnection);
    });
    return true;
}

void RecordRun::end()
{
    if (!m_worker.joinable())
        return;
    // A stop question still up has lost its point: it goes first, as answered No, then the run ends.
    if (m_sheet && m_sheet->isAsking()) {
        QPointer<RecordRun> self(this);
        m_sheet->closeStopQuestion([self, generation = m_generation] {
            if (self && self->m_generation == generation)
                self->end();
        });
        return;
    }
    m_worker.join();
    m_timer.stop();
    if (m_sheet) {
        m_sheet->update_sending_progress_bar();
        m_sheet->hide();
    }
    if (std::exchange(m_records, false))
        App().Card_Value_In_Process = false;
    if (auto finished = std::exchange(m_finished, {}))
        finished();
}

void RecordRun::stopAndWait()
{
    if (!m_worker.joinable())
        return;
    if (m_counters.stop)
        m_counters.stop->store(true);
    if (m_counters.end)
        m_counters.end->store(true);
    m_worker.join();
    m_timer.stop();
    m_finished = {};
    if (m_sheet)
        m_sheet->hide();
    if (std::exchange(m_records, false))
        App().Card_Value_In_Process = false;
}
