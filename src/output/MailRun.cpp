#include "output/MailRun.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/SeriesStore.h"
#include "output/PictureExport.h"
#include "platform/PrivateFolder.h"
#include "platform/RegularFile.h"

#include <QDir>

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

namespace {

const QString kNoSender = QStringLiteral(
    "Please make sure that:\n1.Entered E-mail Settings are correct.\n2.Internet Connectivity to E-mail server is not "
    "interrupted and E-mail server is not down.\n3.Your firewall or security software(if any) is not blocking the "
    "software to communicate with your E-mail server.");
const QString kNotSent = QStringLiteral(
    "Could not send email message.\nPlease make sure that:\n1. Entered E-mail settings are correct.\n2. Internet "
    "connectivity to E-mail server is not interrupted and E-mail server is not down.\n3. Your Firewall or Security "
    "software (if any) is not blocking the software to communicate with your E-mail server.");
const QString kNoRecipient = QStringLiteral("Please specify the Recipient E-mail address.");
const QString kBadRecipient = QStringLiteral("Recipient E-mail address is invalid or incomplete.");
constexpr int kReasonsKept = 5;

// Sends the run's mails, counts them and keeps the groups and pauses.
class Mailer {
public:
    Mailer(const MailRequest &request, const MailScript &task, const RunCounters &counters, MailReport &report)
        : m_request(request), m_task(task), m_counters(counters), m_report(report)
    {
    }

    bool stopRequested() const
    {
        if ((m_counters.stop && m_counters.stop->load()) || (m_counters.end && m_counters.end->load()))
            m_report.stopped = true;
        return m_report.stopped;
    }

    void showItem(int item) const
    {
        if (m_counters.current)
            *m_counters.current = item + 1;
    }

    // One mail; false when it did not go.
    bool sendTo(const QString &recipient, const QStringList &attachments)
    {
        Show_NSLog_Message(QStringLiteral("Sending e-mail to %1").arg(recipient));
        const MailResult result = sendEmail_pyth(m_task, recipient, m_request.subject, attachments,
                                                 m_request.settings, m_request.body, m_counters.end);
        if (result.sent) {
            ++m_report.sent;
            return true;
        }
        fail(recipient, result.reason, result.detail);
        return false;
    }

    // The script's own words go to the log; the report says each kind of failure once, plainly.
    void fail(const QString &recipient, const QString &reason, const QString &detail, qint64 mails = 1)
    {
        m_report.failed += mails;
        Show_NSLog_Message(QStringLiteral("error in mail: %1: %2").arg(recipient, detail));
        if (!m_report.reasons.contains(reason) && m_report.reasons.size() < kReasonsKept)
            m_report.reasons.append(reason);
    }

    // After item `item` of `last`: a pause when a group is full and more is to come.
    void itemDone(int item, int last)
    {
        if (m_request.groupSize <= 0 || ++m_inGroup < m_request.groupSize || item >= last)
            return;
        m_inGroup = 0;
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(m_request.pauseMs);
        while (!stopRequested()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0)
                break;
            if (m_counters.pause)
                *m_counters.pause = int(std::min<qint64>(left, std::numeric_limits<int>::max()));
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(left, 100)));
        }
        if (m_counters.pause)
            *m_counters.pause = 0;
    }

private:
    const MailRequest &m_request;
    const MailScript &m_task;
    RunCounters m_counters;
    MailReport &m_report;
    int m_inGroup = 0;
};

// The card's pictures of each record, drawn, encoded and written into the scratch folder side by
// side by the record loop while earlier records' mails go, and mailed in record order. A record's
// pictures keep the name the recipient sees, in one of as many folders as records are in flight,
// used in turn: the record that wrote there before was mailed when this one started.
class MailSink : public RecordSink {
public:
    MailSink(const MailRequest &request, const platform::PrivateFolder &scratch, Mailer &mailer)
        : m_request(request),
          m_files(
              pictureChoice(request.sides),
              [this, &scratch, name = request.baseName + QStringLiteral(".jpeg")](int record) {
                  return scratch.filePath(QString::number(record % recordsInFlight()) + QLatin1Char('/') + name);
              },
              PictureExport::FileWrites::AheadUnsynced),
          m_mailer(mailer)
    {
    }

