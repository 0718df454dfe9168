#include "window/Card_Wizard.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/UnitConversion.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "datasource/ui/ListDataTableModel.h"
#include "properties/ui/CardSizeChoice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <stdexcept>

const QString Card_Wizard::kListColumn = QStringLiteral("Extension");

Card_Wizard::Card_Wizard(QWidget *parent)
    : QDialog(parent), ColList(new QTableView(this)), Category_ComboBox(new QComboBox(this)),
      Preset_ComboBox(new QComboBox(this)), Sides_ComboBox(new QComboBox(this)),
      width_Stepper(new QDoubleSpinBox(this)), height_Stepper(new QDoubleSpinBox(this)),
      matrix_card_shape(new QGroupBox(tr("Card Shape"), this)), m_shapeButtons(new QButtonGroup(this)),
      m_listModel(new ListDataTableModel(
          {[this] { return numberOfRowsInTableView(ColList); },
           [this](const QString &column, int row) {
               return tableView_objectValueForTableColumn_row(ColList, column, row);
           },
           [this](const QVariant &value, const QString &column, int row) {
               tableView_setObjectValue_forTableColumn_row(ColList, value, column, row);
           }},
          {{kListColumn, QStringLiteral("Card Size")}}, this))
{
    setObjectName(QStringLiteral("Card_Wizard"));
    setWindowTitle(tr("Card Size"));
    setModal(true);
    DialogLook::applyBackground(this);

    Category_ComboBox->setObjectName(QStringLiteral("Category_ComboBox"));
    Category_ComboBox->addItems({QStringLiteral("PVC Card"), QStringLiteral("Paper Badge")});
    Preset_ComboBox->setObjectName(QStringLiteral("Preset_ComboBox"));
    Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
    Sides_ComboBox->setObjectName(QStringLiteral("Sides_ComboBox"));
    Sides_ComboBox->addItems({tr("Two Sides"), tr("One Side")});

    ColList->setObjectName(QStringLiteral("ColList"));
    ColList->setModel(m_listModel);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColList->verticalHeader()->hide();
    ColList->horizontalHeader()->setStretchLastSection(true);
    ColList->horizontalHeader()->setHighlightSections(false);
    ColList->setAlternatingRowColors(true);
    ColList->setMinimumHeight(ColList->verticalHeader()->defaultSectionSize() * 8 +
                              ColList->horizontalHeader()->sizeHint().height() + 4);

    for (QDoubleSpinBox *stepper : {width_Stepper, height_Stepper}) {
        stepper->setRange(1.0, 2000.0);
        stepper->setDecimals(3);
        stepper->setSingleStep(1.0);
        stepper->setSuffix(QStringLiteral(" mm"));
        stepper->setAlignment(Qt::AlignRight);
        stepper->setValue(30.0);
        stepper->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    width_Stepper->setObjectName(QStringLiteral("width_Stepper"));
    height_Stepper->setObjectName(QStringLiteral("height_Stepper"));

    matrix_card_shape->setObjectName(QStringLiteral("matrix_card_shape"));
    auto *shapeLayout = new QVBoxLayout(matrix_card_shape);
    const QStringList shapeNames{tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")};
    for (int row = 0; row < shapeNames.size(); ++row) {
        auto *button = new QRadioButton(shapeNames.at(row), matrix_card_shape);
        button->setObjectName(QStringLiteral("matrix_card_shape_%1").arg(row));
        m_shapeButtons->addButton(button, row);
        shapeLayout->addWidget(button);
    }
    m_shapeButtons->button(0)->setChecked(true);

    auto *profileButton = new QPushButton(tr("User Profile..."), this);
    profileButton->setObjectName(QStringLiteral("User_Profile_btn"));
    profileButton->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));

    // One form, so that every label and field lines up in the same two columns.
    auto *choices = new QFormLayout;
    choices->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    choices->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    choices->addRow(tr("Category:"), Category_ComboBox);
    choices->addRow(tr("Orientation:"), Preset_ComboBox);
    choices->addRow(tr("Sides:"), Sides_ComboBox);
    choices->addRow(tr("Width:"), width_Stepper);
    choices->addRow(tr("Height:"), height_Stepper);

    auto *right = new QVBoxLayout;
    right->setSpacing(12);
    right->addLayout(choices);
    right->addWidget(matrix_card_shape);
    right->addStretch(1);

    auto *body = new QHBoxLayout;
    body->setSpacing(16);
    body->addWidget(ColList, 1);
    body->addLayout(right);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(profileButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    // activated, not currentIndexChanged: a selection made by the program announces nothing.
    for (QComboBox *box : {Category_ComboBox, Preset_ComboBox, Sides_ComboBox})
        connect(box, &QComboBox::activated, this, [this, box] { comboBoxSelectionDidChange(box); });
    connect(ColList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableViewSelectionDidChange(); });
    connect(m_shapeButtons, &QButtonGroup::idClicked, this, [this] { card_shape_CellClick(); });
    connect(profileButton, &QPushButton::clicked, this, [this] { User_Profile_Click(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelClick(); });
}

Card_Wizard::~Card_Wizard() = default;

Card_Wizard *Card_Wizard::defaultInstance()
{
    return defaultDialogInstance<Card_Wizard>();
}

void Card_Wizard::Reset_Controls()
{
    const QSignalBlocker blockShapes(m_shapeButtons);
    m_shapeButtons->button(0)->setChecked(true);
    for (QComboBox *box : {Sides_ComboBox, Preset_ComboBox, Category_ComboBox}) {
        const QSignalBlocker block(box);
        box->setCurrentIndex(0);
    }
}

int Card_Wizard::Open_Wnd()
{
    int code = 0;
    const bool ran = Log_Exceptions([&] {
        Reset_Controls();
        code = exec();
        hide();
    });
    return ran ? code : 0;
}

void Card_Wizard::OK_Click()
{
    Log_Exceptions([&] {
        const QSizeF points(MM_to_Points_Convert(static_cast<float>(width_Stepper->value())),
                            MM_to_Points_Convert(static_cast<float>(height_Stepper->value())));
        if (Set_Document_Size)
            Set_Document_Size(points);
        SetDocumentCanvasSize(points); // throws when nobody plugged it in: the run stays open
        done(1);
    });
}

void Card_Wizard::CancelClick()
{
    Log_Exceptions([&] {
        App().Card_Shape = 0;
        done(0);
    });
}

void Card_Wizard::reject()
{
    CancelClick();
}

void Card_Wizard::card_shape_CellClick()
{
    Log_Exceptions([&] {
        const int row = m_shapeButtons->checkedId();
        if (row >= 0)
            App().Card_Shape = row;
    });
}

void Card_Wizard::User_Profile_Click()
{
    Log_Exceptions([&] { Open_User_Profile_Window(false, QString()); });
}

void Card_Wizard::comboBoxSelectionDidChange(QComboBox *sender)
{
    if (sender != Category_ComboBox)
        return;
    Log_Exceptions([&] {
        ListData.clear();
        reloadList();
        const QStringList &names = Category_ComboBox->currentIndex() == 0 ? pvc_card_arry : paper_card_arry;
        for (const QString &name : names)
            Create_List(name);
        reloadList();
        Mark_List_New_Selection(0);
    });
}

void Card_Wizard::tableViewSelectionDidChange()
{
    Log_Exceptions([&] {
        showPresetSize(Get_My_card_Size, *Category_ComboBox, *Preset_ComboBox, selectedRow(), *width_Stepper,
                       *height_Stepper);
    });
}

int Card_Wizard::numberOfRowsInTableView(const QTableView *table) const
{
    return table == ColList ? static_cast<int>(ListData.size()) : 0;
}

QVariant Card_Wizard::tableView_objectValueForTableColumn_row(const QTableView *table, const QString &column,
                                                              int row) const
{
    return table == ColList ? ListDataTableModel::valueInRows(ListData, column, row) : QVariant();
}

void Card_Wizard::tableView_setObjectValue_forTableColumn_row(const QTableView *table, const QVariant &value,
                                                              const QString &column, int row)
{
    Log_Exceptions([&] {
        if (table != ColList)
            return;
        if (!ListDataTableModel::containsRow(ListData, row))
            throw std::out_of_range("Card_Wizard: edited row lies outside the size list");
        ListData[row].insert(column, value);
    });
}

bool Card_Wizard::tableView_shouldSelectRow(const QTableView *, int) const
{
    return true;
}

void Card_Wizard::Create_List(const QString &name)
{
    const QString trimmed = Trim_Str(name);
    if (trimmed.isEmpty())
        return;
    const int row = static_cast<int>(ListData.size());
    m_listModel->beginAppend(row, row);
    ListData.append(QVariantMap{{kListColumn, trimmed}});
    m_listModel->endAppend();
}

void Card_Wizard::Mark_List_New_Selection(int row)
{
    if (row < 0 || row >= ListData.size() || !tableView_shouldSelectRow(ColList, row))
        return;
    ColList->selectRow(row);
    ColList->scrollTo(m_listModel->index(row, 0));
}

int Card_Wizard::selectedRow() const
{
    const QModelIndexList rows = ColList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Card_Wizard::reloadList()
{
    m_listModel->reloadData();
}
