#include "properties/ui/DataSourceTab.h"

#include "canvas/ui/InputShield.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/ui/ExcelRowsWindow.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/DataSourceType.h"
#include "datasource/SeriesStore.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "platform/ui/SetObjEnabled.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWindow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>


namespace {


} // namespace

DataSourceTab::DataSourceTab(PanelDesign &design, PanelWindow &window, QWidget *parent)
    : PanelTab("datasource_tab", tr("Text Source"), parent), m_design(design), m_window(window)
{
    data_source_title = named(new QLabel(windowTitle()), "data_source_title");
    QFont bold = data_source_title->font();
    bold.setBold(true);
    data_source_title->setFont(bold);
    addWidget(data_source_title);

    QFormLayout *source = addSection(tr("Value"));
    Data_source_type = comboBox("Data_source_type", dataSourceTypeNames(false));
    Data_source_type->setToolTip(tr("Typed here, or one value per card from a series or an Excel column"));
    addRow(source, tr("From:"), Data_source_type);
    Batch_Series = comboBox("Batch_Series");
    Batch_Series->setMinimumWidth(170);
    addRow(source, tr("Series:"), Batch_Series);
    view_series_btn = named(new QPushButton(tr("View Series…")), "view_series_btn");
    view_series_btn->setToolTip(tr("Show the values of the chosen series"));
    data_source_help_btn = named(new QPushButton(tr("Help")), "data_source_help_btn");
    data_source_help_btn->setToolTip(tr("Where a value can come from"));
    addRow(source, QString(), sideBySide({view_series_btn, data_source_help_btn}));

    QFormLayout *picture = addSection(tr("Picture"), &manual_brws_box);
    manual_brws_box->setObjectName(QStringLiteral("manual_brws_box"));
    Manual_image_path = named(new QLineEdit, "Manual_image_path");
    Manual_image_path->setReadOnly(true);
    Manual_image_path->setPlaceholderText(tr("No picture"));
    Manual_image_path->setMinimumWidth(170);
    addRow(picture, tr("File:"), Manual_image_path);
    manual_brws_btn = named(new QPushButton(tr("Browse…")), "manual_brws_btn");
    manual_brws_btn->setToolTip(tr("Choose a picture file"));
    manual_lib_brws_btn = named(new QPushButton(tr("Library…")), "manual_lib_brws_btn");
    manual_lib_brws_btn->setToolTip(tr("Choose a picture from the image library"));
    addRow(picture, QString(), sideBySide({manual_brws_btn, manual_lib_brws_btn}));
    finish();

    // Choices made by the program come here too: the fills rely on them.
    connect(Data_source_type, &QComboBox::currentIndexChanged, this, [this] { Data_Source_Changed(); });
    connect(Batch_Series, &QComboBox::currentIndexChanged, this, [this] { Batch_Series_Changed(); });
    connect(view_series_btn, &QPushButton::clicked, this, [this] { View_batch_Series_Button(view_series_btn); });
    connect(data_source_help_btn, &QPushButton::clicked, this,
            [this] { Data_Source_Help_Button(data_source_help_btn); });
}