    bool wantsFront() const override { return m_files.wantsFront(); }
    bool wantsBack() const override { return m_files.wantsBack(); }
    // The record being mailed and the next: a record is drawn and written well within one script's run.
    int recordsInFlight() const override { return 2; }
    std::any prepare(const RecordDrawing &drawing) const override { return m_files.prepare(drawing); }

    bool deliver(const RecordDrawing &drawing, std::any &prepared, QString *error) override
    {
        const int record = drawing.record;
        const QStringList &recipients = m_request.recipients;
        const qsizetype before = m_files.written().size();
        QString why;
        const bool written = m_files.deliver(drawing, prepared, &why);
        const QStringList attachments = m_files.written().mid(before);

        switch (m_request.mode) {
        case MailMode::SameCardToAll:
            if (!written) {
                m_mailer.fail(recipients.join(QStringLiteral(", ")), why, why, recipients.size());
                return failed(why, error);
            }
            for (int i = 0; i < recipients.size(); ++i) {
                if (m_mailer.stopRequested())
                    return true;
                m_mailer.showItem(i);
                if (!m_mailer.sendTo(recipients.at(i), attachments))
                    return failed(m_request.recipients.at(i), error);
                m_mailer.itemDone(i, int(recipients.size()) - 1);
            }
            return true;
        case MailMode::EveryRecordToEveryone: {
            m_mailer.showItem(record);
            qsizetype mailed = 0;
            if (!written) {
                m_mailer.fail(QStringLiteral("Record %1").arg(record + 1), why, why, recipients.size());
            } else {
                // A failure skips the record's other recipients; the run goes on with the next record.
                for (const QString &recipient : recipients) {
                    if (m_mailer.stopRequested() || !m_mailer.sendTo(recipient, attachments))
                        break;
                    ++mailed;
                }
            }
            if (mailed == recipients.size())
                m_mailed.append(record);
            m_mailer.itemDone(record, m_request.itemCount() - 1);
            return true;
        }
        case MailMode::RecordToEachRecipient: {
            m_mailer.showItem(record);
            const QString &recipient = recipients.at(record);
            if (!written) {
                m_mailer.fail(recipient, why, why);
                return failed(why, error);
            }
            if (!m_mailer.sendTo(recipient, attachments))
                return failed(recipient, error);
            m_mailed.append(record);
            m_mailer.itemDone(record, std::min(m_request.records, int(recipients.size())) - 1);
            return true;
        }
        case MailMode::WithoutCard:
            break;
        }
        return true;
    }

private:
    static ExportChoice pictureChoice(const QString &sides)
    {
        ExportChoice choice;
        choice.sides = sides;
        choice.type = QStringLiteral("jpeg");
        // Fine enough for the card's barcodes to scan from the attachment as it is.
        choice.dpi = kMailPictureDpi;
        return choice;
    }

    static bool failed(const QString &what, QString *error)
    {
        if (error)
            *error = QStringLiteral("The e-mail to %1 could not be sent.").arg(what);
        return false;
    }

public:
    // The records that went to every recipient they were meant for, in order.
    const QList<int> &mailed() const { return m_mailed; }

private:
    const MailRequest &m_request;
    PictureExport::PictureFileSink m_files;
    Mailer &m_mailer;
    QList<int> m_mailed;
};

} // namespace

int MailRequest::itemCount() const
{
    return mode == MailMode::EveryRecordToEveryone ? records : int(recipients.size());
}

qint64 MailRequest::plannedMails() const
{
    switch (mode) {
    case MailMode::EveryRecordToEveryone: return qint64(records) * recipients.size();
    case MailMode::RecordToEachRecipient: return std::min<qint64>(records, recipients.size());
    case MailMode::SameCardToAll:
    case MailMode::WithoutCard: break;
    }
    return recipients.size();
}

