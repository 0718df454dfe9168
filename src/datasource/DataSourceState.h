#pragma once

#include <QString>

#include <atomic>

// The process-wide values of the data sources: the Excel sheet a design is bound to and what a
// bound run takes from the series and the sheet. reset() puts back the values the program starts
// with (App().reset() calls it). The flags and counts a run shares with its workers are atomic.
struct DataSourceState {
    DataSourceState();
    DataSourceState(const DataSourceState &) = delete;
    DataSourceState &operator=(const DataSourceState &) = delete;

    void reset();

    bool Excel_Binding_Use;
    QString Excel_Source_Path;
    int Excel_Sheet_Number, Excel_Sheet_Columns;
    std::atomic<bool> Use_Data_Sheet_Values, Use_Excel_Binding_Values;
    std::atomic<int> Data_table_rows, Excel_table_rows, Total_Batch_Excel_Card;

    QString Custom_Msg_Title, Custom_Msg_Val; // help box of the series generator
    // The long-message dialog: the information form's title and text, and the apply-to-all answer
    // of its last question (cleared when the import that asked ends).
    QString Cutom_Msg_Title, Cutom_Msg_Val;
    bool Msg_Apply_All_Chk;
};

DataSourceState &DataSources();
