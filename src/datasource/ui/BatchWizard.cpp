#include "datasource/ui/BatchWizard.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/MessageBoxes.h"
#include "datasource/ui/Generate_List.h"
#include "datasource/ui/Import_Wizard.h"
#include "datasource/ui/ListDataTableModel.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QTableView *makeTable(QWidget *parent, const char *name, ListDataTableModel *model)
{
    auto *table = new QTableView(parent);
    table->setObjectName(QLatin1String(name));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setMinimumHeight(table->horizontalHeader()->fontMetrics().height() + 10);
    table->setMinimumSize(360, 260);
    return table;
}

QPushButton *button(QWidget *parent, const QString &text, const char *name)
{
    auto *made = new QPushButton(text, parent);
    made->setObjectName(QLatin1String(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

BatchWizard *BatchWizard::defaultInstance()
{
    return defaultDialogInstance<BatchWizard>();
}

BatchWizard::BatchWizard(QWidget *parent)
    : QDialog(parent), screens(new QStackedWidget(this)), avl_list_box(new QWidget(screens)),
      list_value_box(new QWidget(screens)), batch_list_name(new QLineEdit(list_value_box)),
      batch_list_count(new QLabel(avl_list_box)), batch_value_count(new QLabel(list_value_box)),
      Update_Value_Wnd(new QDialog(this)), Update_m_ex_num_str(new QLineEdit(Update_Value_Wnd)),
      plz_wait_Window(new PleaseWait_Modeless(this)), m_previous(installBatchWizard_Window(&editor))
{
    setObjectName(QStringLiteral("BatchWizard"));
    setWindowTitle(tr("Batch Processing Series"));
    setModal(true);
    DialogLook::applyBackground(this);

    const auto rows = [](const QList<QVariantMap> &list) {
        return ListDataTableModel::DataSource{[&list] { return static_cast<int>(list.size()); },
                                              [&list](const QString &column, int row) {
                                                  return ListDataTableModel::valueInRows(list, column, row);
                                              },
                                              [](const QVariant &, const QString &, int) {}};
    };
    m_listModel = new ListDataTableModel(rows(editor.ListData),
                                         {{BatchSeriesEditor::kListKey, tr("Series"), Qt::AlignLeft | Qt::AlignVCenter, 300, false, false}},
                                         this);
    m_valueModel = new ListDataTableModel(rows(editor.ListData_value),
                                          {{BatchSeriesEditor::kValueKey, tr("Values"), Qt::AlignLeft | Qt::AlignVCenter, 300, false, false}},
                                          this);
    List = makeTable(avl_list_box, "List", m_listModel);
    List_value = makeTable(list_value_box, "List_value", m_valueModel);
    avl_list_box->setObjectName(QStringLiteral("avl_list_box"));
    list_value_box->setObjectName(QStringLiteral("list_value_box"));
    batch_list_name->setObjectName(QStringLiteral("batch_list_name"));
    batch_list_count->setObjectName(QStringLiteral("batch_list_count"));
    batch_value_count->setObjectName(QStringLiteral("batch_value_count"));

    // Screen 1: the series.
    auto *listHeading = new QLabel(tr("Series kept for binding cards to values, one value per card."), avl_list_box);
    DialogLook::makeHeading(listHeading, 1.05);
    auto *listButtons = new QHBoxLayout;
    listButtons->setObjectName(QStringLiteral("btn_box1"));
    const struct {
        const char *name;
        const char *text;
        void (BatchWizard::*action)();
    } listCommands[] = {{"Add_New_btn", "Add New", &BatchWizard::Add_New_Btn_Clicked},
                        {"Update_btn", "Open", &BatchWizard::Update_Btn_Clicked},
                        {"Delete_btn", "Delete", &BatchWizard::Delete_Btn_Clicked},
                        {"Import_btn", "Import...", &BatchWizard::Import_Btn_Clicked},
                        {"Generate_btn", "Generate...", &BatchWizard::Generate_Btn_Clicked},
                        {nullptr, nullptr, nullptr},
                        {"Help_btn", "Help", &BatchWizard::Help_Btn_Clicked},
                        {"Close_btn", "Close", &BatchWizard::Close_Btn_Clicked}};
    for (const auto &command : listCommands) {
        if (!command.name) {
            listButtons->addStretch();
            continue;
        }
        QPushButton *made = button(avl_list_box, tr(command.text), command.name);
        connect(made, &QPushButton::clicked, this, command.action);
        listButtons->addWidget(made);
    }
    auto *listLayout = new QVBoxLayout(avl_list_box);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(10);
    listLayout->addWidget(listHeading);
    listLayout->addWidget(List, 1);
    listLayout->addWidget(batch_list_count);
    listLayout->addLayout(listButtons);

    // Screen 2: the values of one series.
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("Series name:"), list_value_box));
    nameRow->addWidget(batch_list_name, 1);
    auto *valueButtons = new QHBoxLayout;
    valueButtons->setObjectName(QStringLiteral("btn_box2"));
    const struct {
        const char *name;
        const char *text;
        void (BatchWizard::*action)();
    } valueCommands[] = {{"Import_Value_btn", "Import...", &BatchWizard::Import_Value_Btn_Clicked},
                         {"Generate_Value_btn", "Generate...", &BatchWizard::Generate_Value_Btn_Clicked},
                         {"Delete_Rows_btn", "Delete Rows", &BatchWizard::Delete_Rows_Btn_Clicked},
                         {"Save_btn", "Save", &BatchWizard::Save_Btn_Clicked},
                         {"Export_btn", "Export...", &BatchWizard::Export_Btn_Clicked},
                         {nullptr, nullptr, nullptr},
                         {"Back_btn", "Back", &BatchWizard::Back_Btn_Clicked},
                         {"Help_Value_btn", "Help", &BatchWizard::Help_Btn_Clicked},
                         {"Close_Value_btn", "Close", &BatchWizard::Close_Btn_Clicked}};
    for (const auto &command : valueCommands) {
        if (!command.name) {
            valueButtons->addStretch();
            continue;
        }
        QPushButton *made = button(list_value_box, tr(command.text), command.name);
        connect(made, &QPushButton::clicked, this, command.action);
        valueButtons->addWidget(made);
    }
    auto *valueLayout = new QVBoxLayout(list_value_box);
    valueLayout->setContentsMargins(0, 0, 0, 0);
    valueLayout->setSpacing(10);
    valueLayout->addLayout(nameRow);
    valueLayout->addWidget(List_value, 1);
    valueLayout->addWidget(batch_value_count);
    valueLayout->addLayout(valueButtons);

    screens->addWidget(avl_list_box);
    screens->addWidget(list_value_box);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->addWidget(screens);
    buildValueDialog();

    editor.listChanged = editor.valuesChanged = [this] { scheduleReload(); };
    connect(batch_list_name, &QLineEdit::textEdited, this, [this](const QString &name) {
        editor.batch_list_name = name;
        editor.modified = true;
    });
    connect(List, &QTableView::doubleClicked, this, [this] { doubleClickTable(List); });
    connect(List_value, &QTableView::doubleClicked, this, [this] { doubleClickTable(List_value); });
    reloadTables();
}

BatchWizard::~BatchWizard()
{
    // Dialogs that outlive this one must not reach its editor.
    if (BatchWizard_Window() == &editor)
        installBatchWizard_Window(m_previous);
    List->setModel(nullptr);
    List_value->setModel(nullptr);
    editor.listChanged = editor.valuesChanged = [] {};
}

void BatchWizard::buildValueDialog()
{
    Update_Value_Wnd->setObjectName(QStringLiteral("Update_Value_Wnd"));
    Update_Value_Wnd->setWindowTitle(tr("Edit Value"));
    DialogLook::applyBackground(Update_Value_Wnd);
    Update_m_ex_num_str->setObjectName(QStringLiteral("Update_m_ex_num_str"));
    Update_m_ex_num_str->setMinimumWidth(320);
    auto *cancel = button(Update_Value_Wnd, tr("Cancel"), "Update_Cancel_btn");
    auto *ok = button(Update_Value_Wnd, tr("OK"), "Update_OK_btn");
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(Update_Value_Wnd);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(new QLabel(tr("Value:"), Update_Value_Wnd));
    layout->addWidget(Update_m_ex_num_str);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, Update_Value_Wnd, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (editor.Update_Value(m_editRow, Update_m_ex_num_str->text(), m_unedited)) {
            reloadTables();
            Update_Value_Wnd->accept();
        } else {
            Update_m_ex_num_str->setFocus();
        }
    });
}

