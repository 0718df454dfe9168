#include "datasource/ui/Generate_List.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceState.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/SetObjEnabled.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using Mode = SeriesGenerator::Mode;

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit *field(const char *name, int width = 120)
{
    auto *edit = named(new QLineEdit, name);
    edit->setMinimumWidth(width);
    return edit;
}

// A short number beside its arrows.
QLineEdit *numberField(const char *name)
{
    auto *edit = named(new QLineEdit, name);
    edit->setFixedWidth(64);
    return edit;
}

// The arrows alone, beside the field they step.
QSpinBox *arrows(const char *name, int most)
{
    auto *stepper = named(new QSpinBox, name);
    stepper->setRange(1, most);
    stepper->setValue(1);
    if (QLineEdit *text = stepper->findChild<QLineEdit *>())
        text->hide();
    stepper->setFixedWidth(22);
    return stepper;
}

QLabel *rowLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

Generate_List *Generate_List::defaultInstance()
{
    return defaultDialogInstance<Generate_List>();
}

Generate_List::Generate_List(QWidget *parent)
    : QDialog(parent), radioButton_Sequntial(named(new QRadioButton(tr("Sequential")), "radioButton_Sequntial")),
      radioButton_Constant(named(new QRadioButton(tr("Constant")), "radioButton_Constant")),
      radioButton_Random(named(new QRadioButton(tr("Random")), "radioButton_Random")),
      seq_file_name(field("seq_file_name", 180)), const_file_name(field("const_file_name", 180)),
      rndm_file_name(field("rndm_file_name", 180)), prefix_txt(field("prefix_txt")), suffix_txt(field("suffix_txt")),
      from_txt(field("from_txt")), to_txt(field("to_txt")),
      manage_digit_chk(named(new QCheckBox(tr("Keep the number of digits by adding 0's")), "manage_digit_chk")),
      help_btn(named(new QToolButton, "help_btn")), value_txt(field("value_txt")), count_txt(numberField("count_txt")),
      count_stepper(arrows("count_stepper", SeriesGenerator::kMostCount)), rand_prefix_txt(field("rand_prefix_txt")),
      rand_suffix_txt(field("rand_suffix_txt")), rand_length_txt(numberField("rand_length_txt")),
      rand_count_txt(numberField("rand_count_txt")),
      rand_length_stepper(arrows("rand_length_stepper", SeriesGenerator::kMostDigits)),
      rand_count_stepper(arrows("rand_count_stepper", SeriesGenerator::kMostCount))
{
    setObjectName(QStringLiteral("Generate_List"));
    setWindowTitle(tr("Generate Batch Processing Series"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *heading = new QLabel(tr("Generate the values of a series by a rule."), this);
    DialogLook::makeHeading(heading, 1.05);
    help_btn->setText(QStringLiteral("?"));
    help_btn->setToolTip(tr("What keeping the number of digits does"));

    // One grid for the three modes, so that their labels and fields line up.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnMinimumWidth(0, 18);
    int row = 0;
    const auto modeRow = [&](QRadioButton *radio, QLineEdit *name) {
        if (row > 0)
            grid->setRowMinimumHeight(row++, 6);
        QFont bold = radio->font();
        bold.setBold(true);
        radio->setFont(bold);
        grid->addWidget(radio, row, 0, 1, 2);
        grid->addWidget(named(rowLabel(tr("Series name:")), "name_label"), row, 2);
        grid->addWidget(name, row, 3, 1, 3);
        ++row;
    };
    const auto pair = [&](const QString &first, QWidget *firstField, const QString &second, QWidget *secondField) {
        grid->addWidget(rowLabel(first), row, 1);
        grid->addWidget(firstField, row, 2, 1, 2);
        grid->addWidget(rowLabel(second), row, 4);
        grid->addWidget(secondField, row, 5);
        ++row;
    };
    const auto withArrows = [](QLineEdit *text, QSpinBox *stepper) {
        auto *box = new QWidget;
        auto *line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(2);
        line->addWidget(text);
        line->addWidget(stepper);
        line->addStretch(1);
        return box;
    };

    modeRow(radioButton_Sequntial, seq_file_name);
    pair(tr("Prefix:"), prefix_txt, tr("Suffix:"), suffix_txt);
    pair(tr("From:"), from_txt, tr("To:"), to_txt);
    auto *digits = new QHBoxLayout;
    digits->setSpacing(6);
    digits->addWidget(manage_digit_chk);
    digits->addWidget(help_btn);
    digits->addStretch(1);
    grid->addLayout(digits, row++, 2, 1, 4);
    modeRow(radioButton_Constant, const_file_name);
    pair(tr("Value:"), value_txt, tr("Count:"), withArrows(count_txt, count_stepper));
    modeRow(radioButton_Random, rndm_file_name);
    pair(tr("Prefix:"), rand_prefix_txt, tr("Suffix:"), rand_suffix_txt);
    pair(tr("Digits:"), withArrows(rand_length_txt, rand_length_stepper), tr("Count:"),
         withArrows(rand_count_txt, rand_count_stepper));
    grid->setColumnStretch(3, 1);

    auto *cancel = named(new QPushButton(tr("Cancel")), "Cancel_btn");
    cancel->setAutoDefault(false);
    auto *ok = named(new QPushButton(tr("OK")), "OK_btn");
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(14);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(radioButton_Sequntial, &QRadioButton::clicked, this, [this] { Sequintial_Radio_Pressed(); });
    connect(radioButton_Constant, &QRadioButton::clicked, this, [this] { Constant_Radio_Pressed(); });
    connect(radioButton_Random, &QRadioButton::clicked, this, [this] { Random_Radio_Pressed(); });
    pairStepper(count_txt, count_stepper);
    pairStepper(rand_length_txt, rand_length_stepper);
    pairStepper(rand_count_txt, rand_count_stepper);
    connect(help_btn, &QToolButton::clicked, this, [this] { Help_btn_Pressed(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CancelPressed(); });
    connect(ok, &QPushButton::clicked, this, [this] { OKPressed(); });
}

void Generate_List::pairStepper(QLineEdit *text, QSpinBox *stepper)
{
    connect(text, &QLineEdit::textEdited, this, [this, text] { controlTextDidChange(text); });
    connect(stepper, &QSpinBox::valueChanged, this, [text](int value) { text->setText(QString::number(value)); });
}

int Generate_List::Open_Wnd()
{
    const bool named = file_name_required == 1;
    for (QLineEdit *name : {seq_file_name, const_file_name, rndm_file_name}) {
        name->clear();
        name->setVisible(named);
    }
    for (QWidget *label : findChildren<QLabel *>(QStringLiteral("name_label")))
        label->setVisible(named);
    if (named)
        seq_file_name->setText(QStringLiteral("Untitled"));
    manage_digit_chk->setChecked(false);
    for (QLineEdit *text : {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
        text->clear();
    for (QLineEdit *text : {count_txt, rand_length_txt, rand_count_txt})
        text->setText(QStringLiteral("1"));
    selectMode(Mode::Sequential);
    prefix_txt->setFocus();
    const int code = exec();
    hide();
    return code;
}

void Generate_List::selectMode(Mode mode)
{
    const struct {
        Mode mode;
        QRadioButton *radio;
        QLineEdit *name;
        QList<QWidget *> controls;
    } modes[] = {
        {Mode::Sequential, radioButton_Sequntial, seq_file_name,
         {prefix_txt, suffix_txt, from_txt, to_txt, help_btn, manage_digit_chk}},
        {Mode::Constant, radioButton_Constant, const_file_name, {value_txt, count_txt, count_stepper}},
        {Mode::Random, radioButton_Random, rndm_file_name,
         {rand_prefix_txt, rand_suffix_txt, rand_length_txt, rand_length_stepper, rand_count_txt, rand_count_stepper}},
    };
    for (const auto &entry : modes) {
        const bool on = entry.mode == mode;
        entry.radio->setChecked(on);
        if (on && Trim_Str(entry.name->text()).isEmpty())
            entry.name->setText(QStringLiteral("Untitled"));
        SetObjEnabled(entry.name, on);
        for (QWidget *control : entry.controls)
            SetObjEnabled(control, on);
    }
}

void Generate_List::Sequintial_Radio_Pressed()
{
    selectMode(Mode::Sequential);
}

void Generate_List::Constant_Radio_Pressed()
{
    selectMode(Mode::Constant);
}

void Generate_List::Random_Radio_Pressed()
{
    selectMode(Mode::Random);
}

void Generate_List::controlTextDidChange(QLineEdit *text)
{
    QSpinBox *stepper = text == count_txt ? count_stepper : text == rand_count_txt ? rand_count_stepper
                                                        : text == rand_length_txt ? rand_length_stepper
                                                                                  : nullptr;
    if (!stepper)
        return;
    const bool length = text == rand_length_txt;
    const QString ruled = SeriesGenerator::fieldRule(text->text(), length ? SeriesGenerator::kMostDigits
                                                                         : SeriesGenerator::kMostCount,
                                                     length ? 1 : 5);
    if (ruled != text->text())
        text->setText(ruled);
    const QSignalBlocker blocker(stepper);
    stepper->setValue(static_cast<int>(SeriesGenerator::integerValue(ruled)));
}

void Generate_List::Help_btn_Pressed()
{
    DataSourceState &state = DataSources();
    state.Custom_Msg_Title = QStringLiteral("Maintain number of Digits By adding 0's before smaller values. ");
    state.Custom_Msg_Val = QStringLiteral(
        "For example:\r\nIf you have to generate a series of barcodes having values from '0' to '200', this option "
        "automatically converts small values such as '1' to '001' and '11' to '011' to maintain number of digits same "
        "as the highest value in the series.\r\n\r\nSimilarly, if you have selected a series starting from '001' to "
        "'00200', this option automatically converts small values such as '001' to '00001' and '0011' to '00011' to "
        "maintain number of digits same as the highest value in the series.");
    Show_MessageBox(tr(qPrintable(state.Custom_Msg_Title)) + QStringLiteral("\n\n") + state.Custom_Msg_Val);
}

SeriesGenerator::Fields Generate_List::fields() const
{
    SeriesGenerator::Fields f;
    f.mode = radioButton_Constant->isChecked() ? Mode::Constant
             : radioButton_Random->isChecked() ? Mode::Random
                                               : Mode::Sequential;
    f.prefix = prefix_txt->text();
    f.suffix = suffix_txt->text();
    f.from = from_txt->text();
    f.to = to_txt->text();
    f.manage_digit = manage_digit_chk->isChecked();
    f.value = value_txt->text();
    f.count = count_txt->text();
    f.rand_prefix = rand_prefix_txt->text();
    f.rand_suffix = rand_suffix_txt->text();
    f.rand_length = rand_length_txt->text();
    f.rand_count = rand_count_txt->text();
    return f;
}

void Generate_List::OKPressed()
{
    const SeriesGenerator::Fields f = fields();
    QLineEdit *name = f.mode == Mode::Constant ? const_file_name : f.mode == Mode::Random ? rndm_file_name
                                                                                          : seq_file_name;
    const char *focus = nullptr;
    if (SeriesGenerator::OKPressed(f, name->text(), file_name_required, file_name_Insert, &focus)) {
        done(1);
        return;
    }
    if (focus == SeriesGenerator::kNameField)
        name->setFocus();
    else if (focus)
        if (QWidget *target = findChild<QWidget *>(QLatin1String(focus)))
            target->setFocus();
}

void Generate_List::CancelPressed()
{
    done(0);
}

void Generate_List::reject()
{
    CancelPressed();
}
