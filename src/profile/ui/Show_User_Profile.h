#pragma once

#include "profile/ui/ProfileDialog.h"

#include <array>

class QCheckBox;

// The per-side profile dialog: the profile of the side the design window shows, read back from the
// side's profile objects when it opens, previewed on the temp side, and written into the side's
// profile on OK (the design window then places it). Each text field also has a caption box and two
// check boxes that make the caption and the value editable.
class Show_User_Profile : public ProfileDialog {
    Q_OBJECT
public:
    explicit Show_User_Profile(QWidget *parent = nullptr);

    static Show_User_Profile *defaultInstance();

    // Sets the dialog up as Open_Wnd does, without running it.
    void prepare(bool edit);
    // prepare, then the modal run: 1 OK, 0 Cancel.
    int Open_Wnd(bool edit);

    void Reset_all_Ctrl() override;

    // Per text field (the photo has none): `<stem>_label`, `<stem>_label_chk`, `<stem>_value_chk`.
    std::array<QLineEdit *, 10> label_boxes{};
    std::array<QCheckBox *, 10> label_chks{};
    std::array<QCheckBox *, 10> value_chks{};

protected:
    void valueReadBack(int row) override;
};
