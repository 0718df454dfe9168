#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The shared long-message dialog: a title line over a text that may be long (it scrolls), with OK.
// Help buttons and messages too long for a message box show here. One instance for the run.
class Long_SMS_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit Long_SMS_Dlg(QWidget *parent = nullptr);

    static Long_SMS_Dlg *defaultInstance();

    // The title line and the text of the next showing.
    void Set_Message(const QString &title, const QString &text);
    // Runs modally; the modal code (1 for OK).
    int Open_Long_sms_Dialog();
    void OK_Btn_Clicked();

    QLabel *msg_title_lbl;
    QPlainTextEdit *msg_text_view;
    QPushButton *OK_btn;
};
