#include "datasource/ui/Long_SMS_Dlg.h"

#include "datasource/DataSourceState.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Long_SMS_Dlg::Long_SMS_Dlg(QWidget *parent)
    : QDialog(parent), m_Msg_Title(new QLabel(this)), m_Msg_Val(new QPlainTextEdit(this)),
      apply_chk(new QCheckBox(tr("Apply to all"), this)), yes_button(new QPushButton(tr("OK"), this)),
      no_button(new QPushButton(tr("No"), this))
{
    setObjectName(QStringLiteral("Long_SMS_Dlg"));
    setModal(true);
    DialogLook::applyBackground(this);

    m_Msg_Title->setObjectName(QStringLiteral("_Msg_Title"));
    DialogLook::makeHeading(m_Msg_Title);
    m_Msg_Title->setWordWrap(true);
    m_Msg_Val->setObjectName(QStringLiteral("_Msg_Val"));
    m_Msg_Val->setReadOnly(true);
    m_Msg_Val->setMinimumSize(380, 140);
    m_Msg_Val->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    apply_chk->setObjectName(QStringLiteral("apply_chk"));
    yes_button->setObjectName(QStringLiteral("yes_button"));
    yes_button->setDefault(true);
    no_button->setObjectName(QStringLiteral("no_button"));
    no_button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(apply_chk);
    buttons->addStretch(1);
    buttons->addWidget(no_button);
    buttons->addWidget(yes_button);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(m_Msg_Title);
    layout->addWidget(m_Msg_Val, 1);
    layout->addLayout(buttons);

    connect(yes_button, &QPushButton::clicked, this, [this] { OKPressed(); });
    connect(no_button, &QPushButton::clicked, this, [this] { CancelPressed(); });
}

Long_SMS_Dlg *Long_SMS_Dlg::defaultInstance()
{
    return defaultDialogInstance<Long_SMS_Dlg>();
}

void Long_SMS_Dlg::Show_Information(const QString &title, const QString &text)
{
    DataSourceState &state = DataSources();
    state.Cutom_Msg_Title = title;
    state.Cutom_Msg_Val = text;
    defaultInstance()->Open_Long_sms_Dialog();
}

int Long_SMS_Dlg::Ask_Question(const QString &title, const QString &text, bool applyToAllShown)
{
    Long_SMS_Dlg *dialog = defaultInstance();
    dialog->title_val = title;
    dialog->msg_val_str = text;
    dialog->apply_chk_show = applyToAllShown;
    return dialog->Open_Long_sms_Dialog();
}

int Long_SMS_Dlg::Open_Long_sms_Dialog()
{
    const bool question = !title_val.isEmpty();
    const QString title = question ? title_val : DataSources().Cutom_Msg_Title;
    setWindowTitle(title);
    m_Msg_Title->setText(title);
    m_Msg_Val->setPlainText(question ? msg_val_str : DataSources().Cutom_Msg_Val);
    yes_button->setText(question ? tr("Yes") : tr("OK"));
    no_button->setVisible(question);
    // A tick left from an earlier question must not answer this one.
    apply_chk->setChecked(false);
    apply_chk->setVisible(apply_chk_show);
    const int code = exec();
    hide();
    title_val.clear();
    msg_val_str.clear();
    apply_chk_show = false;
    return code;
}

void Long_SMS_Dlg::OKPressed()
{
    // Only a box the user saw can say "all": a hidden one answers no.
    DataSources().Msg_Apply_All_Chk = apply_chk->isVisibleTo(this) && apply_chk->isChecked();
    done(1);
}

void Long_SMS_Dlg::CancelPressed()
{
    done(0);
}

void Long_SMS_Dlg::reject()
{
    CancelPressed();
}