void DataSourceTab::refill(QComboBox *combo, const QStringList &items)
{
    // Filling an empty list would choose its first item on the way.
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

void DataSourceTab::enableForSource(bool bound)
{
    SetObjEnabled(view_series_btn, bound);
    SetObjEnabled(Batch_Series, bound);
    if (Text_value_Edit)
        Text_value_Edit->setReadOnly(bound);
    if (insert_template_btn)
        SetObjEnabled(insert_template_btn, !bound);
    SetObjEnabled(manual_brws_box, !bound);
}

void DataSourceTab::Data_Source_Changed()
{
    Log_Exceptions([&] {
        const std::optional<DataSourceType> choice = dataSourceTypeNamed(Data_source_type->currentText());
        SKTGraphic *current = m_design.currentGraphic();
        // Only the front holds the main photo and the frame picture.
        const bool framePicture = App().Card_Front_Or_Back == 0 && m_window.frontSelectionHoldsFramePicture();
        if (choice == DataSourceType::Typed) {
            enableForSource(false);
            if (framePicture)
                m_design.set_main_photo_ds_batch(false);
            if (current)
                setDataSourceType(*current, DataSourceType::Typed);
            return;
        }
        enableForSource(true);
        if (choice == DataSourceType::Series) {
            Fill_Data_Set_File_Name_In_Combo(Batch_Series);
            if (Batch_Series->count() == 0) {
                Show_MessageBox(QStringLiteral("Please create batch processing series first."));
                return;
            }
            if (current && !current->binding.batch_list_name.isEmpty()) {
                Batch_Series->setCurrentIndex(-1);
                Batch_Series->setCurrentIndex(Batch_Series->findText(current->binding.batch_list_name));
            }
            if (framePicture)
                m_design.set_main_photo_ds_batch(true);
            if (current)
                setDataSourceType(*current, DataSourceType::Series);
            return;
        }
        Fill_Excel_Col_Name_In_Combo(Batch_Series);
        if (current) {
            const int column = current->binding.excel_col_indx;
            Batch_Series->setCurrentIndex(column >= 0 && column < Batch_Series->count() ? column : -1);
            setDataSourceType(*current, DataSourceType::Excel);
        }
    });
}

void DataSourceTab::Batch_Series_Changed()
{
    Log_Exceptions([&] {
        const std::optional<DataSourceType> source = dataSourceTypeNamed(Data_source_type->currentText());
        const int index = Batch_Series->currentIndex();
        const QString name = index < 0 ? QString() : Trim_Str(Batch_Series->currentText());
        SKTGraphic *current = m_design.currentGraphic();
        if (name.isEmpty() || !current)
            return;
        QString sample;
        if (source == DataSourceType::Series) {
            setDataSourceType(*current, DataSourceType::Series);
            current->Set_Batch_List_Name(name);
            current->Set_Batch_List_Index(index);
            sample = Get_First_Value_Of_Dataset(name);
        } else if (source == DataSourceType::Excel) {
            setDataSourceType(*current, DataSourceType::Excel);
            current->Set_Excel_binding_Index(index, Data_From_Excel::defaultInstance()->columnTitles().value(index));
            sample = Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(index);
        } else {
            // Nothing is bound: the object keeps its own text or picture.
            m_design.Refresh_Canvas();
            return;
        }
        if (current->kind() == SKTGraphic::Kind::Text) {
            current->Text_contents().string = sample;
            if (Text_value_Edit) {
                // The object has the value already: this is no edit of the user's.
                const QSignalBlocker quiet(Text_value_Edit);
                Text_value_Edit->setPlainText(sample);
            }
        } else if (current->kind() == SKTGraphic::Kind::Image) {
            // Only the main photo object stands for the design's main photo.
            auto *image = static_cast<SKTImage *>(current);
            if (!isMainPhoto(*image)) {
                image->setPicture(sample, InputShield::loadPicture(window(), sample, nullptr));
            } else {
                if (App().Card_Front_Or_Back == 0)
                    m_design.Update_frame_Main_Photo_And_Path(sample, true);
                image->setFilePath(sample); // shows the design's main photo
            }
            Manual_image_path->setText(sample);
            if (Update_Image_Graphics)
                Update_Image_Graphics();
        }
        m_design.Refresh_Canvas();
    });
}

void DataSourceTab::View_batch_Series_Button(QObject *)
{
    Log_Exceptions([&] {
        const std::optional<DataSourceType> source = dataSourceTypeNamed(Data_source_type->currentText());
        if (source == DataSourceType::Excel) {
            ExcelRowsWindow::defaultInstance()->Open_Wnd();
            return;
        }
        if (source != DataSourceType::Series)
            return;
        const QString name = Batch_Series->currentIndex() < 0 ? QString() : Trim_Str(Batch_Series->currentText());
        if (name.isEmpty()) {
            Show_MessageBox(QStringLiteral("Please select the series."));
            return;
        }
        m_design.View_Data_Series(name);
    });
}

void DataSourceTab::Data_Source_Help_Button(QObject *)
{
    m_design.Open_Long_sms_Dialog(
        QStringLiteral("Batch Processing Settings Help :"),
        QStringLiteral("Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' to "
                       "fetch the value from the list of existing Batch Processing Series."));
}

void DataSourceTab::Fill_Data_Set_File_Name_In_Combo(QComboBox *combo)
{
    if (combo)
        refill(combo, Get_datasheet_File_Name_Array());
}

void DataSourceTab::Fill_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    if (combo)
        refill(combo, Data_From_Excel::defaultInstance()->columnTitles());
}

void DataSourceTab::Add_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    if (combo && combo->count() == 2)
        combo->addItem(dataSourceTypeName(DataSourceType::Excel));
}

void DataSourceTab::Remove_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    if (combo && combo->count() == 3)
        if (const int item = combo->findText(dataSourceTypeName(DataSourceType::Excel)); item >= 0)
            combo->removeItem(item);
}

void DataSourceTab::showDataSource(int dataSource)
{
    const int item = dataSource >= 0 && dataSource < Data_source_type->count() ? dataSource : -1;
    if (item == Data_source_type->currentIndex())
        Data_Source_Changed();
    else
        Data_source_type->setCurrentIndex(item);
}

void DataSourceTab::showSeries(const SKTGraphic &graphic, bool deselectFirst)
{
    if (graphic.binding.batch_list_name.isEmpty())
        return;
    if (deselectFirst && Batch_Series->currentIndex() == graphic.binding.batch_list_index)
        Batch_Series->setCurrentIndex(-1);
    Batch_Series->setCurrentIndex(Batch_Series->findText(graphic.binding.batch_list_name));
}
