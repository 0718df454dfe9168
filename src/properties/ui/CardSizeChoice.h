#pragma once

#include <QSizeF>
#include <QString>

#include <functional>

class QComboBox;
class QDoubleSpinBox;

// The design window's preset sizes: millimetres of a category's row, "H" or "V" (-1 for no row).
using CardPresetSize = std::function<QSizeF(const QString &category, const QString &preset, int list_index)>;

// A card size in millimetres into its width and height steppers, through single precision as the
// size controls keep it.
void showCardMillimetres(QDoubleSpinBox &width, QDoubleSpinBox &height, const QSizeF &millimetres);

// The size of the category's preset `row` into the steppers, in the orientation the orientation box
// shows: "Horizontal" lays the card down, anything else stands it up.
void showPresetSize(const CardPresetSize &presetSize, const QComboBox &category, const QComboBox &orientation,
                    int row, QDoubleSpinBox &width, QDoubleSpinBox &height);
