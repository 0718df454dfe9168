#pragma once

#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"
#include "output/MailRun.h"

#include <QDialog>

#include <functional>
#include <memory>

class Email_Setting;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class RecordRun;
class StepperSpinBox;

// What the mail window needs of the design window, which gives it.
struct MailHost {
    // Refreshes which data sources the design uses and answers a copy of them (GUI thread).
    std::function<std::shared_ptr<RecordBinding>()> sources;
    // The design as it stands, for the worker to draw from.
    std::function<DesignSnapshot()> snapshot;
    // Reloads the mail settings in force after the settings window closed.
    std::function<void()> reloadSettings;
    // The end of a run with records: the design window shows record 0 again.
    std::function<void()> runEnded;
    RecordRun *run = nullptr; // the design window's worker and progress sheet
    MailScript task;
};

// The mail window: the card (or a plain mail) to the recipients, once or per record, in groups with
// pauses. Send reads and checks the form here, on the GUI thread, and then runs the mails on the
// design window's worker behind the progress sheet; the window stays open until Close. Its logic is
// in plain members, so a test can fill the form and press the buttons without a modal loop.
class Send_Mail : public QDialog {
    Q_OBJECT
public:
    explicit Send_Mail(MailHost host, QWidget *parent = nullptr);

    // Resets the form for `sources` and runs the window modally.
    int Open_Wnd();
    // Resets the form: front side, the sender in force, empty texts, the card attached, no data box
    // ticked, no groups.
    void reset();

    // Checks the form and starts the run; false when it did not start (the reason was shown).
    bool Send_Button();
    void Close_Button();
    void Setting_Button();
    void browse_att_Button();
    void clear_att_Button();
    void Without_barcode_rd_select();
    void send_barcode_rd_select();
    void send_with_chk_select();
    void delayed_delv_chk_select();
    void mail_card_side_CellClick(int row);

    // The form as it stands.
    MailForm form() const;
    // The closing message of the last run.
    const QString &lastMessage() const { return m_lastMessage; }
    void reject() override;

    QLineEdit *from_txt;
    QLineEdit *to_txt;
    QLineEdit *subject_txt;
    QPlainTextEdit *message_txt;
    QRadioButton *rd_mail_curr_barcode;
    QRadioButton *rd_without_barcode;
    QGroupBox *send_sett_box;
    QButtonGroup *matrix_card_side;
    QString card_side_str;
    QLineEdit *file_name_txt;
    QCheckBox *send_with_batch_chk;
    QCheckBox *send_with_excel_chk;
    QRadioButton *rd_all_to_every;
    QRadioButton *rd_one_per_recp;
    QLineEdit *attachment;
    QPushButton *browse_att;
    QPushButton *clear_att;
    QCheckBox *delayed_delv_chk;
    QGroupBox *delayed_box;
    StepperSpinBox *mail_count_stepper;
    StepperSpinBox *hour_stepper;
    StepperSpinBox *min_stepper;
    StepperSpinBox *sec_stepper;
    QPushButton *sendButton;
    QPushButton *closeButton;
    QPushButton *settingsButton;

private:
    bool running() const;
    void setRunning(bool running);

    MailHost m_host;
    Email_Setting *m_settings = nullptr;
    bool m_seriesInUse = false;
    bool m_excelInUse = false;
    QString m_lastMessage;
};
