#include "DesignWindowFixture.h"

#include "core/ImageCategories.h"
#include "platform/ui/ImageBrowserView.h"
#include "window/Insert_Template.h"
#include "window/TextEntryList.h"

#include <QPlainTextEdit>

#include <sys/stat.h>

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

// Every reader of a path it was given: a FIFO blocked each of them in open(2) for good, /dev/zero
// ran a list reader out of memory.
TEST_F(DesignWindowTest, OnlyRegularFilesOfBoundedSizeAreRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile huge(dir.filePath(QStringLiteral("huge.txt")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxTextEntriesBytes + 1));
    struct Row {
        QString path;
        const char *reason;
    };
    for (const Row &row : {Row{fifo, "not a regular file"}, Row{QStringLiteral("/dev/zero"), "not a regular file"},
                           Row{dir.path(), "not a regular file"}, Row{huge.fileName(), "larger than 4 MB"}}) {
        SCOPED_TRACE(row.path.toStdString());
        services->messages.clear();
        EXPECT_EQ(Load_Text_Entries(row.path), std::nullopt);
        ASSERT_EQ(services->messages.size(), 1);
        EXPECT_TRUE(services->messages.first().contains(QLatin1String(row.reason))) << services->messages.first().toStdString();
        EXPECT_TRUE(loadPicture(row.path).isNull());
        EXPECT_TRUE(ImageBrowserView::decodeThumbnail(row.path, QSize(64, 64)).isNull());
        EXPECT_EQ(window->Read_and_load_design_Log(row.path, QStringLiteral("L")), 0);
        window->set_Front_BG_Image(row.path);
        EXPECT_TRUE(window->Front_card_Prop.Card_BG_Image().isNull());
        EXPECT_TRUE(services->messages.last().contains(QLatin1String("The card background"))); // not silent
    }
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
