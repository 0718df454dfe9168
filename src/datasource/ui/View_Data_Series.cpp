#include "datasource/ui/View_Data_Series.h"

#include "core/MessageBoxes.h"
#include "datasource/SeriesStore.h"
#include "platform/RegularFile.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

void SeriesValuesModel::setValues(QStringList values)
{
    beginResetModel();
    m_values = std::move(values);
    endResetModel();
}

int SeriesValuesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_values.size());
}

QVariant SeriesValuesModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= m_values.size())
        return {};
    return m_values.at(index.row());
}

QVariant SeriesValuesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return tr("Value");
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QAbstractListModel::headerData(section, orientation, role);
}

View_Data_Series::View_Data_Series(QWidget *parent)
    : QDialog(parent), series_name(new QLineEdit(this)), List(new QTableView(this)), list_count(new QLabel(this)),
      ListData(this)
{
    setObjectName(QStringLiteral("View_Data_Series"));
    setWindowTitle(tr("View Batch Processing Series"));
    setModal(true);
    DialogLook::applyBackground(this);

    series_name->setObjectName(QStringLiteral("series_name"));
    series_name->setReadOnly(true);
    series_name->setMinimumWidth(260);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(tr("Series:"), series_name);

    List->setObjectName(QStringLiteral("List"));
    List->setModel(&ListData);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setAlternatingRowColors(true);
    List->setWordWrap(false);
    // Rows of one height, so that a long series lays out without measuring each row.
    List->verticalHeader()->hide();
    List->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List->verticalHeader()->setDefaultSectionSize(List->fontMetrics().height() + 6);
    List->horizontalHeader()->setStretchLastSection(true);
    List->horizontalHeader()->setMinimumHeight(List->horizontalHeader()->fontMetrics().height() + 10);
    List->setMinimumSize(340, 320);

    list_count->setObjectName(QStringLiteral("list_count"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_Btn"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(list_count);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addLayout(form);
    layout->addWidget(List, 1);
    layout->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Btn_Clicked(); });
    Update_batch_List_Count();
}

View_Data_Series *View_Data_Series::defaultInstance()
{
    return defaultDialogInstance<View_Data_Series>();
}

void View_Data_Series::Open_Series(const QString &seriesName, QWidget *parent)
{
    View_Data_Series *viewer = defaultInstance();
    if (parent && viewer->parentWidget() != parent)
        viewer->setParent(parent, viewer->windowFlags());
    viewer->file_name = seriesName;
    viewer->Open_Wnd();
}

int View_Data_Series::Open_Wnd()
{
    int code = 0;
    Log_Exceptions([&] {
        series_name->setText(file_name);
        Load_file_Func(Series_File_Path(file_name));
        List->scrollToTop();
        code = exec();
        hide();
    });
    return code;
}

void View_Data_Series::Load_file_Func(const QString &path)
{
    QString reason;
    const std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : Read_Series_File(path, &reason);
    // A file that is there but refused (past the series limits, unreadable) is said; one that is
    // gone or not text shows as no values.
    if (!bytes && platform::isRegularFile(path))
        Show_MessageBox(QStringLiteral("The series \"%1\" cannot be shown: %2.").arg(file_name, reason));
    const std::optional<QString> text = bytes ? Series_Text(*bytes) : std::nullopt;
    ListData.setValues(text ? Series_List_Values(*text) : QStringList());
    Update_batch_List_Count();
}

void View_Data_Series::Update_batch_List_Count()
{
    list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData.rowCount()));
}

void View_Data_Series::OK_Btn_Clicked()
{
    done(1);
}

void View_Data_Series::reject()
{
    OK_Btn_Clicked();
}
