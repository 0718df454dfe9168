// Calls the design window makes into parts of the program that come later: the profile dialogs and
// the placement of profiles, the invitation content of the start wizard, and the sharing page.
// Each does nothing harmful until its part exists.

#include "window/SKTWindowController.h"

// The profile dialogs come with the profiles; until then no profile is accepted.
int SKTWindowController::Open_User_Profile_Window(bool edit, const QString &side)
{
    Q_UNUSED(edit);
    Q_UNUSED(side);
    return 0;
}

void SKTWindowController::Fill_User_profile_info_front_side() {}

void SKTWindowController::Fill_User_profile_info_back_side() {}

// The invitation's texts and photos come with the start wizard.
void SKTWindowController::Fill_Party_Invidation_Details() {}

// The sharing page's address comes with the toolbar links.
void SKTWindowController::Open_Share_It_Dl() {}
