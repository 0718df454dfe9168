#include "core/AppState.h"

#include "core/FontNames.h"
#include "core/Side_Code.h"

AppState::AppState()
    : Text_Ctrl_Font(QStringLiteral("TimesNewRomanPS-ItalicMT")),
      App_Name(QStringLiteral("Card Designer")),
      design_file_EXT(QStringLiteral("zkse")),
      batch_file_EXT(QStringLiteral("txt"))
{
    resetOwnValues();
}

void AppState::reset()
{
    resetOwnValues();
    std::vector<std::function<void()>> resets;
    {
        QMutexLocker lock(&m_resetsMutex);
        resets = m_subsystemResets;
    }
    for (const std::function<void()> &subsystemReset : resets)
        subsystemReset();
}

void AppState::addSubsystemReset(std::function<void()> reset)
{
    QMutexLocker lock(&m_resetsMutex);
    m_subsystemResets.push_back(std::move(reset));
}

void AppState::resetOwnValues()
{
    Main_App_wnd = nullptr;
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
    Resource_Path.clear();
    Data_Folder_Path.clear();
    Not_Draw_Only_Prop_Change = false;
    Card_Value_In_Process = false;
    All_Text_font = Font_With_Name(Text_Ctrl_Font, 14.0);
    All_Text_clr = QColor(Qt::black);
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    Project_File_Name.clear();
}

AppState &App()
{
    static AppState state;
    return state;
}

QString Card_Side_Code(int cardFrontOrBack)
{
    return Side_Code_Name(cardFrontOrBack == 1 ? Side_Code::Back : Side_Code::Front);
}

QString currentCardSideCode()
{
    return Card_Side_Code(App().Card_Front_Or_Back);
}