std::optional<QStringList> Mail_Recipients(const QString &to, QString *problem)
{
    QStringList recipients;
    const QStringList parts = Trim_Str(to).toLower().split(QLatin1Char(','));
    for (const QString &part : parts) {
        const QString address = Trim_Str(part);
        if (address.isEmpty())
            continue;
        if (!isValidEmail(address)) {
            if (problem)
                *problem = kBadRecipient;
            return std::nullopt;
        }
        recipients.append(address);
    }
    if (recipients.isEmpty()) {
        if (problem)
            *problem = kNoRecipient;
        return std::nullopt;
    }
    return recipients;
}

std::optional<MailRequest> Check_Mail_Form(const MailForm &form, const MailSettings &saved, bool bound, int records,
                                           QString *problem)
{
    const auto refuse = [problem](const QString &why) -> std::optional<MailRequest> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    MailRequest request;
    request.settings = saved;
    request.settings.sender = Trim_Str(form.from).toLower();
    if (request.settings.sender.isEmpty())
        return refuse(kNoSender);
    if (!isValidEmail(request.settings.sender))
        return refuse(QStringLiteral("Please enter valid sender E-mail address."));
    request.settings.ssl = saved.ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
    QString why;
    const auto recipients = Mail_Recipients(form.to, &why);
    if (!recipients)
        return refuse(why);
    request.recipients = *recipients;
    // A line break in the subject would start a header of the sender's choosing.
    if (!isOneLine(form.subject))
        return refuse(QStringLiteral("The subject must be a single line."));
    request.subject = form.subject;
    request.body = form.body;

    if (form.attachCard) {
        request.baseName = Remove_Reserve_Char_In_File_Name(form.fileName);
        if (!Is_Series_Name_Safe(request.baseName))
            return refuse(QStringLiteral("Please enter valid file name."));
        request.sides = form.sides;
        if (!bound)
            request.mode = MailMode::SameCardToAll;
        else if (records <= 0)
            return refuse(QStringLiteral("List is empty."));
        else
            request.mode = form.everyRecordToEveryone ? MailMode::EveryRecordToEveryone : MailMode::RecordToEachRecipient;
        request.records = bound ? records : 0;
    } else {
        request.mode = MailMode::WithoutCard;
        request.attachment = Trim_Str(form.attachment);
        if (!request.attachment.isEmpty() && !platform::isRegularFile(request.attachment))
            return refuse(QStringLiteral("Please select valid file path."));
    }
    if (form.delayed) {
        request.groupSize = std::max(1, form.groupSize);
        request.pauseMs = qint64(std::max(0, form.hours)) * 3'600'000 + qint64(std::max(0, form.minutes)) * 60'000 +
                          qint64(std::max(0, form.seconds)) * 1'000;
    }
    return request;
}

QString MailReport::message() const
{
    if (!error.isEmpty())
        return error;
    ClosingReport closing;
    closing.doneSentence = kMailSent;
    closing.unit = QStringLiteral("e-mails");
    closing.verb = QStringLiteral("sent");
    closing.planned = planned;
    closing.done = sent;
    closing.recordsMissingValues = run.failedRecords;
    closing.recordsNotDone = recordsNotMailed;
    if (failed > 0)
        closing.notDoneSentence = kNotSent;
    else if (stopped)
        closing.notDoneSentence = QStringLiteral("Stopped before all e-mails were sent.");
    else if (!recordsNotMailed.isEmpty())
        closing.notDoneSentence = QStringLiteral("Not every record was mailed.");
    else
        closing.notDoneSentence = QStringLiteral("Not every record took all its values.");
    closing.reasons = reasons + run.reasons;
    if (planned <= 0)
        closing.reasons << QStringLiteral("There was no e-mail to send.");
    return closing.text();
}

