#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The report at the end of an export, a print or a mail run, in the one order they all give it: the
// result sentence only when everything was done, otherwise a sentence saying what was not; then the
// counts; then which records; then the reasons in plain words (raw texts go to the log).
struct ClosingReport {
    QString doneSentence;    // "Frame has been exported successfully."; empty: nothing said on success
    QString notDoneSentence; // what was not done, when something was not
    QString unit;            // what is counted, plural: "frames", "cards", "e-mails"
    QString verb;            // what happened to those done: "written", "printed", "sent"
    qint64 planned = 0;
    qint64 done = 0;
    QList<int> recordsNotDone;       // 0-based
    QList<int> recordsMissingValues; // 0-based: records that did not take all their values
    QStringList reasons;

    bool allDone() const
    {
        return done == planned && recordsNotDone.isEmpty() && recordsMissingValues.isEmpty() && reasons.isEmpty();
    }
    QString text() const;

    // Records as people count them, runs joined: "2, 4-30". Long lists end in "…".
    static QString recordList(QList<int> records);
};
