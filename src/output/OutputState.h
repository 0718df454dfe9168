#pragma once

#include "platform/Guarded.h"

#include <QString>

#include <atomic>

// The process-wide values of export, printing and e-mail: what an export wrote, the progress of a
// batch run shared with its workers and timers, and the mail settings in force. reset() puts back
// the values the program starts with (App().reset() calls it). Flags and counters that workers
// share are atomic.
struct OutputState {
    OutputState();
    OutputState(const OutputState &) = delete;
    OutputState &operator=(const OutputState &) = delete;

    void reset();

    QString export_card_side; // "F", "B" or "BOTH"
    QString Export_File_Path;
    QString Export_File_Message;
    const QString unable_saving_Msg;

    // Progress of a batch export or mail run.
    std::atomic<bool> Stop_SMS_Sending_Now;
    std::atomic<int> list_count;
    std::atomic<double> curr_barcode_count;
    platform::Guarded<QString> curr_msg_count; // progress text last shown ("%d / %d ")
    std::atomic<int> Pause_Delay_Time;          // milliseconds left of a pause between mails
    std::atomic<bool> End_Outside_Programs;     // the program closes: a running mail script is ended

    // Mail settings in force (loaded by Get_Email_Details).
    QString sender_email, sender_pwd, sending_server, sending_port, send_enable_ssl;

    bool yes_no_msg_val;
};

OutputState &Output();
