#include "properties/ui/CardSizeChoice.h"

#include <QComboBox>
#include <QDoubleSpinBox>

void showCardMillimetres(QDoubleSpinBox &width, QDoubleSpinBox &height, const QSizeF &millimetres)
{
    width.setValue(static_cast<double>(static_cast<float>(millimetres.width())));
    height.setValue(static_cast<double>(static_cast<float>(millimetres.height())));
}

void showPresetSize(const CardPresetSize &presetSize, const QComboBox &category, const QComboBox &orientation,
                    int row, QDoubleSpinBox &width, QDoubleSpinBox &height)
{
    const QString code =
        orientation.currentText() == QLatin1String("Horizontal") ? QStringLiteral("H") : QStringLiteral("V");
    showCardMillimetres(width, height, presetSize(category.currentText(), code, row));
}
