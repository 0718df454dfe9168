#include "output/ui/ExportSheet.h"

#include "platform/ui/DialogLook.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char *const kSideCodes[] = {"BOTH", "F", "B"};

QGroupBox *radioGroup(const QString &title, const QString &name, const QStringList &rows, QButtonGroup *&group,
                      QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    group = new QButtonGroup(box);
    auto *layout = new QVBoxLayout(box);
    layout->setSpacing(6);
    for (int row = 0; row < rows.size(); ++row) {
        auto *button = new QRadioButton(rows.at(row), box);
        group->addButton(button, row);
        layout->addWidget(button);
    }
    return box;
}

} // namespace

ExportSheet::ExportSheet(QWidget *parent)
    : QDialog(parent), export_combined_image_chk(new QCheckBox(tr("Combine both sides into one picture"), this)),
      fileFormatPopup(new QComboBox(this)), saveDPIText(new QComboBox(this)),
      Export_with_batch_chk(new QCheckBox(tr("One picture per value of the bound series"), this)),
      Export_with_excel_chk(new QCheckBox(tr("One picture per bound Excel row"), this))
{
    setObjectName(QStringLiteral("ExportWindow"));
    setWindowTitle(tr("Export"));
    setModal(true);
    DialogLook::applyBackground(this);

    matrix_export_card_side = radioGroup(tr("Sides"), QStringLiteral("matrix_export_card_side"),
                                         {tr("Both sides"), tr("Front side"), tr("Back side")}, sideRows, this);
    matrix_file_type = radioGroup(tr("File type"), QStringLiteral("matrix_file_type"), PictureExport::fileTypes(),
                                  typeRows, this);
    export_combined_image_chk->setObjectName(QStringLiteral("export_combined_image_chk"));
    fileFormatPopup->setObjectName(QStringLiteral("fileFormatPopup"));
    fileFormatPopup->addItems(PictureExport::fileTypes());
    saveDPIText->setObjectName(QStringLiteral("saveDPIText"));
    for (const int dpi : PictureExport::resolutions())
        saveDPIText->addItem(QString::number(dpi), dpi);
    Export_with_batch_chk->setObjectName(QStringLiteral("Export_with_batch_chk"));
    Export_with_excel_chk->setObjectName(QStringLiteral("Export_with_excel_chk"));

    connect(sideRows, &QButtonGroup::idClicked, this, [this](int row) { export_card_side_CellClick(row); });
    connect(typeRows, &QButtonGroup::idClicked, this, [this](int row) { export_file_type_CellClick(row); });
    connect(fileFormatPopup, &QComboBox::activated, this, [this](int item) { exportFileTypeChanged(item); });

    // The combine box belongs to "both sides", the popup to the type rows it follows.
    qobject_cast<QVBoxLayout *>(matrix_export_card_side->layout())->addWidget(export_combined_image_chk);
    auto *formatRow = new QFormLayout;
    formatRow->addRow(tr("Format:"), fileFormatPopup);
    qobject_cast<QVBoxLayout *>(matrix_file_type->layout())->addLayout(formatRow);
    auto *resolution = new QGroupBox(tr("Resolution"), this);
    auto *resolutionForm = new QFormLayout(resolution);
    resolutionForm->addRow(tr("Dots per inch:"), saveDPIText);
    auto *data = new QGroupBox(tr("Data"), this);
    auto *dataLayout = new QVBoxLayout(data);
    dataLayout->addWidget(Export_with_batch_chk);
    dataLayout->addWidget(Export_with_excel_chk);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    cancelButton = buttons->button(QDialogButtonBox::Cancel);
    okButton->setText(tr("Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { exportOkay(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { exportCancel(); });

    auto *columns = new QHBoxLayout;
    columns->setSpacing(12);
    auto *left = new QVBoxLayout;
    left->addWidget(matrix_export_card_side);
    left->addWidget(resolution);
    auto *right = new QVBoxLayout;
    right->addWidget(matrix_file_type, 1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(12);
    layout->addLayout(columns);
    layout->addWidget(data);
    layout->addWidget(buttons);
    resetForExport(false, false);
}

void ExportSheet::resetForExport(bool seriesInUse, bool excelInUse)
{
    typeRows->button(0)->setChecked(true);
    fileFormatPopup->setCurrentIndex(0);
    saveDPIText->setCurrentIndex(0);
    saveDPIText->setEnabled(true);
    export_combined_image_chk->setChecked(false);
    sideRows->button(1)->setChecked(true);
    export_card_side_CellClick(1);
    Export_with_batch_chk->setEnabled(seriesInUse);
    Export_with_batch_chk->setChecked(seriesInUse);
    Export_with_excel_chk->setEnabled(excelInUse);
    Export_with_excel_chk->setChecked(excelInUse);
}

int ExportSheet::Open_Wnd()
{
    adjustSize();
    return exec();
}

void ExportSheet::exportOkay()
{
    done(1);
}

void ExportSheet::exportCancel()
{
    done(0);
}

void ExportSheet::export_card_side_CellClick(int row)
{
    if (QAbstractButton *button = sideRows->button(row); button && !button->isChecked())
        button->setChecked(true);
    export_combined_image_chk->setEnabled(row == 0);
}

void ExportSheet::export_file_type_CellClick(int row)
{
    if (QAbstractButton *button = typeRows->button(row); button && !button->isChecked())
        button->setChecked(true);
    const QSignalBlocker blocker(fileFormatPopup);
    fileFormatPopup->setCurrentIndex(row);
}

void ExportSheet::exportFileTypeChanged(int item)
{
    if (QAbstractButton *button = typeRows->button(item))
        button->setChecked(true);
}

ExportChoice ExportSheet::choice() const
{
    ExportChoice choice;
    const int side = sideRows->checkedId();
    choice.sides = QString::fromLatin1(kSideCodes[side >= 0 && side < 3 ? side : 1]);
    choice.combined = choice.sides == QLatin1String("BOTH") && export_combined_image_chk->isChecked();
    choice.type = fileFormatPopup->currentText();
    choice.dpi = saveDPIText->currentData().toDouble();
    if (!(choice.dpi > 0))
        choice.dpi = PictureExport::resolutions().first();
    return choice;
}

bool ExportSheet::exportsSeries() const
{
    return Export_with_batch_chk->isEnabled() && Export_with_batch_chk->isChecked();
}

bool ExportSheet::exportsExcel() const
{
    return Export_with_excel_chk->isEnabled() && Export_with_excel_chk->isChecked();
}
