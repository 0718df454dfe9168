#include "window/SKTWindowController.h"

#include "core/AppState.h"
#include "datasource/DataSourceState.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SeriesStore.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "window/WindowState.h"

// The record engine and the panel's data-source controls do the work; the design window lends
// them its sides and publishes what a run will use.

void SKTWindowController::Check_Series_Or_Excel_Use_or_not()
{
    const SKTGraphicList *front = Get_Front_Controls_Array();
    const SKTGraphicList *back = Get_Back_Controls_Array();
    WindowState &win = Win();
    // Only a design of two sides binds objects of its back.
    data_table_content = RecordBinding::Check_Series_Or_Excel_Use_or_not(
        front ? front->items() : GraphicList(),
        back && win.CARD_SIDE_STR == QLatin1String("2") ? back->items() : GraphicList(), win.mainPhotoEffects());
    DataSourceState &state = DataSources();
    state.Use_Data_Sheet_Values = data_table_content.Use_Data_Sheet_Values;
    state.Use_Excel_Binding_Values = data_table_content.Use_Excel_Binding_Values;
    state.Data_table_rows = data_table_content.Data_table_rows;
    state.Excel_table_rows = data_table_content.Excel_table_rows;
    state.Total_Batch_Excel_Card = data_table_content.Total_Batch_Excel_Card;
}

Card_Side_Image SKTWindowController::Set_data_table_value_to_card(int record, const QString &card_side,
                                                                  bool print_box)
{
    return data_table_content.Set_data_table_value_to_card(designSnapshot(), record, card_side, print_box);
}

QString SKTWindowController::Get_First_Value_Of_Dataset(const QString &seriesName) const
{
    return ::Get_First_Value_Of_Dataset(seriesName);
}

QString SKTWindowController::Get_First_Value_Of_Excel_Binding(int column) const
{
    return Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(column);
}

void SKTWindowController::Fill_Data_Set_File_Name_In_Combo(QComboBox *combo)
{
    DataSourceTab::Fill_Data_Set_File_Name_In_Combo(combo);
}

void SKTWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    DataSourceTab::Fill_Excel_Col_Name_In_Combo(combo);
}

void SKTWindowController::Add_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    DataSourceTab::Add_Excel_Col_Name_In_Combo(combo);
}

void SKTWindowController::Remove_Excel_Col_Name_In_Combo(QComboBox *combo)
{
    DataSourceTab::Remove_Excel_Col_Name_In_Combo(combo);
}

void SKTWindowController::View_batch_Series_Button(QObject *sender)
{
    if (Properties_Panel)
        Properties_Panel->datasource_tab->View_batch_Series_Button(sender);
}

void SKTWindowController::Data_Source_Help_Button(QObject *sender)
{
    if (Properties_Panel)
        Properties_Panel->datasource_tab->Data_Source_Help_Button(sender);
}
