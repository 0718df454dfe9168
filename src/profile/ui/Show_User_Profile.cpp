#include "profile/ui/Show_User_Profile.h"

#include "platform/ui/DefaultDialog.h"
#include "profile/User_Profile_Class.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Show_User_Profile::Show_User_Profile(QWidget *parent) : ProfileDialog(parent)
{
    setObjectName(QStringLiteral("Show_User_Profile"));
    setWindowTitle(tr("Front Side User Profile Information"));
    QGridLayout *grid = rowGrid();
    const char *titles[] = {"", "Caption", "", "Value", "Source", "Series / Column"};
    for (int c = 0; c < 6; ++c)
        grid->addWidget(heading(tr(titles[c])), 0, c);
    for (int r = 0; r < 11; ++r) {
        Row &row = rows[r];
        const int line = r + 1;
        if (row.field->isPhoto) {
            grid->addWidget(row.caption_label, line, 1);
            grid->addWidget(image_path_val, line, 3);
        } else {
            const QString stem = QString::fromLatin1(kStems[r]);
            auto *caption = new QLineEdit(row.caption);
            caption->setObjectName(stem + QStringLiteral("_label"));
            caption->setReadOnly(true);
            caption->setFixedWidth(130);
            auto *captionTick = new QCheckBox;
            captionTick->setObjectName(stem + QStringLiteral("_label_chk"));
            captionTick->setToolTip(tr("Edit the caption"));
            auto *valueTick = new QCheckBox;
            valueTick->setObjectName(stem + QStringLiteral("_value_chk"));
            valueTick->setToolTip(tr("Edit the value"));
            label_boxes[r] = caption;
            label_chks[r] = captionTick;
            value_chks[r] = valueTick;
            delete row.caption_label;
            row.caption_label = nullptr;
            grid->addWidget(captionTick, line, 0);
            grid->addWidget(caption, line, 1);
            grid->addWidget(valueTick, line, 2);
            grid->addWidget(row.value, line, 3);
            QLineEdit *value = row.value;
            connect(captionTick, &QCheckBox::clicked, this, [caption](bool on) { caption->setReadOnly(!on); });
            connect(valueTick, &QCheckBox::clicked, this, [value](bool on) { value->setReadOnly(!on); });
            connect(caption, &QLineEdit::textEdited, captionTick, [captionTick] { captionTick->setChecked(true); });
            connect(value, &QLineEdit::textEdited, valueTick, [valueTick] { valueTick->setChecked(true); });
        }
        grid->addWidget(row.ds_combo, line, 4);
        grid->addWidget(row.ser_col_cb, line, 5);
        grid->addWidget(row.view_btn, line, 6);
    }
    grid->setColumnStretch(3, 1);

    auto *pictures = new QVBoxLayout;
    pictures->addWidget(heading(tr("Side")));
    pictures->addWidget(Preivew_picture);
    finish(pictures);
    Reset_all_Ctrl();
}

Show_User_Profile *Show_User_Profile::defaultInstance()
{
    return defaultDialogInstance<Show_User_Profile>();
}

void Show_User_Profile::prepare(bool edit)
{
    if (!edit) {
        setWindowTitle(tr("User Profile Information"));
        Reset_all_Ctrl();
        offerExcelAsLoaded();
        return;
    }
    prepareForShownSide();
    readBack(Graphics_array);
}

int Show_User_Profile::Open_Wnd(bool edit)
{
    prepare(edit);
    return runPrepared();
}

void Show_User_Profile::Reset_all_Ctrl()
{
    ProfileDialog::Reset_all_Ctrl();
    for (int r = 0; r < 10; ++r) {
        label_chks[r]->setChecked(false);
        value_chks[r]->setChecked(false);
    }
}

void Show_User_Profile::valueReadBack(int row)
{
    if (row < 10)
        value_chks[row]->setChecked(true);
}
