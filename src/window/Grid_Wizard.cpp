#include "window/Grid_Wizard.h"

#include "core/MessageBoxes.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

Grid_Wizard::Grid_Wizard(QWidget *parent)
    : QDialog(parent), Grid_clr(new ColorWell(this)), Grid_Space_slidr(new QSlider(Qt::Horizontal, this)),
      Show_hide_grid_chk(new QCheckBox(tr("Show grid"), this)), Grid_Opt_box(new QGroupBox(tr("Grid Options"), this)),
      m_spacingValue(new QLabel(this))
{
    setObjectName(QStringLiteral("Grid_Wizard"));
    setWindowTitle(tr("Grid"));
    setModal(true);
    DialogLook::applyBackground(this);

    Show_hide_grid_chk->setObjectName(QStringLiteral("Show_hide_grid_chk"));
    Grid_Opt_box->setObjectName(QStringLiteral("Grid_Opt_box"));
    Grid_clr->setObjectName(QStringLiteral("Grid_clr"));
    Grid_clr->setToolTip(tr("Grid Colour"));
    Grid_clr->setColor(QColor(Qt::lightGray));
    Grid_Space_slidr->setObjectName(QStringLiteral("Grid_Space_slidr"));
    Grid_Space_slidr->setRange(kMinSpacing, kMaxSpacing);
    Grid_Space_slidr->setPageStep(9);
    Grid_Space_slidr->setMinimumWidth(200);
    m_spacingValue->setObjectName(QStringLiteral("Grid_Space_value"));
    m_spacingValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_spacingValue->setMinimumWidth(QFontMetrics(m_spacingValue->font()).horizontalAdvance(QStringLiteral("000 pt")));

    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(Grid_clr);
    colourRow->addStretch(1);
    auto *spacingRow = new QHBoxLayout;
    spacingRow->addWidget(Grid_Space_slidr, 1);
    spacingRow->addWidget(m_spacingValue);

    auto *options = new QFormLayout(Grid_Opt_box);
    options->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    options->addRow(tr("Colour:"), colourRow);
    options->addRow(tr("Spacing:"), spacingRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(12);
    layout->addWidget(Show_hide_grid_chk);
    layout->addWidget(Grid_Opt_box);
    layout->addStretch(1);
    layout->addWidget(buttons);

    Fill_Controls(Grid_clr->color(), 9.0, false);

    connect(Grid_clr, &ColorWell::colorChanged, this, [this](const QColor &color) {
        Log_Exceptions([&] {
            if (Grid_Clr_Changed)
                Grid_Clr_Changed(color);
        });
    });
    connect(Grid_Space_slidr, &QSlider::valueChanged, this, [this](int value) {
        showSpacing(value);
        Log_Exceptions([&] {
            if (Grid_Slider_Changed)
                Grid_Slider_Changed(static_cast<double>(value));
        });
    });
    connect(Show_hide_grid_chk, &QCheckBox::toggled, this, [this](bool shown) {
        Grid_Opt_box->setEnabled(shown);
        Log_Exceptions([&] {
            if (Grid_Show_Hide_Changed)
                Grid_Show_Hide_Changed(shown);
        });
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Btn_Clicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { Cancel_Btn_Clicked(); });
}

Grid_Wizard *Grid_Wizard::defaultInstance()
{
    return defaultDialogInstance<Grid_Wizard>();
}

void Grid_Wizard::Fill_Controls(const QColor &color, double spacing, bool shown)
{
    const QSignalBlocker blockSlider(Grid_Space_slidr);
    const QSignalBlocker blockCheck(Show_hide_grid_chk);
    Grid_clr->setColor(color);
    const int whole = std::isfinite(spacing) ? static_cast<int>(std::lround(spacing)) : kMinSpacing;
    Grid_Space_slidr->setValue(whole);
    showSpacing(Grid_Space_slidr->value());
    Show_hide_grid_chk->setChecked(shown);
    Grid_Opt_box->setEnabled(shown);
}

void Grid_Wizard::Open_Wnd()
{
    Log_Exceptions([&] {
        exec();
        hide();
    });
}

void Grid_Wizard::OK_Btn_Clicked()
{
    done(1);
}

void Grid_Wizard::Cancel_Btn_Clicked()
{
    done(0);
}

void Grid_Wizard::showSpacing(int spacing)
{
    m_spacingValue->setText(tr("%1 pt").arg(spacing));
}
