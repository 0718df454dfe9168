#include "output/ui/Send_Modeless.h"

#include "output/MailRun.h"
#include "platform/UiServices.h"
#include "platform/ui/DialogLook.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

Send_Modeless::Send_Modeless(QWidget *parent)
    : QDialog(parent, Qt::Sheet), _Curr_Progress(new QProgressBar(this)), _tot_msg_cnt(new QLabel(this)),
      _curr_msg_cnt(new QLabel(this)), pause_label(new QLabel(this)), _stop_btn(new QPushButton(tr("Stop"), this))
{
    setObjectName(QStringLiteral("Send_Modeless"));
    setWindowTitle(tr("Exporting"));
    DialogLook::applyBackground(this);
    _Curr_Progress->setObjectName(QStringLiteral("_Curr_Progress"));
    _tot_msg_cnt->setObjectName(QStringLiteral("_tot_msg_cnt"));
    _curr_msg_cnt->setObjectName(QStringLiteral("_curr_msg_cnt"));
    pause_label->setObjectName(QStringLiteral("pause_label"));
    _stop_btn->setObjectName(QStringLiteral("_stop_btn"));
    _Curr_Progress->setMinimumWidth(340);
    _Curr_Progress->setTextVisible(false);
    pause_label->setWordWrap(true);
    pause_label->hide();
    _stop_btn->setAutoDefault(false);
    connect(_stop_btn, &QPushButton::clicked, this, [this] { Stop_Sending_Pressed(); });

    auto *counts = new QFormLayout;
    counts->setLabelAlignment(Qt::AlignRight);
    counts->addRow(tr("Total:"), _tot_msg_cnt);
    counts->addRow(tr("Done:"), _curr_msg_cnt);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(_stop_btn, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(_Curr_Progress);
    layout->addLayout(counts);
    layout->addWidget(pause_label);
    layout->addWidget(buttons);
}

void Send_Modeless::beginRun(const RunCounters &counters, const RunSheet &text)
{
    m_counters = counters;
    m_text = text;
    setWindowTitle(text.title);
    _stop_btn->setEnabled(true);
    pause_label->hide();
    update_sending_progress_bar();
}

void Send_Modeless::update_sending_progress_bar()
{
    const int total = m_counters.total ? m_counters.total->load() : 0;
    const int done = m_counters.current ? static_cast<int>(m_counters.current->load()) : 0;
    _Curr_Progress->setRange(0, std::max(total, 1));
    _Curr_Progress->setValue(std::min(done, total));
    _tot_msg_cnt->setText(QString::number(total));
    _curr_msg_cnt->setText(QStringLiteral("%1 / %2 %3").arg(done).arg(total).arg(m_text.unit).trimmed());
    // A pause between mails counts down in whole seconds; once Stop is confirmed its line says so instead.
    if (m_counters.pause && !(m_counters.stop && m_counters.stop->load())) {
        const qint64 left = m_counters.pause->load();
        if (left > 0)
            pause_label->setText(Calculate_Pause_Time((left + 999) / 1000 * 1000));
        pause_label->setVisible(left > 0);
    }
}

void Send_Modeless::Stop_Sending_Pressed()
{
    if (!m_counters.stop || m_counters.stop->load() || m_asking)
        return;
    m_asking = true;
    const platform::UiServices::Answer answer = platform::uiServices().askYesNo(m_text.stopQuestion);
    m_asking = false;
    // The run ended meanwhile: there is nothing left to stop, and its report comes now.
    if (auto afterwards = std::exchange(m_afterQuestion, {})) {
        QMetaObject::invokeMethod(this, std::move(afterwards), Qt::QueuedConnection);
        return;
    }
    if (answer != platform::UiServices::Answer::Yes)
        return;
    m_counters.stop->store(true);
    // The record under way is finished first.
    _stop_btn->setEnabled(false);
    pause_label->setText(m_text.stopping);
    pause_label->show();
}

void Send_Modeless::closeStopQuestion(std::function<void()> afterwards)
{
    m_afterQuestion = std::move(afterwards);
    platform::uiServices().closeQuestion(m_text.stopQuestion);
}

void Send_Modeless::reject()
{
    // Hidden, the run would go on with no Stop left: the sheet goes when the run has ended.
    Stop_Sending_Pressed();
}
