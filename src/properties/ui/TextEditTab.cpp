#include "properties/ui/TextEditTab.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>

TextEditTab::TextEditTab(QWidget *parent) : PanelTab("text_edtng_tab", tr("Text"), parent)
{
    QFormLayout *text = addSection(tr("Text"));
    Text_value_Edit = named(new QPlainTextEdit, "Text_value_Edit");
    Text_value_Edit->setTabChangesFocus(true);
    Text_value_Edit->setMinimumHeight(Text_value_Edit->fontMetrics().lineSpacing() * 6 + 12);
    Text_value_Edit->setToolTip(tr("Up to 250 characters"));
    text->addRow(Text_value_Edit);
    insert_template_btn = named(new QPushButton(tr("Use Template Title")), "insert_template_btn");
    insert_template_btn->setToolTip(tr("Choose a ready-made text"));
    insert_template_btn->hide();
    text->addRow(insert_template_btn);

    QFormLayout *insert = addSection(tr("Date and Time"));
    Text_Date_style = comboBox("Text_Date_style");
    Text_Time_style = comboBox("Text_Time_style");
    Text_Date_style->setMinimumWidth(120);
    Text_Time_style->setMinimumWidth(120);
    Text_Insert_Date_btn = named(new QPushButton(tr("Insert")), "Text_Insert_Date_btn");
    Text_Insert_Date_btn->setToolTip(tr("Insert today's date in this form at the cursor"));
    Text_Insert_Time_btn = named(new QPushButton(tr("Insert")), "Text_Insert_Time_btn");
    Text_Insert_Time_btn->setToolTip(tr("Insert the time now in this form at the cursor"));
    addRow(insert, tr("Date:"), sideBySide({Text_Date_style, Text_Insert_Date_btn}));
    addRow(insert, tr("Time:"), sideBySide({Text_Time_style, Text_Insert_Time_btn}));
    finish();
}
