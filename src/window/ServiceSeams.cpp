// Calls the design window makes into parts the program does not have: the profile dialogs. Each
// does nothing harmful.

#include "window/SKTWindowController.h"

// No profile dialog: no profile is accepted.
int SKTWindowController::Open_User_Profile_Window(bool edit, const QString &side)
{
    Q_UNUSED(edit);
    Q_UNUSED(side);
    return 0;
}
