#include "output/ui/RecordRun.h"

#include "core/MessageBoxes.h"
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

bool RecordRun::start(const RunCounters &counters, const RunSheet &text, std::function<void()> job,
                      std::function<void()> finished)
{
    if (isRunning())
        return false;
    m_counters = counters;
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
    m_worker = std::thread([this, self, generation, job = std::move(job)] {
        try {
            job();
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
    m_worker.join();
    m_timer.stop();
    if (m_sheet) {
        m_sheet->update_sending_progress_bar();
        m_sheet->hide();
    }
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
}
