#include "datasource/Data_From_Excel.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

class Data_From_ExcelTest : public ::testing::Test {
protected:
    void SetUp() override { excel.reset(); }
    void TearDown() override { excel.reset(); }

    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
};

TEST_F(Data_From_ExcelTest, RowsAreNumberedFromOneAndKeepTheirBoundColumnsByPosition)
{
    EXPECT_EQ(Data_From_Excel::defaultInstance(), &excel);
    excel.Create_List_By_Array({QStringLiteral(" Ann \n"), QStringLiteral("Oslo"), QStringLiteral("not bound")}, 2);
    excel.Create_List_By_Array({QStringLiteral("Bo"), QString()}, 2);
    ASSERT_EQ(excel.ListData.size(), 2);
    EXPECT_EQ(excel.ListData[0], (QVariantMap{{QStringLiteral("Extension"), QStringLiteral("1")},
                                              {QStringLiteral("Column1"), QStringLiteral("Ann")},
                                              {QStringLiteral("Column2"), QStringLiteral("Oslo")}}));
    EXPECT_EQ(excel.ListData[1].value(QStringLiteral("Extension")), QStringLiteral("2"));
    EXPECT_EQ(excel.ListData[1].value(QStringLiteral("Column2")), QString());

    // A row with fewer cells than bound columns is dropped and logged.
    LogCapture log;
    excel.Create_List_By_Array({QStringLiteral("short")}, 2);
    EXPECT_EQ(excel.ListData.size(), 2);
    EXPECT_EQ(log.lines().size(), 1);

    excel.Create_Value_List(QStringLiteral("  "));
    excel.Create_Value_List(QStringLiteral(" 42 "));
    ASSERT_EQ(excel.ListData.size(), 3);
    EXPECT_EQ(excel.ListData[2], (QVariantMap{{QStringLiteral("Extension"), QStringLiteral("42")}}));
}

TEST_F(Data_From_ExcelTest, SavedTitlesFollowTheRowNumberTitle)
{
    excel.setColumnTitles({QStringLiteral("old"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    excel.setColumnTitles({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")});
    EXPECT_EQ(excel.columnTitles(),
              (QStringList{Data_From_Excel::kRowNumberTitle, QStringLiteral("Name"), QStringLiteral("City")}))
        << "the first saved title is not applied";

    // No titles: the columns stay.
    excel.setColumnTitles({});
    EXPECT_EQ(excel.columnTitles(),
              (QStringList{Data_From_Excel::kRowNumberTitle, QStringLiteral("Name"), QStringLiteral("City")}));
}

TEST_F(Data_From_ExcelTest, TheFirstRowAnswersForEachColumnAndEditsStayInsideTheRows)
{
    EXPECT_EQ(excel.Get_First_Value_Of_Excel_Binding(1), QString());
    excel.setColumnTitles({Data_From_Excel::kRowNumberTitle, QStringLiteral("Name"), QStringLiteral("Code")});
    excel.setListData({{{QStringLiteral("Extension"), QStringLiteral("1")},
                        {QStringLiteral("Column1"), QStringLiteral("Ann")},
                        {QStringLiteral("Column2"), QStringLiteral("A-7")}}});
    EXPECT_EQ(excel.Get_First_Value_Of_Excel_Binding(0), QStringLiteral("1"));
    EXPECT_EQ(excel.Get_First_Value_Of_Excel_Binding(2), QStringLiteral("A-7"));
    EXPECT_EQ(excel.Get_First_Value_Of_Excel_Binding(-1), QString());
    excel.setValue(QStringLiteral("B") + QChar(0xFFFE) + QChar(0), QStringLiteral("Column1"), 0);
    EXPECT_EQ(excel.Get_First_Value_Of_Excel_Binding(1), QStringLiteral("B\uFFFD\uFFFD"));

    // Edits outside the rows are refused and logged.
    LogCapture log;
    excel.setValue(QStringLiteral("x"), QStringLiteral("Column1"), 1);
    EXPECT_EQ(excel.ListData.size(), 1);
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().value(0).contains(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]")));
}
