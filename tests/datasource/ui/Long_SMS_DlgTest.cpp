#include "datasource/ui/Long_SMS_Dlg.h"

#include "datasource/DataSourceState.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

// Opens the dialog with `open`, runs `press` on it once it shows, and answers what it saw.
struct Seen {
    bool shown = false, boxShown = false, boxTicked = true, noShown = false;
    int code = -1;
};
Seen showing(const std::function<int()> &open, const std::function<void(Long_SMS_Dlg &)> &press)
{
    Seen seen;
    Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
    QTimer::singleShot(0, dialog, [&seen, dialog, press] {
        seen = {dialog->isVisible(), dialog->apply_chk->isVisible(), dialog->apply_chk->isChecked(),
                dialog->no_button->isVisible()};
        press(*dialog);
    });
    seen.code = open();
    return seen;
}

} // namespace

TEST(Long_SMS_Dlg, ShowsTheTitleAndTheLongTextUntilOk)
{
    Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
    ASSERT_EQ(dialog, Long_SMS_Dlg::defaultInstance());
    const QString text = QString(40, QLatin1Char('x')).repeated(60).replace(QStringLiteral("xx"), QStringLiteral("x "));
    // An information box after a question is information again: one button, no box.
    showing([] { return Long_SMS_Dlg::Ask_Question(QStringLiteral("Q :"), QStringLiteral("?"), true); },
            [](Long_SMS_Dlg &d) { d.no_button->click(); });
    const Seen seen = showing(
        [&text] {
            Long_SMS_Dlg::Show_Information(QStringLiteral("Version :"), text);
            return Long_SMS_Dlg::defaultInstance()->result();
        },
        [](Long_SMS_Dlg &d) { d.yes_button->click(); });
    EXPECT_TRUE(seen.shown);
    EXPECT_FALSE(seen.noShown);
    EXPECT_FALSE(seen.boxShown);
    EXPECT_EQ(seen.code, 1);
    EXPECT_EQ(DataSources().Cutom_Msg_Title, QStringLiteral("Version :"));
    EXPECT_EQ(dialog->m_Msg_Title->text(), QStringLiteral("Version :"));
    EXPECT_EQ(dialog->m_Msg_Val->toPlainText(), text);
    EXPECT_TRUE(dialog->m_Msg_Val->isReadOnly());
}

TEST(Long_SMS_Dlg, TheApplyToAllAnswerComesOnlyFromATickTheUserSaw)
{
    enum Press { Yes, No, Escape };
    const struct {
        bool boxShown;
        bool tick;
        Press press;
        bool before;
        int code;
        bool after;
    } cases[] = {
        {true, true, Yes, false, 1, true},
        {true, false, Yes, true, 1, false},
        {true, true, No, false, 0, false},
        {true, true, No, true, 0, true},
        {true, true, Escape, true, 0, true},
        // A hidden box cannot switch it on, whatever its remembered tick.
        {false, true, Yes, true, 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.boxShown << c.tick << c.press << c.before);
        // The tick of the previous question is never the start of this one.
        Long_SMS_Dlg::defaultInstance()->apply_chk->setChecked(true);
        DataSources().Msg_Apply_All_Chk = c.before;
        const Seen seen = showing(
            [&c] { return Long_SMS_Dlg::Ask_Question(QStringLiteral("Exists :"), QStringLiteral("Replace?"), c.boxShown); },
            [&c](Long_SMS_Dlg &d) {
            d.apply_chk->setChecked(c.tick);
            if (c.press == Yes)
                d.yes_button->click();
            else if (c.press == No)
                d.no_button->click();
            else
                d.reject();
            });
        EXPECT_EQ(seen.code, c.code);
        EXPECT_EQ(DataSources().Msg_Apply_All_Chk, c.after);
        EXPECT_EQ(seen.boxShown, c.boxShown);
        EXPECT_FALSE(seen.boxTicked);
        EXPECT_TRUE(seen.noShown);
        EXPECT_EQ(Long_SMS_Dlg::defaultInstance()->m_Msg_Title->text(), QStringLiteral("Exists :"));
    }
    DataSources().Msg_Apply_All_Chk = false;
}
