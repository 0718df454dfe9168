#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <QMutex>

#include <atomic>
#include <functional>
#include <vector>

class DesignWindowHub;

// The process-wide state of the design window, shared by the whole program.
// Names are the program's own; reset() puts back the values the program starts with, here and in
// every subsystem's state beside this one.
struct AppState {
    AppState();
    AppState(const AppState &) = delete;
    AppState &operator=(const AppState &) = delete;

    void reset();
    // A subsystem's state, made on first use, registers its own reset here; reset() calls it after
    // putting back the values of this struct.
    void addSubsystemReset(std::function<void()> reset);

    // The one design window; written once at start-up, read from any thread afterwards.
    DesignWindowHub *Main_App_wnd;

    int Card_Front_Or_Back;     // 0 front, 1 back
    int Card_Shape;             // 0 rectangle, 1 rounded rectangle, 2 oval
    QString Resource_Path;      // folder of the program's resources and data folders
    QString Data_Folder_Path;   // Resource_Path + "DataSet"

    bool Not_Draw_Only_Prop_Change;
    std::atomic<bool> Card_Value_In_Process;

    const QString Text_Ctrl_Font; // name of the default text font, used at 14 pt
    QFont All_Text_font;          // card-wide content font
    QColor All_Text_clr;          // card-wide content colour

    const QString App_Name;     // shown in the window title and in dialogs

    float last_ctrl_X;
    float last_ctrl_Y;

    QString Project_File_Name;
    const QString design_file_EXT;
    const QString batch_file_EXT;

private:
    void resetOwnValues();

    QMutex m_resetsMutex;
    std::vector<std::function<void()>> m_subsystemResets;
};

AppState &App();

// The side string of `Card_Front_Or_Back`: "B" for 1, "F" for anything else.
QString Card_Side_Code(int cardFrontOrBack);
// The current side's string.
QString currentCardSideCode();
