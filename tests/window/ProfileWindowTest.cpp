#include "DesignWindowFixture.h"

#include "core/UnitConversion.h"
#include "datasource/DataSourceState.h"
#include "profile/ProfilePlacement.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"

#include <QComboBox>
#include <QToolButton>

TEST_F(DesignWindowTest, ProfileLayoutFitsEveryPresetCardOfItsOrientation)
{
    load();
    const struct {
        const char *category;
        int rows;
    } categories[] = {{"PVC Card", int(window->pvc_card_arry.size())}, {"Paper", int(window->paper_card_arry.size())}};
    for (const auto &category : categories) {
        for (int row = 0; row < category.rows; ++row) {
            for (const char *turn : {"H", "V"}) {
                const QSizeF mm = SKTWindowController::Get_My_card_Size(category.category, turn, row);
                const QSizeF card(MM_to_Points_Convert(float(mm.width())), MM_to_Points_Convert(float(mm.height())));
                for (const Profile_Layout_Entry &entry : Profile_Layout_Table()) {
                    const QRectF rect = Get_Control_Rect_From_Template(entry.tag, card);
                    EXPECT_FALSE(rect.isEmpty());
                    EXPECT_TRUE(QRectF(QPointF(), card).contains(rect))
                        << category.category << row << turn << entry.tag;
                }
            }
        }
    }
}

TEST_F(DesignWindowTest, TheUserProfileFillPlacesOnlyAnAcceptedProfileAndKeepsTheToolbarsTool)
{
    load();
    const int tool = window->Selected_Control_Tool(); // the arrow
    window->Front_user_profile->Name = QStringLiteral("Ann");
    window->Front_user_profile->image = QStringLiteral("/no/such/photo.png");
    DataSources().Excel_Binding_Use = true;

    window->Fill_User_profile_info_front_side(); // not accepted: only the panel's source list follows
    EXPECT_EQ(window->Data_source_type->count(), 3);
    EXPECT_EQ(document->graphics().count(), 0);

    Profiles().Fill_User_Profile = true;
    DataSources().Excel_Binding_Use = false;
    window->Fill_User_profile_info_front_side();
    EXPECT_EQ(window->Data_source_type->count(), 2);
    EXPECT_EQ(document->graphics().count(), 2);
    EXPECT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages.value(0).contains("/no/such/photo.png"));
    EXPECT_EQ(window->Selected_Control_Tool(), tool);
    EXPECT_TRUE(window->toolButtons[tool]->isChecked());
    EXPECT_EQ(window->_graphicView->Selected_Graphic(), document->graphics().at(0));

    document->undoManager().undo(); // the new objects go in one undoable step
    EXPECT_EQ(document->graphics().count(), 0);
}
