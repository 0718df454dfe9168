#include "output/ui/Long_SMS_Dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

TEST(Long_SMS_Dlg, ShowsTheTitleAndTheLongTextUntilOk)
{
    Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
    ASSERT_EQ(dialog, Long_SMS_Dlg::defaultInstance());
    const QString text = QString(40, QLatin1Char('x')).repeated(60).replace(QStringLiteral("xx"), QStringLiteral("x "));
    dialog->Set_Message(QStringLiteral("Version :"), text);
    QTimer::singleShot(0, dialog, [dialog] {
        EXPECT_TRUE(dialog->isVisible());
        dialog->OK_btn->click();
    });
    EXPECT_EQ(dialog->Open_Long_sms_Dialog(), 1);
    EXPECT_EQ(dialog->msg_title_lbl->text(), QStringLiteral("Version :"));
    EXPECT_EQ(dialog->msg_text_view->toPlainText(), text);
    EXPECT_TRUE(dialog->msg_text_view->isReadOnly());
    // The information form has OK alone.
    EXPECT_EQ(dialog->findChildren<QPushButton *>().size(), 1);
}
