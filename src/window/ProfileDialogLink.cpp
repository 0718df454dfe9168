// The profile dialogs reach the design through the window, which lends them its profiles, sides and
// pictures; a profile accepted for a new card waits until the card is loaded.

#include "window/SKTWindowController.h"

#include "canvas/SKTRenderingView.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceState.h"
#include "datasource/Data_From_Excel.h"
#include "document/SKTDocument.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"

class ProfileHost : public ProfileDialogHost {
public:
    explicit ProfileHost(SKTWindowController &window) : m_window(window) {}

    User_Profile_Class &profile(Profile which) override
    {
        return which == Front ? *m_window.Front_user_profile
               : which == Back ? *m_window.Back_user_profile
                               : *m_window.TEMP_user_profile;
    }
    bool backShown() const override { return App().Card_Front_Or_Back == 1; }
    GraphicList shownSideObjects() const override
    {
        const SKTGraphicList *side = backShown() ? m_window.Get_Back_Controls_Array() : m_window.Get_Front_Controls_Array();
        return side ? side->items() : GraphicList();
    }
    QImage sidePicture(const GraphicList &objects) override
    {
        const Card_Property &face = backShown() ? m_window.Back_card_Prop : m_window.Front_card_Prop;
        return SKTRenderingView::image_From_Card_Graphics(objects, false, face, App().Card_Shape,
                                                          m_window.frontCanvasBounds())
            .toImage();
    }
    GraphicList previewTempProfile() override
    {
        AppState &app = App();
        const float x = app.last_ctrl_X, y = app.last_ctrl_Y;
        m_window.Temp_Design_Control_Assign(true);
        m_window.Fill_User_profile_info_TEMP_side();
        app.last_ctrl_X = x;
        app.last_ctrl_Y = y;
        return m_window.Get_Temp_Controls_Array();
    }
    void View_Data_Series(const QString &seriesName) override { m_window.View_Data_Series(seriesName); }
    void Batch_Series_Button() override { m_window.Batch_Series_Button(); }

    // What the new-card dialog's OK wrote, kept while the chosen template replaces the design: the
    // profiles, and the sheet they are bound to.
    std::unique_ptr<User_Profile_Class> newCardFront, newCardBack;
    struct BoundSheet {
        bool use = false;
        QString path;
        QStringList titles;
        QList<QVariantMap> rows;
    };
    BoundSheet newCardSheet;

private:
    SKTWindowController &m_window;
};

void SKTWindowController::connectProfileDialogs()
{
    if (!m_profileHost)
        m_profileHost = std::make_shared<ProfileHost>(*this);
    Show_User_Profile::defaultInstance()->setHost(m_profileHost.get());
    User_profile::defaultInstance()->setHost(m_profileHost.get());
}

int SKTWindowController::Open_User_Profile_Window(bool edit, const QString &side)
{
    connectProfileDialogs();
    const QString code = Trim_Str(side);
    int result = 0;
    if (!code.isEmpty()) {
        Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
        dialog->load_side = code;
        result = dialog->Open_Wnd(edit);
    } else {
        User_profile *dialog = User_profile::defaultInstance();
        dialog->load_side.clear();
        result = dialog->Open_Wnd(edit);
    }
    if (result != 1)
        return result;
    Profiles().Fill_User_Profile = true;
    if (code.isEmpty()) {
        m_profileHost->newCardFront = std::make_unique<User_Profile_Class>(*Front_user_profile);
        m_profileHost->newCardBack = std::make_unique<User_Profile_Class>(*Back_user_profile);
        const Data_From_Excel *excel = Data_From_Excel::defaultInstance();
        m_profileHost->newCardSheet = {DataSources().Excel_Binding_Use, DataSources().Excel_Source_Path,
                                       excel->columnTitles(), excel->ListData};
    }
    return result;
}

void SKTWindowController::Place_New_Card_Profile()
{
    // Loading the card reset both profiles; the ones entered for it come back and are placed.
    if (!m_profileHost || !m_profileHost->newCardFront)
        return;
    *Front_user_profile = *m_profileHost->newCardFront;
    *Back_user_profile = *m_profileHost->newCardBack;
    m_profileHost->newCardFront.reset();
    m_profileHost->newCardBack.reset();
    // The template bound no sheet: the one the dialog loaded comes back, so the merge runs per row.
    const ProfileHost::BoundSheet sheet = std::exchange(m_profileHost->newCardSheet, {});
    if (sheet.use) {
        DataSources().Excel_Binding_Use = true;
        DataSources().Excel_Source_Path = sheet.path;
        Data_From_Excel *excel = Data_From_Excel::defaultInstance();
        excel->setColumnTitles(sheet.titles);
        excel->setListData(sheet.rows);
        Add_Excel_Col_Name_In_Combo(Data_source_type);
    }
    Profiles().Fill_User_Profile = true;
    Fill_User_profile_Details();
    Refresh_Canvas();
}

void SKTWindowController::Forget_New_Card_Profile()
{
    if (!m_profileHost)
        return;
    m_profileHost->newCardFront.reset();
    m_profileHost->newCardBack.reset();
    m_profileHost->newCardSheet = {};
}
