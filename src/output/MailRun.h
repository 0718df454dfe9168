#pragma once

#include "output/MailScript.h"
#include "output/RecordLoop.h"

#include <QString>
#include <QStringList>

#include <optional>

// Mailing the card: the same card to every recipient, one mail per record of the bound data to every
// recipient or record i to recipient i, or a plain mail without the card; in groups with a pause
// between them, on a worker, through the mail script.

enum class MailMode {
    SameCardToAll = 1,         // the design as it stands, drawn once
    EveryRecordToEveryone = 2, // one item per record, sent to every recipient
    RecordToEachRecipient = 3, // record i to recipient i
    WithoutCard = 4,           // the text alone, with a file of the user's choice
};

// The mail window as the user left it.
struct MailForm {
    QString from, to, subject, body;
    bool attachCard = true;
    QString sides = QStringLiteral("F"); // "F", "B" or "BOTH"
    QString fileName;                    // base name of the card's pictures
    bool everyRecordToEveryone = true;
    QString attachment; // without the card
    bool delayed = false;
    int groupSize = 1, hours = 0, minutes = 0, seconds = 0;
};

// A run as settled on the GUI thread before the worker starts: the worker reads nothing else.
struct MailRequest {
    MailMode mode = MailMode::SameCardToAll;
    QString sides = QStringLiteral("F");
    QStringList recipients;
    QString subject, body;
    MailSettings settings;
    QString baseName = QStringLiteral("ZOLTFrame");
    QString attachment; // empty for none
    int records = 0;    // of the bound data, in modes 2 and 3
    int groupSize = 0;  // mails (records in mode 2) between pauses; 0 for no pause
    qint64 pauseMs = 0;

    // What the progress counts: recipients, or records in mode 2.
    int itemCount() const;
    // The mails the run means to send.
    qint64 plannedMails() const;
};

// The recipients of the "To" text: lower-cased, split at ",", each part trimmed and empty parts left
// out. Nothing when a part is not an address; `problem` then says so.
std::optional<QStringList> Mail_Recipients(const QString &to, QString *problem = nullptr);

// Checks the form in the run's order and settles the request with the saved account; `bound` is
// whether a data box is ticked and `records` the records the run then has. Nothing, and the first
// problem's message, when the run cannot start.
std::optional<MailRequest> Check_Mail_Form(const MailForm &form, const MailSettings &saved, bool bound, int records,
                                           QString *problem);

// How a run ended.
struct MailReport {
    QString error;        // nothing was sent at all, and why
    qint64 planned = 0;   // mails the run meant to send
    qint64 sent = 0;      // accepted by the server
    qint64 failed = 0;    // refused, not answered, ended by the time limit, or their picture not written
    bool stopped = false; // the user asked to stop
    RunReport run;        // the records' values, in the modes with records
    QList<int> recordsNotMailed; // 0-based: records that did not reach every recipient meant for them
    QStringList reasons;  // each kind of failure once, in plain words (the script's own go to the log)

    bool succeeded() const
    {
        return error.isEmpty() && !stopped && planned > 0 && sent == planned && recordsNotMailed.isEmpty();
    }
    // The closing message: success only when every mail went, else the counts.
    QString message() const;
};

inline const QString kMailSent = QStringLiteral("E-mail has been sent successfully.");
// The private folder a run writes the card's pictures into: "card-mail-XXXXXX".
inline const QString kMailScratchPrefix = QStringLiteral("card-mail");
// The resolution of the card's pictures in a mail.
inline constexpr double kMailPictureDpi = 300.0;

// With record i to recipient i and more records than recipients, the question to ask before the run
// ("30 records, 3 recipients: records 4-30 will not be mailed. Continue?"); empty otherwise.
QString Unmailed_Records_Question(const MailRequest &request);

// The run, on the calling thread (a worker): the card's pictures are drawn from `design` through
// the record loop, the next records' while a mail goes, and written into a private temporary
// folder that is removed at the end. Progress is the items done of `counters`; the stop flag is
// read before each mail and during pauses, whose remaining milliseconds go to `counters.pause`.
MailReport Send_Mail_Thread(const DesignSnapshot &design, const MailRequest &request, const RecordApplier &apply,
                            const MailScript &task, const RunCounters &counters);

// "Pausing the process for 1 Hour 2 Minutes 5 Seconds." for `t` milliseconds.
QString Calculate_Pause_Time(qint64 t);
