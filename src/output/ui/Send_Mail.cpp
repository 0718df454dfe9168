#include "output/ui/Send_Mail.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/OutputState.h"
#include "output/ui/Email_Setting.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "platform/UiServices.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/Form.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const char *const kSideCodes[] = {"BOTH", "F", "B"};

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *field = Form::named(new QLineEdit(parent), name);
    field->setMinimumWidth(320);
    return field;
}

} // namespace

Send_Mail::Send_Mail(MailHost host, QWidget *parent)
    : QDialog(parent), from_txt(lineEdit("from_txt", this)), to_txt(lineEdit("to_txt", this)),
      subject_txt(lineEdit("subject_txt", this)), message_txt(Form::named(new QPlainTextEdit(this), "message_txt")),
      rd_mail_curr_barcode(Form::named(new QRadioButton(tr("Attach the card"), this), "rd_mail_curr_barcode")),
      rd_without_barcode(Form::named(new QRadioButton(tr("Send without the card"), this), "rd_without_barcode")),
      send_sett_box(Form::named(new QGroupBox(this), "send_sett_box")),
      matrix_card_side(new QButtonGroup(this)), card_side_str(QStringLiteral("F")),
      file_name_txt(Form::named(new QLineEdit(this), "file_name_txt")),
      send_with_batch_chk(Form::checkBox("send_with_batch_chk", tr("One mail per value of the bound series"))),
      send_with_excel_chk(Form::checkBox("send_with_excel_chk", tr("One mail per bound Excel row"))),
      rd_all_to_every(Form::named(new QRadioButton(tr("Every record to every recipient"), this), "rd_all_to_every")),
      rd_one_per_recp(Form::named(new QRadioButton(tr("Record 1 to recipient 1, record 2 to recipient 2, …"), this),
                                  "rd_one_per_recp")),
      attachment(Form::named(new QLineEdit(this), "attachment")),
      browse_att(Form::named(new QPushButton(tr("Browse…"), this), "browse_att")),
      clear_att(Form::named(new QPushButton(tr("Clear"), this), "clear_att")),
      delayed_delv_chk(Form::checkBox("delayed_delv_chk", tr("Send in groups with a pause between them"))),
      delayed_box(Form::named(new QGroupBox(this), "delayed_box")),
      mail_count_stepper(Form::stepper("mail_count_stepper", "mail_count_txt", 1, 100000)),
      hour_stepper(Form::stepper("hour_stepper", "hour_txt", 0, 99)),
      min_stepper(Form::stepper("min_stepper", "min_text", 0, 59)),
      sec_stepper(Form::stepper("sec_stepper", "sec_txt", 0, 59)),
      sendButton(Form::named(new QPushButton(tr("Send"), this), "Send_Button")),
      closeButton(Form::named(new QPushButton(tr("Close"), this), "Close_Button")),
      settingsButton(Form::named(new QPushButton(tr("Settings…"), this), "Setting_Button")), m_host(std::move(host))
{
    setObjectName(QStringLiteral("Send_Mail"));
    setWindowTitle(tr("E-mail"));
    setModal(true);
    DialogLook::applyBackground(this);
    message_txt->setMinimumSize(320, 110);
    attachment->setMinimumWidth(220);
    // The two pairs of choices are made exclusive by code, as the user's clicks are.
    for (QRadioButton *radio : {rd_mail_curr_barcode, rd_without_barcode, rd_all_to_every, rd_one_per_recp})
        radio->setAutoExclusive(false);

    // The message.
    auto *message = Form::rows(nullptr);
    message->addRow(tr("From:"), from_txt);
    message->addRow(tr("To:"), to_txt);
    message->addRow(tr("Subject:"), subject_txt);
    message->addRow(tr("Message:"), message_txt);
    auto *hint = new QLabel(tr("Separate recipients with commas."), this);
    hint->setEnabled(false);
    message->insertRow(2, QString(), hint);

    // The card: sides, file name, records.
    auto *sides = new QHBoxLayout;
    const QStringList sideTitles{tr("Both sides"), tr("Front side"), tr("Back side")};
    for (int row = 0; row < sideTitles.size(); ++row) {
        auto *radio = new QRadioButton(sideTitles.at(row), send_sett_box);
        matrix_card_side->addButton(radio, row);
        sides->addWidget(radio);
    }
    sides->addStretch(1);
    auto *card = new QFormLayout(send_sett_box);
    card->setLabelAlignment(Qt::AlignRight);
    card->addRow(tr("Sides:"), sides);
    card->addRow(tr("File name:"), file_name_txt);
    card->addRow(QString(), send_with_batch_chk);
    card->addRow(QString(), send_with_excel_chk);
    card->addRow(QString(), rd_all_to_every);
    card->addRow(QString(), rd_one_per_recp);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(attachment, 1);
    fileRow->addWidget(browse_att);
    fileRow->addWidget(clear_att);
    auto *plain = new QFormLayout;
    plain->setLabelAlignment(Qt::AlignRight);
    plain->addRow(tr("Attachment:"), fileRow);

    auto *groups = new QFormLayout(delayed_box);
    groups->setLabelAlignment(Qt::AlignRight);
    auto *count = new QHBoxLayout;
    count->addWidget(mail_count_stepper);
    count->addStretch(1);
    groups->addRow(tr("Mails per group:"), count);
    auto *pause = new QHBoxLayout;
    for (auto [stepper, unit] : {std::pair{hour_stepper, tr("h")}, {min_stepper, tr("min")}, {sec_stepper, tr("s")}}) {
        pause->addWidget(stepper);
        pause->addWidget(new QLabel(unit, delayed_box));
    }
    pause->addStretch(1);
    groups->addRow(tr("Pause:"), pause);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(sendButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(closeButton, QDialogButtonBox::RejectRole);
    buttons->addButton(settingsButton, QDialogButtonBox::ResetRole);
    sendButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addLayout(message);
    layout->addWidget(rd_mail_curr_barcode);
    layout->addWidget(send_sett_box);
    layout->addWidget(rd_without_barcode);
    layout->addLayout(plain);
    layout->addWidget(delayed_delv_chk);
    layout->addWidget(delayed_box);
    layout->addWidget(buttons);

    connect(rd_mail_curr_barcode, &QRadioButton::clicked, this, [this] { send_barcode_rd_select(); });
    connect(rd_without_barcode, &QRadioButton::clicked, this, [this] { Without_barcode_rd_select(); });
    connect(matrix_card_side, &QButtonGroup::idClicked, this, [this](int row) { mail_card_side_CellClick(row); });
    connect(send_with_batch_chk, &QCheckBox::clicked, this, [this] { send_with_chk_select(); });
    connect(send_with_excel_chk, &QCheckBox::clicked, this, [this] { send_with_chk_select(); });
    connect(rd_all_to_every, &QRadioButton::clicked, this, [this] {
        rd_all_to_every->setChecked(true);
        rd_one_per_recp->setChecked(false);
    });
    connect(rd_one_per_recp, &QRadioButton::clicked, this, [this] {
        rd_one_per_recp->setChecked(true);
        rd_all_to_every->setChecked(false);
    });
    connect(delayed_delv_chk, &QCheckBox::clicked, this, [this] { delayed_delv_chk_select(); });
    connect(browse_att, &QPushButton::clicked, this, [this] { browse_att_Button(); });
    connect(clear_att, &QPushButton::clicked, this, [this] { clear_att_Button(); });
    connect(sendButton, &QPushButton::clicked, this, [this] { Send_Button(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { Close_Button(); });
    connect(settingsButton, &QPushButton::clicked, this, [this] { Setting_Button(); });
    SetObjEnabled(delayed_box, false);
}

int Send_Mail::Open_Wnd()
{
    reset();
    const int result = exec();
    hide();
    return result;
}

void Send_Mail::reset()
{
    matrix_card_side->button(1)->setChecked(true);
    card_side_str = QStringLiteral("F");
    from_txt->setText(Output().sender_email);
    for (QLineEdit *field : {to_txt, subject_txt, attachment})
        field->clear();
    message_txt->clear();
    file_name_txt->setText(QStringLiteral("ZOLTFrame"));
    send_with_batch_chk->setChecked(false);
    send_with_excel_chk->setChecked(false);
    rd_all_to_every->setChecked(true);
    rd_one_per_recp->setChecked(false);
    send_barcode_rd_select();
    delayed_delv_chk->setChecked(false);
    mail_count_stepper->setValue(1);
    for (StepperSpinBox *stepper : {hour_stepper, min_stepper, sec_stepper})
        stepper->setValue(0);
    delayed_delv_chk_select();
}

MailForm Send_Mail::form() const
{
    MailForm form;
    form.from = from_txt->text();
    form.to = to_txt->text();
    form.subject = subject_txt->text();
    form.body = message_txt->toPlainText();
    form.attachCard = rd_mail_curr_barcode->isChecked();
    form.sides = card_side_str;
    form.fileName = file_name_txt->text();
    form.everyRecordToEveryone = !rd_one_per_recp->isChecked();
    form.attachment = attachment->text();
    form.delayed = delayed_delv_chk->isChecked();
    form.groupSize = mail_count_stepper->intValue();
    form.hours = hour_stepper->intValue();
    form.minutes = min_stepper->intValue();
    form.seconds = sec_stepper->intValue();
    return form;
}

bool Send_Mail::running() const
{
    return m_host.run && m_host.run->isRunning();
}

void Send_Mail::setRunning(bool running)
{
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setEnabled(!running);
    if (!running) {
        // The enabling that the choices made, back as they were.
        rd_mail_curr_barcode->isChecked() ? send_barcode_rd_select() : Without_barcode_rd_select();
        delayed_delv_chk_select();
    }
}

bool Send_Mail::Send_Button()
{
    if (!m_host.run || running())
        return false;
    const OutputState &output = Output();
    const QString missing = m_host.task.problem();
    if (!missing.isEmpty()) {
        Show_MessageBox(missing);
        return false;
    }
    // Everything the worker reads is settled here: the form, the account, the sources, the design.
    std::shared_ptr<RecordBinding> binding;
    bool bound = false;
    int records = 0;
    if (rd_mail_curr_barcode->isChecked() && m_host.sources) {
        binding = m_host.sources();
        binding->useSources(send_with_batch_chk->isChecked(), send_with_excel_chk->isChecked());
        bound = binding->Use_Data_Sheet_Values || binding->Use_Excel_Binding_Values;
        records = binding->Total_Batch_Excel_Card;
    }
    const MailSettings saved{output.sender_email, output.sender_pwd, output.sending_server, output.sending_port,
                             output.send_enable_ssl};
    QString problem;
    const std::optional<MailRequest> checked = Check_Mail_Form(form(), saved, bound, records, &problem);
    if (!checked) {
        Show_MessageBox(problem);
        return false;
    }
    const MailRequest request = *checked;
    // Asked only of a form that can go: a "Continue" is never followed by a fault of the form.
    const std::optional<RunDrawing> drawing = startRun(
        request.mode == MailMode::WithoutCard || !m_host.snapshot ? DesignSnapshot() : m_host.snapshot(), binding);
    if (!drawing)
        return false;
    const QString unmailed = Unmailed_Records_Question(request);
    if (!unmailed.isEmpty() && platform::uiServices().askYesNo(unmailed) != platform::UiServices::Answer::Yes)
        return false;
    auto report = std::make_shared<MailReport>();
    const MailScript task = m_host.task;
    setRunning(true);
    // A mail under way is never cut off by Stop: it goes or fails first.
    const bool started = m_host.run->start(
        RunSheet{tr("Sending E-mail"), QString(), tr("Do you want to stop sending?"),
                 tr("Stopping once the e-mail being sent has gone…")},
        bound,
        [drawing = *drawing, request, task, report](const RunCounters &counters) {
            *report = Send_Mail_Thread(*drawing.design, request, drawing.apply, task, counters);
        },
        [this, report, bound] {
            if (bound && m_host.runEnded)
                m_host.runEnded();
            setRunning(false);
            m_lastMessage = report->message();
            Show_MessageBox(m_lastMessage);
        });
    if (!started)
        setRunning(false);
    return started;
}

void Send_Mail::Close_Button()
{
    if (!running())
        done(0);
}

void Send_Mail::reject()
{
    // The run reports into this window: it stays until the run is over.
    if (!running())
        QDialog::reject();
}

void Send_Mail::Setting_Button()
{
    if (!m_settings) {
        m_settings = new Email_Setting(m_host.task, this);
        m_settings->settingsReset = m_host.reloadSettings;
    }
    m_settings->Open_Wnd();
    if (m_host.reloadSettings)
        m_host.reloadSettings();
    from_txt->setText(Output().sender_email);
}

void Send_Mail::browse_att_Button()
{
    const QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = platform::uiServices().chooseFileToOpen(tr("Attachment"), start, {});
    if (!path.isEmpty())
        attachment->setText(QDir::toNativeSeparators(path));
}

void Send_Mail::clear_att_Button()
{
    attachment->clear();
}

void Send_Mail::Without_barcode_rd_select()
{
    rd_without_barcode->setChecked(true);
    rd_mail_curr_barcode->setChecked(false);
    SetObjEnabled(send_sett_box, false);
    for (QWidget *control : {static_cast<QWidget *>(attachment), static_cast<QWidget *>(browse_att),
                             static_cast<QWidget *>(clear_att)})
        control->setEnabled(true);
}

void Send_Mail::send_barcode_rd_select()
{
    if (m_host.sources) {
        const std::shared_ptr<RecordBinding> sources = m_host.sources();
        m_seriesInUse = sources->Use_Data_Sheet_Values;
        m_excelInUse = sources->Use_Excel_Binding_Values;
    }
    rd_mail_curr_barcode->setChecked(true);
    rd_without_barcode->setChecked(false);
    SetObjEnabled(send_sett_box, true);
    for (auto [box, inUse] : {std::pair{send_with_batch_chk, m_seriesInUse}, {send_with_excel_chk, m_excelInUse}}) {
        box->setEnabled(inUse);
        if (!inUse)
            box->setChecked(false);
    }
    send_with_chk_select();
    for (QWidget *control : {static_cast<QWidget *>(attachment), static_cast<QWidget *>(browse_att),
                             static_cast<QWidget *>(clear_att)})
        control->setEnabled(false);
}

void Send_Mail::send_with_chk_select()
{
    const bool perRecord = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
    rd_all_to_every->setEnabled(perRecord);
    rd_one_per_recp->setEnabled(perRecord);
}

void Send_Mail::delayed_delv_chk_select()
{
    SetObjEnabled(delayed_box, delayed_delv_chk->isChecked());
}

void Send_Mail::mail_card_side_CellClick(int row)
{
    card_side_str = QString::fromLatin1(kSideCodes[row >= 0 && row < 3 ? row : 2]);
}
