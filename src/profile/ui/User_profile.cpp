#include "profile/ui/User_profile.h"

#include "platform/ui/DefaultDialog.h"
#include "platform/ui/Form.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

User_profile::User_profile(QWidget *parent) : ProfileDialog(parent)
{
    setObjectName(QStringLiteral("User_profile"));
    setWindowTitle(tr("User Profile Information"));
    QGridLayout *grid = rowGrid();
    select_side_label = Form::named(heading(tr("Side")), "select_side_label");
    const char *titles[] = {"Field", "Value", "Source", "Series / Column"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(heading(tr(titles[c])), 0, c);
    grid->addWidget(select_side_label, 0, 5);
    for (int r = 0; r < 11; ++r) {
        Row &row = rows[r];
        const int line = r + 1;
        grid->addWidget(row.caption_label, line, 0);
        grid->addWidget(row.field->isPhoto ? static_cast<QWidget *>(image_path_val) : row.value, line, 1);
        grid->addWidget(row.ds_combo, line, 2);
        grid->addWidget(row.ser_col_cb, line, 3);
        grid->addWidget(row.view_btn, line, 4);
        side_combos[r] = Form::comboBox(
            (QString::fromLatin1(kStems[r]) + QStringLiteral("_side_combo")).toLatin1().constData(),
            {tr("Front"), tr("Back"), tr("Both sides")});
        side_combos[r]->setMinimumWidth(100);
        grid->addWidget(side_combos[r], line, 5);
    }
    grid->setColumnStretch(1, 1);

    Template_picture = Form::named(new QLabel, "Template_picture");
    Template_picture->setFixedSize(Preivew_picture->size());
    Template_picture->setAlignment(Qt::AlignCenter);
    Template_picture->setFrameShape(QFrame::StyledPanel);
    Template_picture->setAutoFillBackground(true);
    Template_picture->setPalette(Preivew_picture->palette());
    auto *pictures = new QVBoxLayout;
    pictures->addWidget(heading(tr("Preview")));
    pictures->addWidget(Preivew_picture);
    pictures->addWidget(heading(tr("Card")));
    pictures->addWidget(Template_picture);
    finish(pictures);
    Reset_all_Ctrl();
}

User_profile *User_profile::defaultInstance()
{
    return defaultDialogInstance<User_profile>();
}

void User_profile::prepare(bool edit)
{
    if (!edit) {
        setWindowTitle(tr("User Profile Information"));
        select_side_label->show();
        for (QComboBox *side : side_combos)
            side->show();
        Reset_all_Ctrl();
        offerExcelAsLoaded();
        return;
    }
    select_side_label->hide();
    for (QComboBox *side : side_combos)
        side->hide();
    const bool back = prepareForShownSide();
    for (QComboBox *side : side_combos)
        side->setCurrentIndex(back ? 1 : 0);
    readBack(Graphics_array);
}

int User_profile::Open_Wnd(bool edit)
{
    prepare(edit);
    return runPrepared();
}

void User_profile::Reset_all_Ctrl()
{
    Template_picture->clear();
    ProfileDialog::Reset_all_Ctrl();
    for (QComboBox *side : side_combos)
        side->setCurrentIndex(2);
}

void User_profile::Create_and_Set_template_picture()
{
    ProfileDialog::Create_and_Set_template_picture();
    if (m_host)
        showPicture(Template_picture, m_host->sidePicture(Graphics_array));
}
