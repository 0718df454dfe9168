#include "datasource/ui/ExcelRowsWindow.h"

#include "core/MessageBoxes.h"
#include "datasource/Data_From_Excel.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Excel's binding lives for the whole run; so does its window.
class DefaultExcelRowsWindow : public ExcelRowsWindow {
public:
    DefaultExcelRowsWindow() : ExcelRowsWindow(*Data_From_Excel::defaultInstance()) {}
};

QLabel *countLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(48);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

ExcelRowsWindow *ExcelRowsWindow::defaultInstance()
{
    return defaultDialogInstance<DefaultExcelRowsWindow>();
}

ExcelRowsWindow::ExcelRowsWindow(Data_From_Excel &store, QWidget *parent)
    : QDialog(parent), ColList(new QTableView(this)), rows_count(countLabel(QStringLiteral("rows_count"), this)),
      column_count(countLabel(QStringLiteral("column_count"), this)), m_rows(store)
{
    setObjectName(QStringLiteral("Data_From_Excel"));
    setWindowTitle(tr("Excel Rows"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *heading = new QLabel(tr("Rows of the worksheet bound to the design"), this);
    DialogLook::makeHeading(heading, 1.05);

    ColList->setObjectName(QStringLiteral("ColList"));
    ColList->setModel(m_rows.ColList);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColList->setAlternatingRowColors(true);
    ColList->verticalHeader()->hide();
    ColList->horizontalHeader()->setDefaultSectionSize(ExcelRowsTable::kColumnWidth);
    ColList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ColList->horizontalHeader()->setStretchLastSection(true);
    // The columns' size hints give widths only: the header takes the height of its text.
    ColList->horizontalHeader()->setMinimumHeight(ColList->horizontalHeader()->fontMetrics().height() + 10);
    ColList->setMinimumSize(520, 300);

    auto *counts = new QHBoxLayout;
    counts->setSpacing(6);
    counts->addWidget(new QLabel(tr("Rows:"), this));
    counts->addWidget(rows_count);
    counts->addSpacing(18);
    counts->addWidget(new QLabel(tr("Columns:"), this));
    counts->addWidget(column_count);
    counts->addStretch();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    counts->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(heading);
    layout->addWidget(ColList, 1);
    layout->addLayout(counts);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Click(); });
}

void ExcelRowsWindow::showCounts()
{
    rows_count->setText(QString::number(m_rows.numberOfRowsInTableView(m_rows.ColList)));
    column_count->setText(QString::number(m_rows.ColList->columnCount()));
}

int ExcelRowsWindow::Open_Wnd()
{
    int code = 0;
    Log_Exceptions([&] {
        showCounts();
        code = exec();
        hide();
    });
    return code;
}

void ExcelRowsWindow::OK_Click()
{
    done(1);
}

void ExcelRowsWindow::reject()
{
    OK_Click();
}

void ExcelRowsWindow::Mark_List_New_Selection(int row)
{
    if (row < 0 || row >= m_rows.ColList->rowCount())
        return;
    ColList->selectRow(row);
    ColList->scrollTo(m_rows.ColList->index(row, 0));
}
