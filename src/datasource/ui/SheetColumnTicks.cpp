#include "datasource/ui/SheetColumnTicks.h"

#include "core/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

ListDataTableModel *columnTicksModel(QList<QVariantMap> &entries, QList<ListDataTableModel::Column> columns,
                                     QObject *parent)
{
    return new ListDataTableModel(
        {[&entries] { return static_cast<int>(entries.size()); },
         [&entries](const QString &column, int row) { return ListDataTableModel::valueInRows(entries, column, row); },
         [&entries](const QVariant &value, const QString &column, int row) {
             if (!ListDataTableModel::containsRow(entries, row)) {
                 Show_NSLog_Message(QStringLiteral("No column %1 to change.").arg(row + 1));
                 return;
             }
             entries[row].insert(column, value);
         }},
        std::move(columns), parent);
}

void setUpColumnTicksView(QTableView *view, ListDataTableModel *model, int minimumHeight)
{
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    QHeaderView *header = view->horizontalHeader();
    for (int column = 0; column + 1 < model->columnCount(); ++column)
        header->resizeSection(column, model->headerData(column, Qt::Horizontal, Qt::SizeHintRole).toSize().width());
    header->setStretchLastSection(true);
    // The columns' size hints give widths only: the header takes the height of its text.
    header->setMinimumHeight(header->fontMetrics().height() + 10);
    view->setMinimumHeight(minimumHeight);
}

QFormLayout *sheetPickerForm(QLineEdit *workbook, int workbookWidth, QComboBox *sheets, QCheckBox *containsHeader)
{
    workbook->setReadOnly(true);
    workbook->setMinimumWidth(workbookWidth);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QDialog::tr("Workbook:"), workbook);
    form->addRow(QDialog::tr("Sheet:"), sheets);
    form->addRow(QString(), containsHeader);
    return form;
}

QHBoxLayout *sheetPickerButtons(QDialog *dialog, const std::function<void()> &selectAll,
                                const std::function<void()> &clearAll, const std::function<void()> &cancel,
                                const std::function<void()> &ok)
{
    const auto button = [dialog](const char *text, const char *name, const std::function<void()> &handler) {
        auto *made = new QPushButton(QDialog::tr(text), dialog);
        made->setObjectName(QLatin1String(name));
        QObject::connect(made, &QPushButton::clicked, dialog, [handler] { handler(); });
        return made;
    };
    QPushButton *const others[] = {button("Select All", "Select_ALL_btn", selectAll),
                                   button("Clear All", "Clear_All_btn", clearAll),
                                   button("Cancel", "Cancel_btn", cancel)};
    QPushButton *okButton = button("OK", "OK_btn", ok);
    okButton->setDefault(true);
    for (QPushButton *other : others)
        other->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addWidget(others[0]);
    row->addWidget(others[1]);
    row->addStretch(1);
    row->addWidget(others[2]);
    row->addWidget(okButton);
    return row;
}
