#pragma once

#include "profile/ui/ProfileDialog.h"

#include <array>

// The new-card profile dialog: one profile entered while a card is being set up (from the template
// browser), written into both the front and the back profile on OK. Each field also has a side
// list, shown for a new card, whose choice nothing reads; a second picture shows the side as it
// was when the dialog was opened for a side.
class User_profile : public ProfileDialog {
    Q_OBJECT
public:
    explicit User_profile(QWidget *parent = nullptr);

    static User_profile *defaultInstance();

    void prepare(bool edit);
    int Open_Wnd(bool edit);

    void Reset_all_Ctrl() override;
    void Create_and_Set_template_picture() override;

    QLabel *select_side_label;
    QLabel *Template_picture;
    std::array<QComboBox *, 11> side_combos{}; // `<stem>_side_combo`
};
