#include "window/Start_Card.h"

#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "window/WindowState.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>

namespace {

class StartCardTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    Start_Card w;

    StartCardTest() { Win().reset(); }
    ~StartCardTest() override { Win().reset(); }

    QPushButton *button(const char *name) { return w.findChild<QPushButton *>(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(StartCardTest, EachChoiceRecordsItsOptionAndEndsWithOk)
{
    EXPECT_EQ(Win().Start_Card_Option, "T");
    const std::pair<const char *, const char *> choices[] = {
        {"Using_Wizard_btn", "W"}, {"Open_Log_btn", "L"}, {"Using_Template_btn", "T"}};
    for (const auto &[name, code] : choices) {
        w.setResult(-1);
        button(name)->click();
        EXPECT_EQ(Win().Start_Card_Option, QString::fromLatin1(code)) << name;
        EXPECT_EQ(w.result(), 1) << name;
    }
    w.setResult(-1);
    w.Select_card_option(7, nullptr); // no such option: the choice stays, the run still ends with OK
    EXPECT_EQ(Win().Start_Card_Option, "T");
    EXPECT_EQ(w.result(), 1);
    EXPECT_TRUE(services->terminations.isEmpty());
}

TEST_F(StartCardTest, CancelClearsTheChoiceAndQuits)
{
    button("Cancel_btn")->click();
    EXPECT_TRUE(Win().Start_Card_Option.isEmpty());
    EXPECT_EQ(w.result(), 0);
    EXPECT_EQ(services->terminations, QList<int>{0});

    // Closing the window is the same as Cancel.
    Win().Start_Card_Option = QStringLiteral("W");
    w.reject();
    EXPECT_TRUE(Win().Start_Card_Option.isEmpty());
    EXPECT_EQ(services->terminations, (QList<int>{0, 0}));
}

TEST_F(StartCardTest, HelpOpensTheHelpDocument)
{
    button("Help_btn")->click();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nHelp file does not exist!")});

    QFile help(app.resourcePath() + QStringLiteral("Help.pdf"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    button("Help_btn")->click();
    EXPECT_EQ(services->openedPaths, QStringList{help.fileName()});
    EXPECT_EQ(Win().Start_Card_Option, "T");
}

TEST_F(StartCardTest, RendersForALook)
{
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(241, 244, 250));
    EXPECT_EQ(Start_Card::defaultInstance(), Start_Card::defaultInstance());
    w.show();
    w.adjustSize();
    EXPECT_TRUE(w.grab().save(testOutputPath(QStringLiteral("Start_Card.png"))));
    w.hide();
}
