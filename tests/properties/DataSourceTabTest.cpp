#include "PanelTestSupport.h"

#include "datasource/Data_From_Excel.h"

#include "properties/TextPanelValues.h"
#include "properties/ui/DataSourceTab.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class DataSourceTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.Text_value_Edit = &editor;
        source.insert_template_btn = &templateButton;
        source.Update_Image_Graphics = [this] { ++imageWriteBacks; };
        QDir().mkpath(App().Data_Folder_Path);
        text = made<SKTText>();
        text->Text_contents().string = QStringLiteral("Typed");
        design.current = text;
        excel.setColumnTitles(excelTitles);
    }
    void TearDown() override { excel.reset(); }

    void writeSeries(const QString &name, const QByteArray &lines)
    {
        QFile file(QDir(App().Data_Folder_Path).filePath(name + QStringLiteral(".txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
    }

    QStringList seriesItems() const
    {
        QStringList items;
        for (int i = 0; i < source.Batch_Series->count(); ++i)
            items << source.Batch_Series->itemText(i);
        return items;
    }

    AppFixture app;
    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    const QStringList excelTitles{QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("Photo")};
    ScopedScriptedServices services;
    FakeDesign design;
    QPlainTextEdit editor;
    QPushButton templateButton;
    DataSourceTab source{design, design};
    int imageWriteBacks = 0;
    std::shared_ptr<SKTText> text;
};

TEST_F(DataSourceTabTest, EachSourceEnablesItsControlsAndGivesTheCurrentObjectItsCode)
{
    writeSeries(QStringLiteral("Guests"), "Alice\nBob\n");
    source.Data_source_type->addItem(QStringLiteral("Excel"));
    const struct {
        int item;
        int code;
        bool bound;
    } cases[] = {{1, 1, true}, {0, 0, false}, {2, 2, true}, {0, 0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        source.Data_source_type->setCurrentIndex(c.item);
        EXPECT_EQ(text->binding.data_source_type, c.code);
        EXPECT_EQ(source.Batch_Series->isEnabled(), c.bound);
        EXPECT_EQ(source.view_series_btn->isEnabled(), c.bound);
        EXPECT_EQ(editor.isReadOnly(), c.bound);
        EXPECT_EQ(templateButton.isEnabled(), !c.bound);
        EXPECT_EQ(source.manual_brws_btn->isEnabled(), !c.bound);
        // Choosing a series binds nothing by itself; the sheet's choice picks the object's column.
        if (c.item == 1) {
            EXPECT_EQ(storedText(*text), QStringLiteral("Typed"));
        }
    }
}

TEST_F(DataSourceTabTest, SeriesAreListedAndTheObjectsOwnIsChosenAgain)
{
    source.Data_source_type->setCurrentIndex(1);
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease create batch processing series first.")});
    EXPECT_EQ(text->binding.data_source_type, 0);
    EXPECT_TRUE(seriesItems().isEmpty());

    writeSeries(QStringLiteral("Guests"), "Alice\nBob\n");
    writeSeries(QStringLiteral("Cities"), "Rome\n");
    text->Set_Batch_List_Name(QStringLiteral("Guests"));
    source.Data_source_type->setCurrentIndex(0);
    source.Data_source_type->setCurrentIndex(1);
    EXPECT_EQ(seriesItems(), (QStringList{QStringLiteral("Cities"), QStringLiteral("Guests")}));
    EXPECT_EQ(source.Batch_Series->currentText(), QStringLiteral("Guests"));
    EXPECT_EQ(text->binding.data_source_type, 1);
    // Choosing it again bound the text to the first value.
    EXPECT_EQ(storedText(*text), QStringLiteral("Alice"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("Alice"));
    EXPECT_TRUE(editor.isReadOnly());

    // A series that is gone selects nothing and keeps the text.
    text->Set_Batch_List_Name(QStringLiteral("Gone"));
    text->Text_contents().string = QStringLiteral("Kept");
    source.showDataSource(1);
    EXPECT_EQ(source.Batch_Series->currentIndex(), -1);
    EXPECT_EQ(storedText(*text), QStringLiteral("Kept"));
}

TEST_F(DataSourceTabTest, ChoosingASeriesOrAColumnBindsTheCurrentObjectAlone)
{
    writeSeries(QStringLiteral("Cities"), "Rome\n");
    writeSeries(QStringLiteral("Guests"), "Alice\r\nBob\n");
    excel.Create_List_By_Array({QStringLiteral("Carol"), QStringLiteral("/photos/carol.png")}, 2);
    source.Data_source_type->addItem(QStringLiteral("Excel"));
    auto other = made<SKTText>();
    design.selection = {text, other};

    source.Data_source_type->setCurrentIndex(1);
    source.Batch_Series->setCurrentIndex(1);
    EXPECT_EQ(text->binding.batch_list_name, QStringLiteral("Guests"));
    EXPECT_EQ(text->binding.batch_list_index, 1);
    // The first line as the file has it, untrimmed.
    EXPECT_EQ(storedText(*text), QStringLiteral("Alice\r"));

    text->binding.excel_col_indx = 1;
    source.Data_source_type->setCurrentIndex(2);
    EXPECT_EQ(seriesItems(), excelTitles);
    EXPECT_EQ(source.Batch_Series->currentIndex(), 1);
    EXPECT_EQ(text->binding.data_source_type, 2);
    EXPECT_EQ(storedText(*text), QStringLiteral("Carol"));
    source.Batch_Series->setCurrentIndex(0);
    EXPECT_EQ(text->binding.excel_col_indx, 0);
    EXPECT_EQ(storedText(*text), QStringLiteral("1"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("1"));

    // Only the current object is bound.
    EXPECT_EQ(other->binding.data_source_type, 0);
    EXPECT_TRUE(other->binding.batch_list_name.isEmpty());
    EXPECT_EQ(storedText(*other), QStringLiteral("Text here"));
    EXPECT_GE(design.refreshes, 3);
}

TEST_F(DataSourceTabTest, WithoutABoundSourceNothingIsBoundAndTheObjectKeepsItsValue)
{
    writeSeries(QStringLiteral("Guests"), "Alice\n");
    source.Data_source_type->setCurrentIndex(1);
    text->Text_contents().string = QStringLiteral("Typed");
    text->Set_Data_source_type(0);
    // A source list without a choice counts as neither a series nor the sheet.
    source.Data_source_type->setCurrentIndex(-1);
    source.Batch_Series->addItem(QStringLiteral("Name"));
    source.Batch_Series->setCurrentIndex(source.Batch_Series->count() - 1);
    EXPECT_EQ(storedText(*text), QStringLiteral("Typed"));

    // No current object, or an empty name: nothing at all.
    design.current.reset();
    source.Data_source_type->setCurrentIndex(1);
    source.Batch_Series->setCurrentIndex(0);
    EXPECT_EQ(storedText(*text), QStringLiteral("Typed"));
}

TEST_F(DataSourceTabTest, OnlyTheMainPhotoOnTheFrontBecomesTheDesignsMainPhoto)
{
    const QString picture = app.resourcePath() + QStringLiteral("face.png");
    QImage face(5, 7, QImage::Format_ARGB32);
    face.fill(Qt::green);
    ASSERT_TRUE(face.save(picture));
    writeSeries(QStringLiteral("Faces"), (picture + QStringLiteral("\n")).toUtf8());

    const struct {
        const char *tag;
        int side;
        bool framePictureSelected;
        QStringList mainPhotos;
        std::optional<bool> fromSeries;
    } cases[] = {
        {"PARTY_IMAGE", 0, true, {picture}, true},
        {"PARTY_IMAGE", 1, true, {}, std::nullopt},
        {"PARTY_IMAGE_BG", 0, true, {}, true},
        {"", 0, false, {}, std::nullopt},
        {"", 1, false, {}, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " side " + std::to_string(c.side));
        App().Card_Front_Or_Back = c.side;
        design.framePictureSelected = c.framePictureSelected;
        design.mainPhotos.clear();
        design.mainPhotoFromSeries.reset();
        auto image = made<SKTImage>();
        image->control_ID = QString::fromLatin1(c.tag);
        design.current = image;
        source.Data_source_type->setCurrentIndex(0);
        design.mainPhotoFromSeries.reset();
        const int writeBacks = imageWriteBacks;
        source.Data_source_type->setCurrentIndex(1);
        source.Batch_Series->setCurrentIndex(0);
        EXPECT_EQ(design.mainPhotos, c.mainPhotos);
        EXPECT_EQ(design.mainPhotoFromSeries, c.fromSeries);
        EXPECT_EQ(image->_file_path, picture);
        EXPECT_EQ(source.Manual_image_path->text(), picture);
        EXPECT_EQ(imageWriteBacks, writeBacks + 1);
        // "Manual" takes the main photo back from the series, on the front only.
        source.Data_source_type->setCurrentIndex(0);
        EXPECT_EQ(design.mainPhotoFromSeries, c.fromSeries ? std::optional<bool>(false) : std::nullopt);
        if (c.tag != std::string("PARTY_IMAGE")) {
            EXPECT_EQ(image->_contents.size(), QSize(5, 7));
        }
    }
}

TEST_F(DataSourceTabTest, ShowingASourceRunsItsChoiceEvenWhenItWasShownAlready)
{
    writeSeries(QStringLiteral("Guests"), "Alice\n");
    source.Data_source_type->setCurrentIndex(1);
    auto next = made<SKTText>();
    next->Set_Data_source_type(1);
    next->Set_Batch_List_Name(QStringLiteral("Guests"));
    design.current = next;
    source.showDataSource(1);
    EXPECT_EQ(storedText(*next), QStringLiteral("Alice"));

    // A code the list does not hold shows no source.
    source.showDataSource(2);
    EXPECT_EQ(source.Data_source_type->currentIndex(), -1);
}

TEST_F(DataSourceTabTest, TheViewButtonAsksForASeriesFirst)
{
    writeSeries(QStringLiteral("Guests"), "Alice\n");
    source.Data_source_type->setCurrentIndex(1);
    source.view_series_btn->click();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease select the series.")});
    source.Batch_Series->setCurrentIndex(0);
    source.view_series_btn->click();
    EXPECT_EQ(design.viewedSeries, QStringList{QStringLiteral("Guests")});
    // A typed value has nothing to show; the help explains the sources.
    source.Data_source_type->setCurrentIndex(0);
    source.View_batch_Series_Button(nullptr);
    EXPECT_EQ(design.viewedSeries.size(), 1);
    EXPECT_EQ(services->messages.size(), 1);
    source.data_source_help_btn->click();
    EXPECT_EQ(design.longMessages.size(), 2);
}

} // namespace