MailReport Send_Mail_Thread(const DesignSnapshot &design, const MailRequest &request, const RecordApplier &apply,
                            const MailScript &task, const RunCounters &counters)
{
    MailReport report;
    report.planned = request.plannedMails();
    if (counters.total)
        *counters.total = request.itemCount();
    if (counters.current)
        *counters.current = 0.0;
    Mailer mailer(request, task, counters, report);

    if (request.mode == MailMode::WithoutCard) {
        const QStringList attachments = request.attachment.isEmpty() ? QStringList() : QStringList{request.attachment};
        for (int i = 0; i < request.recipients.size() && !mailer.stopRequested(); ++i) {
            mailer.showItem(i);
            if (!mailer.sendTo(request.recipients.at(i), attachments))
                break;
            mailer.itemDone(i, int(request.recipients.size()) - 1);
        }
        return report;
    }

    // Readable by this user alone, and gone with everything in it when the run ends (or, after a
    // kill, at the next start).
    platform::PrivateFolder scratch(kMailScratchPrefix);
    if (!scratch.isValid()) {
        report.error = QStringLiteral("The card's pictures could not be written: %1").arg(scratch.errorString());
        return report;
    }
    MailSink sink(request, scratch, mailer);
    // The loop reads the stop flag before each record; the progress is the sink's, per mail.
    const RunCounters loopCounters{nullptr, nullptr, counters.stop, nullptr};
    switch (request.mode) {
    case MailMode::SameCardToAll:
        report.run = runRecords(design, 1, apply, sink, loopCounters);
        break;
    case MailMode::EveryRecordToEveryone:
        report.run = runRecords(design, request.records, apply, sink, loopCounters);
        break;
    case MailMode::RecordToEachRecipient:
        report.run = runRecords(design, std::min(request.records, int(request.recipients.size())), apply, sink,
                                loopCounters);
        // More recipients than records: the run ends after the last record, its progress full.
        if (!report.run.stopped && report.run.failure.isEmpty() && counters.current)
            *counters.current = request.itemCount();
        break;
    case MailMode::WithoutCard:
        break;
    }
    report.stopped = report.stopped || report.run.stopped;
    if (request.mode == MailMode::EveryRecordToEveryone || request.mode == MailMode::RecordToEachRecipient) {
        const QList<int> &mailed = sink.mailed(); // in record order
        for (int record = 0; record < request.records; ++record)
            if (!std::binary_search(mailed.begin(), mailed.end(), record))
                report.recordsNotMailed.append(record);
    }
    return report;
}

QString Unmailed_Records_Question(const MailRequest &request)
{
    const int recipients = int(request.recipients.size());
    if (request.mode != MailMode::RecordToEachRecipient || request.records <= recipients)
        return QString();
    QList<int> left;
    for (int record = recipients; record < request.records; ++record)
        left.append(record);
    return QStringLiteral("%1 records, %2 %3: %4 %5 will not be mailed. Continue?")
        .arg(request.records)
        .arg(recipients)
        .arg(recipients == 1 ? QStringLiteral("recipient") : QStringLiteral("recipients"),
             left.size() == 1 ? QStringLiteral("record") : QStringLiteral("records"), ClosingReport::recordList(left));
}

QString Calculate_Pause_Time(qint64 t)
{
    const qint64 s = std::max<qint64>(0, t) / 1000;
    const qint64 h = s / 3600, m = (s % 3600) / 60, r = s % 60;
    const QString hours = (h < 2 ? QStringLiteral("%1 Hour ") : QStringLiteral("%1 Hours ")).arg(h);
    const QString minutes = (m < 2 ? QStringLiteral("%1 Minute ") : QStringLiteral("%1 Minutes ")).arg(m);
    const QString seconds = (r < 2 ? QStringLiteral("%1 Second.") : QStringLiteral("%1 Seconds.")).arg(r);
    QString text = QStringLiteral("Pausing the process for ");
    if (h >= 1)
        return text + hours + minutes + seconds;
    if (m < 1)
        return text + seconds;
    return text + minutes + seconds;
}
