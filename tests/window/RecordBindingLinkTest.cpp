#include "DesignWindowFixture.h"

#include "canvas/Card_Side_Image.h"
#include "datasource/DataSourceState.h"
#include "document/SKTText.h"

namespace {

// A run reads the sources of the sides in use, names a series it cannot use for its start to ask
// about, and draws each record into copies: the design keeps its own values.
TEST_F(DesignWindowTest, BoundRunsReadTheSidesInUseAndDrawRecordsIntoCopies)
{
    load();
    writeFile(QStringLiteral("DataSet/Names.txt"), "Ann\nBob\nCy\n");
    GraphicList texts{std::make_shared<SKTText>(), std::make_shared<SKTText>()};
    for (const SKTGraphicPtr &text : texts) {
        text->_bounds = QRectF(10, 10, 120, 30);
        text->binding.data_source_type = 1;
        text->binding.batch_list_name = text == texts.first() ? QStringLiteral("Names") : QStringLiteral("Gone");
    }
    document->graphics().insertGraphics({texts.first()}, platform::IndexSet{0});
    document->graphics_back().insertGraphics({texts.last()}, platform::IndexSet{0});
    for (const bool twoSided : {false, true}) {
        Win().CARD_SIDE_STR = QLatin1String(twoSided ? "2" : "1");
        services->messages.clear();
        window->Check_Series_Or_Excel_Use_or_not();
        EXPECT_EQ(DataSources().Total_Batch_Excel_Card, 3);
        EXPECT_EQ(window->data_table_content.problems.size(), twoSided ? 1 : 0);
        EXPECT_EQ(services->messages, QStringList()) << "asked when the run starts, not said here too";
    }
    const QImage first = window->Set_data_table_value_to_card(0, QStringLiteral("F"), false).toImage();
    EXPECT_FALSE(first.isNull());
    EXPECT_NE(window->Set_data_table_value_to_card(1, QStringLiteral("F"), false).toImage(), first);
    EXPECT_EQ(window->Set_data_table_value_to_card(0, QStringLiteral("F"), false).toImage(), first);
    EXPECT_EQ(texts.first()->Text_contents().string, QStringLiteral("Text here"));
}

} // namespace
