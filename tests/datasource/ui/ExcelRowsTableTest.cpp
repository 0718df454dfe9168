#include "datasource/ui/ExcelRowsTable.h"

#include "datasource/Data_From_Excel.h"
#include "fixtures/TestSupport.h"

#include <QSize>
#include <QStandardItemModel>

#include <gtest/gtest.h>

class ExcelRowsTableTest : public ::testing::Test {
protected:
    void SetUp() override { excel.reset(); }
    void TearDown() override { excel.reset(); }

    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    ExcelRowsTable rows{excel};
};

TEST_F(ExcelRowsTableTest, SavedTitlesBecomeColumnsAfterTheRowNumber)
{
    excel.setColumnTitles({QStringLiteral("old"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    excel.setColumnTitles({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")});
    const QList<ListDataTableModel::Column> &columns = rows.ColList->tableColumns();
    ASSERT_EQ(columns.size(), 3);
    EXPECT_EQ(columns[0].identifier, QStringLiteral("Extension"));
    EXPECT_EQ(columns[0].title, Data_From_Excel::kRowNumberTitle) << "the first saved title is not applied";
    EXPECT_EQ(columns[1].identifier, QStringLiteral("Column1"));
    EXPECT_EQ(columns[1].title, QStringLiteral("Name"));
    EXPECT_EQ(columns[2].identifier, QStringLiteral("Column2"));
    EXPECT_EQ(columns[2].title, QStringLiteral("City"));
    for (const ListDataTableModel::Column &column : columns) {
        EXPECT_EQ(column.width, 100);
        EXPECT_TRUE(column.headerAlignment & Qt::AlignLeft);
    }
    EXPECT_EQ(rows.ColList->headerData(2, Qt::Horizontal).toString(), QStringLiteral("City"));
    EXPECT_EQ(rows.ColList->headerData(1, Qt::Horizontal, Qt::SizeHintRole).toSize().width(), 100);

    // No titles: the columns stay.
    excel.setColumnTitles({});
    EXPECT_EQ(rows.ColList->columnCount(), 3);
}

TEST_F(ExcelRowsTableTest, TheTableShowsAndEditsRowsByColumnIdentifier)
{
    excel.setColumnTitles({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")});
    excel.setListData(
        {{{QStringLiteral("Extension"), QStringLiteral("1")}, {QStringLiteral("Column2"), QStringLiteral("Rome")}}});
    ListDataTableModel &table = *rows.ColList;
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.columnCount(), 3);
    EXPECT_EQ(table.index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_FALSE(table.index(0, 1).data().isValid()) << "a row without the key shows nothing";
    EXPECT_EQ(table.index(0, 2).data().toString(), QStringLiteral("Rome"));

    EXPECT_TRUE(table.setData(table.index(0, 1), QStringLiteral("Cy")));
    EXPECT_EQ(excel.ListData[0].value(QStringLiteral("Column1")), QStringLiteral("Cy"));

    // Edits outside the rows are refused and logged; other tables have no rows.
    LogCapture log;
    rows.tableView_setObjectValue_forTableColumn_row(rows.ColList, QStringLiteral("x"), QStringLiteral("Column1"), 1);
    EXPECT_EQ(excel.ListData.size(), 1);
    EXPECT_EQ(log.lines().size(), 1);
    QStandardItemModel other;
    EXPECT_EQ(rows.numberOfRowsInTableView(&other), 0);
    EXPECT_FALSE(rows.tableView_objectValueForTableColumn_row(&other, QStringLiteral("Extension"), 0).isValid());

    excel.Create_Value_List(QStringLiteral("2"));
    EXPECT_EQ(table.rowCount(), 2);
    excel.reset();
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.columnCount(), 1);
}
