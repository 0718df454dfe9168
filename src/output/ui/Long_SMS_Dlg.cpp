#include "output/ui/Long_SMS_Dlg.h"

#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

Long_SMS_Dlg::Long_SMS_Dlg(QWidget *parent)
    : QDialog(parent), msg_title_lbl(new QLabel(this)), msg_text_view(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Long_SMS_Dlg"));
    setModal(true);
    DialogLook::applyBackground(this);

    msg_title_lbl->setObjectName(QStringLiteral("msg_title_lbl"));
    DialogLook::makeHeading(msg_title_lbl);
    msg_title_lbl->setWordWrap(true);
    msg_text_view->setObjectName(QStringLiteral("msg_text_view"));
    msg_text_view->setReadOnly(true);
    msg_text_view->setMinimumSize(380, 140);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    OK_btn = buttons->button(QDialogButtonBox::Ok);
    OK_btn->setObjectName(QStringLiteral("OK_btn"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Btn_Clicked(); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(msg_title_lbl);
    layout->addWidget(msg_text_view, 1);
    layout->addWidget(buttons);
}

Long_SMS_Dlg *Long_SMS_Dlg::defaultInstance()
{
    return defaultDialogInstance<Long_SMS_Dlg>();
}

void Long_SMS_Dlg::Set_Message(const QString &title, const QString &text)
{
    setWindowTitle(title);
    msg_title_lbl->setText(title);
    msg_text_view->setPlainText(text);
}

int Long_SMS_Dlg::Open_Long_sms_Dialog()
{
    return exec();
}

void Long_SMS_Dlg::OK_Btn_Clicked()
{
    done(1);
}
