#include "platform/ui/DesktopUiServices.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <functional>

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
    };
    for (const auto &c : cases) {
        whenBoxShows(c.act);
        EXPECT_EQ(services.askYesNo(QStringLiteral("Save changes?")), c.expected) << c.how;
    }
}