int BatchWizard::Open_Wnd()
{
    Check_Path_And_Create_Files();
    showList();
    editor.Fill_List();
    reloadTables();
    const int code = exec();
    hide();
    return code;
}

void BatchWizard::scheduleReload()
{
    // Imports add values one by one; the tables read them once the import is done.
    if (std::exchange(m_reloadPending, true))
        return;
    QTimer::singleShot(0, this, [this] { reloadTables(); });
}

void BatchWizard::reloadTables()
{
    m_reloadPending = false;
    m_listModel->reloadData();
    m_valueModel->reloadData();
    batch_list_count->setText(QStringLiteral("Total List : %1").arg(editor.ListData.size()));
    batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(editor.ListData_value.size()));
}

bool BatchWizard::showsValues() const
{
    return screens->currentWidget() == list_value_box;
}

void BatchWizard::showList()
{
    editor.update_list_name.clear();
    screens->setCurrentWidget(avl_list_box);
    List->setFocus();
}

void BatchWizard::showValues()
{
    batch_list_name->setText(editor.batch_list_name);
    screens->setCurrentWidget(list_value_box);
    reloadTables();
    List_value->setFocus();
}

QList<int> BatchWizard::selectedRows(QTableView *table) const
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

void BatchWizard::Mark_List_New_Selection(int row)
{
    List->clearSelection();
    if (row >= 0)
        List->selectRow(row);
}

