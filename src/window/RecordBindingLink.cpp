#include "window/SKTWindowController.h"

#include "core/AppState.h"
#include "datasource/DataSourceState.h"
#include "datasource/DataSourceType.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SeriesStore.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"
#include "profile/User_Profile_Class.h"
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

void SKTWindowController::connectColumnBindings()
{
    Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    const auto excelBound = [this](const std::function<void(SKTGraphic &, int index, int side)> &each) {
        const SKTGraphicList *sides[2] = {Get_Front_Controls_Array(), Get_Back_Controls_Array()};
        for (int side = 0; side < 2; ++side)
            for (int index = 0; sides[side] && index < sides[side]->count(); ++index)
                if (SKTGraphic *graphic = sides[side]->at(index).get(); graphic && takesRecords(*graphic) &&
                                                                        dataSourceTypeOf(*graphic) == DataSourceType::Excel)
                    each(*graphic, index, side);
    };
    m_boundFieldsListing = excel->listBoundFields.subscribe([excelBound](QList<Data_From_Excel::BoundField> &fields) {
        excelBound([&fields](SKTGraphic &graphic, int index, int side) {
            // An emptied profile field's hidden object follows too, unnamed: no card shows it.
            if (graphic.binding.excel_col_indx > 0 && graphic.ctrl_is_visible)
                fields << Data_From_Excel::BoundField{boundObjectName(graphic, index, side),
                                                      graphic.binding.excel_col_indx};
        });
    });
    m_columnsRebinding = excel->columnsRebound.subscribe([this, excel, excelBound](const QHash<int, int> &moves) {
        excelBound([excel, &moves](SKTGraphic &graphic, int, int) { excel->findColumn(graphic.binding, moves); });
        // The profiles place their fields again at every confirmation: they move with the objects.
        for (User_Profile_Class *profile : {Front_user_profile.get(), Back_user_profile.get(), TEMP_user_profile.get()})
            for (const User_Profile_Field &field : User_Profile_Fields())
                if (profile)
                    excel->findColumn(profile->*field.binding, moves);
        Refresh_Canvas();
    });
}

void SKTWindowController::findColumnsOfInserted(const SKTGraphicList::Change &change)
{
    if (change.type != SKTGraphicList::Change::Inserted)
        return;
    const Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    for (const SKTGraphicPtr &graphic : change.graphics)
        if (graphic)
            excel->findColumn(graphic->binding);
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
