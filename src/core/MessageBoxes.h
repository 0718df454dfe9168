#pragma once

#include "platform/UiServices.h"

#include <QString>

#include <exception>

// Message boxes that any thread may raise. A call from a worker waits on the GUI thread's box.
// Exceptions are logged, never thrown.

// Shows "\n" + message with one "OK" button.
void Show_MessageBox(const QString &message);
// Asks the question with "Yes" and "No"; true only for "Yes".
bool Show_YES_NO_MessageBox(const QString &question);
// The same question for commands that guard the user's work: Escape or closing the box answers
// Cancelled, and the command then stops with nothing changed.
platform::UiServices::Answer Show_YES_NO_Cancel_MessageBox(const QString &question);
// The same with a "Cancel" button shown, for a question whose text offers Cancel.
platform::UiServices::Answer Show_YES_NO_Cancel_Shown_MessageBox(const QString &question);
// As Show_MessageBox, shown on the calling thread: for the GUI thread only.
void Show_MessageBox_No_Thread(const QString &message);
// Writes a line to the system log; nothing for a null or empty text.
void Show_NSLog_Message(const QString &text);

// Runs `body`; an exception it throws is written to the system log instead of going on, so that
// it never crosses an event loop or ends a command half done without a word. False when it threw.
template <typename Body>
bool Log_Exceptions(Body &&body)
{
    try {
        body();
        return true;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

// Removes the file or folder at `path` (a folder with its contents) when its folder lets it; failures
// are ignored.
void Delete_File(const QString &path);
// Creates the data folders that are missing.
void Check_Path_And_Create_Files();
// Opens the help document, or says that it is missing.
void Open_Help_File();
// Opens a file or folder with the desktop's program for it; where none can be started, says so,
// naming it, so that the user can open it another way.
void Open_With_Desktop(const QString &path);
