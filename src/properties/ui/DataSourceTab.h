#pragma once

#include "properties/ui/PanelTab.h"

#include <functional>

class PanelDesign;
class PanelWindow;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SKTGraphic;

// The data-source tab of texts and pictures: where the current object's value comes from (typed,
// an entry of a series, or a column of the bound Excel sheet), and for pictures the file they show.
//
// Choosing a source or a series binds the current object alone, never the rest of a selection,
// and runs whether the user or the program made the choice, the panel's filling included: that is
// what lists the series or columns and binds the object shown.
class DataSourceTab : public PanelTab {
    Q_OBJECT
public:
    DataSourceTab(PanelDesign &design, PanelWindow &window, QWidget *parent = nullptr);

    QLabel *data_source_title;
    // "Manual", "Series" and, while an Excel sheet is bound, "Excel"; positions are the codes.
    QComboBox *Data_source_type;
    // Series names or Excel column titles.
    QComboBox *Batch_Series;
    QPushButton *view_series_btn;
    QPushButton *data_source_help_btn;
    // The picture file and the buttons that choose it; only a typed source may choose.
    QGroupBox *manual_brws_box;
    QLineEdit *Manual_image_path;
    QPushButton *manual_brws_btn, *manual_lib_brws_btn;

    // What a choice changes beyond this tab, given by the panel: the text editor and its template
    // button (only a typed text may be edited), and the image tab's write-back.
    QPlainTextEdit *Text_value_Edit = nullptr;
    QPushButton *insert_template_btn = nullptr;
    std::function<void()> Update_Image_Graphics;

    // The choice of Data_source_type: enables the controls of that source, lists the series or
    // columns and gives the current object the source.
    void Data_Source_Changed();
    // The choice of Batch_Series: binds the current object to it and shows the first value in the
    // object. Nothing is bound, and the object is left alone, for a source that is neither a series
    // nor the Excel sheet.
    void Batch_Series_Changed();
    // Shows the data behind the chosen source: the chosen series, or the rows of the Excel sheet.
    void View_batch_Series_Button(QObject *sender);
    // Explains the sources in the long-message dialog.
    void Data_Source_Help_Button(QObject *sender);

    // The series names, or the Excel sheet's column titles (the row number's first): the list is
    // emptied and refilled with nothing chosen, quietly; the caller runs what a choice would run.
    static void Fill_Data_Set_File_Name_In_Combo(QComboBox *combo);
    static void Fill_Excel_Col_Name_In_Combo(QComboBox *combo);
    // A data-source list offers "Excel" only while a sheet is bound: added to a list of the other two
    // alone, removed from a list of all three.
    static void Add_Excel_Col_Name_In_Combo(QComboBox *combo);
    static void Remove_Excel_Col_Name_In_Combo(QComboBox *combo);

    // For the fills: shows an object's source code, and the choice runs even when that item was
    // shown already. A code the list does not hold selects nothing.
    void showDataSource(int dataSource);
    // Shows an object's series; with `deselectFirst` the item at the object's series index is let go
    // first, so that choosing the series runs again. An empty name leaves the list as it is.
    void showSeries(const SKTGraphic &graphic, bool deselectFirst);

private:
    // A bound source disables typing and choosing files; a typed one the series list.
    void enableForSource(bool bound);
    static void refill(QComboBox *combo, const QStringList &items);

    PanelDesign &m_design;
    PanelWindow &m_window;
};
