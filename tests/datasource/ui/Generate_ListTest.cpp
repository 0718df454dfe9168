#include "datasource/ui/Generate_List.h"

#include "core/AppState.h"
#include "datasource/SeriesStore.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

namespace {

class GenerateListTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path)); }

    AppFixture app;
    ScopedScriptedServices services;
    Generate_List dialog;
};

} // namespace

// The controls follow the mode; the count field keeps what it can count and its stepper follows
// it both ways; OK writes what the chosen mode's controls say under its name.
TEST_F(GenerateListTest, TheChosenModesControlsMakeTheSeries)
{
    dialog.file_name_required = 1;
    QTimer::singleShot(0, &dialog, [this] {
        EXPECT_EQ(dialog.seq_file_name->text(), QStringLiteral("Untitled"));
        EXPECT_TRUE(dialog.const_file_name->isVisible());
        EXPECT_TRUE(dialog.from_txt->isEnabled());
        EXPECT_FALSE(dialog.value_txt->isEnabled());
        dialog.radioButton_Constant->click();
        EXPECT_EQ(dialog.const_file_name->text(), QStringLiteral("Untitled"));
        EXPECT_FALSE(dialog.seq_file_name->isEnabled());
        EXPECT_FALSE(dialog.from_txt->isEnabled());
        EXPECT_TRUE(dialog.count_stepper->isEnabled());

        const struct {
            const char *typed;
            const char *held;
            int stepper;
        } typing[] = {{"20000", "10000", 10000}, {"", "1", 1}, {"000005", "1", 1}, {"3", "3", 3}};
        for (const auto &t : typing) {
            dialog.count_txt->setText(QLatin1String(t.typed));
            dialog.controlTextDidChange(dialog.count_txt);
            EXPECT_EQ(dialog.count_txt->text(), QLatin1String(t.held)) << t.typed;
            EXPECT_EQ(dialog.count_stepper->value(), t.stepper) << t.typed;
        }
        dialog.count_stepper->stepBy(1);
        EXPECT_EQ(dialog.count_txt->text(), QStringLiteral("4"));
        dialog.rand_length_txt->setText(QStringLiteral("12"));
        dialog.controlTextDidChange(dialog.rand_length_txt);
        EXPECT_EQ(dialog.rand_length_txt->text(), QStringLiteral("1"));

        dialog.const_file_name->setText(QStringLiteral("Tables"));
        dialog.findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
        EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease enter valid 'Value'.")});
        EXPECT_TRUE(dialog.value_txt->hasFocus() || !dialog.isActiveWindow());
        dialog.value_txt->setText(QStringLiteral("T"));
        dialog.findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
    });
    EXPECT_EQ(dialog.Open_Wnd(), 1);
    QFile written(Series_File_Path(QStringLiteral("Tables")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("T\nT\nT\nT\n"));

    // Opened again for the manager's list: no names, and everything as at the start.
    dialog.file_name_required = 0;
    QTimer::singleShot(0, &dialog, [this] {
        EXPECT_FALSE(dialog.seq_file_name->isVisible());
        EXPECT_TRUE(dialog.radioButton_Sequntial->isChecked());
        EXPECT_EQ(dialog.count_txt->text(), QStringLiteral("1"));
        EXPECT_TRUE(dialog.value_txt->text().isEmpty());
        dialog.help_btn->click();
        dialog.reject();
    });
    EXPECT_EQ(dialog.Open_Wnd(), 0);
    ASSERT_EQ(services->messages.size(), 2);
    EXPECT_TRUE(services->messages.last().contains(QStringLiteral("'001' to '00001'")));
}
