#include "datasource/ui/View_Data_Series.h"

#include "core/AppState.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

class ViewDataSeriesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path)); }

    static void writeSeries(const QString &name, const QByteArray &bytes)
    {
        QFile file(QDir(App().Data_Folder_Path).filePath(name + QStringLiteral(".txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Opens the viewer on `name` and answers the rows and the count it showed.
    static QStringList shown(const QString &name, QString *count = nullptr, QWidget *parent = nullptr)
    {
        QStringList rows;
        View_Data_Series *viewer = View_Data_Series::defaultInstance();
        QTimer::singleShot(0, viewer, [&] {
            EXPECT_TRUE(viewer->isVisible());
            EXPECT_EQ(viewer->series_name->text(), name);
            const QAbstractItemModel *model = viewer->List->model();
            for (int r = 0; r < model->rowCount(); ++r)
                rows << model->index(r, 0).data().toString();
            if (count)
                *count = viewer->list_count->text();
            viewer->findChild<QPushButton *>(QStringLiteral("OK_Btn"))->click();
        });
        View_Data_Series::Open_Series(name, parent);
        return rows;
    }

    AppFixture app;
};

} // namespace

TEST_F(ViewDataSeriesTest, ShowsTheTrimmedNonBlankValuesInFileOrderWithTheirCount)
{
    const struct {
        const char *name;
        QByteArray file; // nothing written for a null one
        QStringList values;
    } cases[] = {
        {"Guests", "a\n\n \tb \n   \nc\r\n", {"a", "b", "c"}},
        {"NoEnd", "x\ny", {"x", "y"}},
        {"Empty", "", {}},
        {"Latin1", "Gr\xFC\xDF\n", {}},
        {"Missing", QByteArray(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.file.isNull())
            writeSeries(QLatin1String(c.name), c.file);
        QString count;
        EXPECT_EQ(shown(QLatin1String(c.name), &count), c.values);
        EXPECT_EQ(count, QStringLiteral("Total Rows : %1").arg(c.values.size()));
    }
    // Looking changes nothing on disk.
    QFile file(QDir(App().Data_Folder_Path).filePath(QStringLiteral("Guests.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("a\n\n \tb \n   \nc\r\n"));
}
