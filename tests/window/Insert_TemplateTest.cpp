#include "DesignWindowFixture.h"

#include "window/Insert_Template.h"
#include "window/TextEntryList.h"

#include <QPlainTextEdit>

namespace {

QString box(const QString &text)
{
    return QLatin1Char('\n') + text;
}

} // namespace

TEST(TextEntryList, ListFilesAreTrimmedThenSplitAtLineFeeds)
{
    QTemporaryDir dir;
    struct Row {
        QByteArray text;
        QStringList entries;
    };
    const Row rows[] = {
        {"One\nTwo\nThree\n\n\n", {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}},
        {"\xEF\xBB\xBF  One\n\nThree  \n", {QStringLiteral("One"), QString(), QStringLiteral("Three")}},
        {"One\r\nTwo\r\n", {QStringLiteral("One\r"), QStringLiteral("Two")}},
        {"Gr\xC3\xBC\xC3\x9F" "e", {QStringLiteral("Grüße")}},
        {"", {QString()}},
    };
    for (const Row &row : rows) {
        QFile file(dir.filePath(QStringLiteral("list.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.text);
        file.close();
        EXPECT_EQ(Load_Text_Entries(file.fileName()), std::optional<QStringList>(row.entries)) << row.text.toStdString();
    }
    EXPECT_EQ(Load_Text_Entries(dir.filePath(QStringLiteral("missing.txt"))), std::nullopt);

    TextEntryCycler missing;
    missing.setEntries(std::nullopt);
    EXPECT_EQ(missing.current(), QString());
    EXPECT_EQ(missing.next(), QString());
    EXPECT_EQ(missing.back(), QString());
}

class Insert_TemplateTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        writeFile(QStringLiteral("Title.txt"), "First\nSecond\nThird\n\n");
        writeFile(QStringLiteral("Message.txt"), "Come early\r\nStay late\n");
        load();
    }

    Insert_Template *picker() const { return window->titleMessagePicker(); }
};

TEST_F(Insert_TemplateTest, TitlesWrapAtBothEndsAndOkTakesTheTrimmedText)
{
    ASSERT_EQ(Insert_Template::defaultInstance(), picker());
    Win().Template_Msg_Val = QStringLiteral("left over");
    picker()->title_or_msg = QStringLiteral("T");
    picker()->Prepare_Dialog();
    EXPECT_TRUE(Win().Template_Msg_Val.isEmpty());
    EXPECT_EQ(picker()->msg_value->toPlainText(), QStringLiteral("First"));
    picker()->Msg_Back_Click();
    EXPECT_EQ(picker()->msg_value->toPlainText(), QStringLiteral("Third"));
    picker()->Msg_Next_Click();
    EXPECT_EQ(picker()->msg_value->toPlainText(), QStringLiteral("First"));
    picker()->Msg_Next_Click();
    picker()->msg_value->setPlainText(QStringLiteral("  My own title \n"));
    picker()->OKPressed();
    EXPECT_EQ(picker()->result(), 1);
    EXPECT_EQ(Win().Template_Msg_Val, QStringLiteral("My own title"));

    // Every opening starts at the first entry again, from the files as they are then.
    writeFile(QStringLiteral("Title.txt"), "Fresh\n");
    picker()->Prepare_Dialog();
    EXPECT_EQ(picker()->msg_value->toPlainText(), QStringLiteral("Fresh"));
}

TEST_F(Insert_TemplateTest, MessagesKeepCarriageReturnsUntilOk)
{
    picker()->title_or_msg = QStringLiteral("M");
    picker()->Prepare_Dialog();
    EXPECT_EQ(picker()->Get_Message(), QStringLiteral("Come early\r"));
    picker()->OKPressed();
    EXPECT_EQ(Win().Template_Msg_Val, QStringLiteral("Come early"));
}

TEST_F(Insert_TemplateTest, EmptyTextIsRefusedAndCancelAnswersNothing)
{
    QFile::remove(resourcePath(QStringLiteral("Title.txt")));
    picker()->title_or_msg = QStringLiteral("T");
    picker()->Prepare_Dialog();
    picker()->setResult(-1);
    EXPECT_TRUE(picker()->msg_value->toPlainText().isEmpty());
    picker()->Msg_Next_Click();
    picker()->OKPressed();
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Please select message."))});
    EXPECT_EQ(picker()->result(), -1);

    picker()->msg_value->setPlainText(QStringLiteral("typed"));
    picker()->CancelPressed();
    EXPECT_EQ(picker()->result(), 0);
    EXPECT_TRUE(Win().Template_Msg_Val.isEmpty());
}
