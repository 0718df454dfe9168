#pragma once

#include "datasource/SeriesGenerator.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

// The series generator's window: a numbered sequence, one value repeated, or random numbers, into
// a new series file or into the series the batch series manager is editing. What OK does is
// SeriesGenerator's. The caller sets the two mode fields before Open_Wnd.
class Generate_List : public QDialog {
    Q_OBJECT
public:
    explicit Generate_List(QWidget *parent = nullptr);

    static Generate_List *defaultInstance();

    // 1: write a new series file under the name typed here; anything else: hand the values to the
    // batch series manager and show no name fields.
    int file_name_required = 0;
    // 1: the batch series manager reads its series list again afterwards.
    int file_name_Insert = 0;

    // Resets the fields and runs the dialog modally: 1 when values were generated, 0 for Cancel.
    int Open_Wnd();
    void Sequintial_Radio_Pressed();
    void Constant_Radio_Pressed();
    void Random_Radio_Pressed();
    // The text-change rules of a count or length field; the stepper follows the field.
    void controlTextDidChange(QLineEdit *field);
    void Help_btn_Pressed();
    void OKPressed();
    void CancelPressed();

    // The fields as typed.
    SeriesGenerator::Fields fields() const;

    QRadioButton *radioButton_Sequntial, *radioButton_Constant, *radioButton_Random;
    QLineEdit *seq_file_name, *const_file_name, *rndm_file_name;
    QLineEdit *prefix_txt, *suffix_txt, *from_txt, *to_txt;
    QCheckBox *manage_digit_chk;
    QToolButton *help_btn;
    QLineEdit *value_txt, *count_txt;
    QSpinBox *count_stepper;
    QLineEdit *rand_prefix_txt, *rand_suffix_txt, *rand_length_txt, *rand_count_txt;
    QSpinBox *rand_length_stepper, *rand_count_stepper;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    void selectMode(SeriesGenerator::Mode mode);
    void pairStepper(QLineEdit *field, QSpinBox *stepper);
};