void BatchWizard::Mark_List_New_Selection_Value(int row)
{
    List_value->clearSelection();
    if (row >= 0)
        List_value->selectRow(row);
}

void BatchWizard::Add_New_Btn_Clicked()
{
    editor.Add_New();
    showValues();
}

void BatchWizard::Update_Btn_Clicked()
{
    const QList<int> rows = selectedRows(List);
    plz_wait_Window->setMessage(tr("Reading the series, please wait…"));
    if (!rows.isEmpty())
        plz_wait_Window->showPanel();
    const bool opened = editor.On_Update(rows.isEmpty() ? -1 : List->currentIndex().row());
    plz_wait_Window->hidePanel();
    if (opened)
        showValues();
    else
        List->setFocus();
}

void BatchWizard::Delete_Btn_Clicked()
{
    const QList<int> rows = selectedRows(List);
    const std::optional<int> select = editor.Delete_Series(rows, rows.isEmpty() ? -1 : List->currentIndex().row());
    reloadTables();
    if (select)
        Mark_List_New_Selection(*select);
}

namespace {

// The import wizard and the generator make a new series file from screen 1 (1) or hand their values
// to the series being edited on screen 2 (0); either way the manager's lists are read again.
template <typename Source>
void openSource(int fileNameRequired)
{
    Source *source = Source::defaultInstance();
    source->file_name_required = fileNameRequired;
    source->file_name_Insert = 1;
    source->Open_Wnd();
}

} // namespace

void BatchWizard::Import_Btn_Clicked()
{
    openSource<Import_Wizard>(1);
    reloadTables();
}

void BatchWizard::Generate_Btn_Clicked()
{
    openSource<Generate_List>(1);
    reloadTables();
}

void BatchWizard::Import_Value_Btn_Clicked()
{
    if (!editor.Prepare_Value_Import())
        return;
    openSource<Import_Wizard>(0);
    reloadTables();
}

void BatchWizard::Generate_Value_Btn_Clicked()
{
    if (!editor.Prepare_Value_Import())
        return;
    openSource<Generate_List>(0);
    reloadTables();
}

void BatchWizard::Delete_Rows_Btn_Clicked()
{
    const QList<int> rows = selectedRows(List_value);
    const std::optional<int> select = editor.Delete_Rows(rows, rows.isEmpty() ? -1 : List_value->currentIndex().row());
    reloadTables();
    if (select)
        Mark_List_New_Selection_Value(*select);
    else
        List_value->setFocus();
}

void BatchWizard::Save_Btn_Clicked()
{
    editor.batch_list_name = batch_list_name->text();
    if (!editor.Save()) {
        List_value->setFocus();
        return;
    }
    reloadTables();
    showList();
}

void BatchWizard::Export_Btn_Clicked()
{
    editor.batch_list_name = batch_list_name->text();
    const std::optional<QString> path = editor.Export_Values();
    if (path && exportDone)
        exportDone(*path);
}

void BatchWizard::Back_Btn_Clicked()
{
    editor.batch_list_name = batch_list_name->text();
    if (editor.Confirm_Leave())
        showList();
    reloadTables();
}

void BatchWizard::Close_Btn_Clicked()
{
    editor.batch_list_name = batch_list_name->text();
    if (showsValues() && !editor.Confirm_Leave())
        return;
    done(0);
}

void BatchWizard::reject()
{
    Close_Btn_Clicked();
}

void BatchWizard::Help_Btn_Clicked()
{
    Open_Help_File();
}

void BatchWizard::doubleClickTable(QTableView *table)
{
    const QList<int> rows = selectedRows(table);
    if (rows.size() > 1) {
        Show_MessageBox(QStringLiteral("Please select only one record to update."));
        return;
    }
    if (rows.isEmpty())
        return;
    if (table == List) {
        Update_Btn_Clicked();
        return;
    }
    m_editRow = rows.first();
    m_unedited = editor.Get_Value_Text(m_editRow);
    Update_m_ex_num_str->setText(m_unedited);
    Update_m_ex_num_str->selectAll();
    Update_Value_Wnd->exec();
    Update_m_ex_num_str->clear();
}
