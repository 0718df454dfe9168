#include "platform/ui/DesktopUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `answer` on the save panel once it is up, as a person in front of it would.
void whenThePanelIsUp(const std::function<void(QFileDialog &)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

} // namespace

TEST(DesktopUiServices, TheSavePanelsFilterBoxIsTheChoiceOfFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList formats{QStringLiteral("xlsx"), QStringLiteral("txt")};
    platform::DesktopUiServices services;

    const struct {
        int picked;          // filter chosen in the panel; -1 leaves the one it opens with
        const char *typed;   // file name typed
        const char *format;  // format answered
    } cases[] = {
        {-1, "values", "xlsx"},
        {1, "values.xlsx", "txt"}, // the typed extension does not decide
        {0, "list.txt", "xlsx"},
    };
    for (const auto &c : cases) {
        QStringList offered;
        whenThePanelIsUp([&](QFileDialog &dialog) {
            offered = dialog.nameFilters();
            if (c.picked >= 0)
                dialog.selectNameFilter(offered.value(c.picked));
            dialog.selectFile(dir.filePath(QString::fromLatin1(c.typed)));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        const platform::SavePanelChoice choice =
            services.chooseFileToSaveInFormat(QStringLiteral("Export"), dir.path(), QString(), formats);
        EXPECT_EQ(offered.size(), 2);
        EXPECT_EQ(choice.path, dir.filePath(QString::fromLatin1(c.typed))) << c.typed;
        EXPECT_EQ(choice.format, QString::fromLatin1(c.format)) << c.typed;
    }

    whenThePanelIsUp([](QFileDialog &dialog) { dialog.reject(); });
    const platform::SavePanelChoice cancelled =
        services.chooseFileToSaveInFormat(QStringLiteral("Export"), dir.path(), QStringLiteral("values"), formats);
    EXPECT_TRUE(cancelled.path.isEmpty());
    EXPECT_TRUE(cancelled.format.isEmpty());
}

namespace {

using Answer = platform::UiServices::Answer;

// Acts on the box once it is up, from inside its modal loop.
void whenBoxShows(const std::function<void(QMessageBox &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

QAbstractButton *buttonWithText(QMessageBox &box, const QString &text)
{
    for (QAbstractButton *button : box.buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

class DesktopUiServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_displayName = QApplication::applicationDisplayName();
        QApplication::setApplicationDisplayName(QStringLiteral("Card Designer"));
    }
    void TearDown() override { QApplication::setApplicationDisplayName(m_displayName); }

    platform::DesktopUiServices services;
    QString m_displayName;
};

} // namespace

TEST_F(DesktopUiServicesTest, BoxesCarryTheDisplayName)
{
    QString title;
    whenBoxShows([&](QMessageBox &box) {
        title = box.windowTitle();
        box.buttons().first()->click();
    });
    services.showMessage(QStringLiteral("Saved."));
    EXPECT_EQ(title, QStringLiteral("Card Designer"));
}

TEST_F(DesktopUiServicesTest, EscapeOrClosingAQuestionCancelsIt)
{
    const struct {
        const char *how;
        std::function<void(QMessageBox &)> act;
        Answer expected;
    } cases[] = {
        {"Yes", [](QMessageBox &box) { buttonWithText(box, QStringLiteral("Yes"))->click(); }, Answer::Yes},
        {"No", [](QMessageBox &box) { buttonWithText(box, QStringLiteral("No"))->click(); }, Answer::No},
        {"Escape",
         [](QMessageBox &box) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&box, &escape);
         },
         Answer::Cancelled},
        {"close button", [](QMessageBox &box) { box.close(); }, Answer::Cancelled},
        // Another question's closing leaves it up; its own closes it as No.
        {"closed from outside",
         [this](QMessageBox &box) {
             services.closeQuestion(QStringLiteral("Stop?"));
             EXPECT_TRUE(box.isVisible());
             services.closeQuestion(QStringLiteral("Save changes?"));
         },
         Answer::No},
    };
    for (const auto &c : cases) {
        whenBoxShows(c.act);
        EXPECT_EQ(services.askYesNo(QStringLiteral("Save changes?")), c.expected) << c.how;
    }
    // A question that offers Cancel shows it; it answers as Escape does.
    for (const bool offered : {false, true}) {
        bool seen = !offered;
        whenBoxShows([&seen](QMessageBox &box) {
            QAbstractButton *cancel = box.button(QMessageBox::Cancel);
            seen = cancel && cancel->isVisible();
            (seen ? cancel : buttonWithText(box, QStringLiteral("No")))->click();
        });
        const QString question = QStringLiteral("Keep them?");
        const Answer answer = offered ? services.askYesNoCancel(question) : services.askYesNo(question);
        EXPECT_EQ(seen, offered);
        EXPECT_EQ(answer, offered ? Answer::Cancelled : Answer::No);
    }
}
