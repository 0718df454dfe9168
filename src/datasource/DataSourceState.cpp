#include "datasource/DataSourceState.h"

#include "core/AppState.h"

DataSourceState::DataSourceState()
{
    reset();
}

void DataSourceState::reset()
{
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Excel_Sheet_Number = Excel_Sheet_Columns = 0;
    Use_Data_Sheet_Values = false;
    Use_Excel_Binding_Values = false;
    Data_table_rows = 0;
    Excel_table_rows = 0;
    Total_Batch_Excel_Card = 0;
    Custom_Msg_Title.clear();
    Custom_Msg_Val.clear();
    Cutom_Msg_Title.clear();
    Cutom_Msg_Val.clear();
    Msg_Apply_All_Chk = false;
}

DataSourceState &DataSources()
{
    static DataSourceState *const state = [] {
        static DataSourceState made;
        App().addSubsystemReset([] { made.reset(); });
        return &made;
    }();
    return *state;
}
