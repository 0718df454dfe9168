#include "platform/ui/DesktopUiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

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
