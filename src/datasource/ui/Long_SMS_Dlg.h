#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The shared long-message dialog, in two forms. Information: a title line over a text that may be
// long (it scrolls), with OK; help buttons and messages too long for a message box show here.
// Question: a title and a text with Yes and No and, when asked for, a box that applies the answer
// to the like cases that follow (DataSources().Msg_Apply_All_Chk). One instance for the run; main
// thread only.
class Long_SMS_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit Long_SMS_Dlg(QWidget *parent = nullptr);

    static Long_SMS_Dlg *defaultInstance();

    // The information form: keeps the title and the text as DataSources().Cutom_Msg_Title and
    // Cutom_Msg_Val and shows them with OK.
    static void Show_Information(const QString &title, const QString &text);
    // The question form: 1 for Yes, 0 for No (Escape and the close button answer No). With
    // `applyToAllShown` the apply-to-all box shows, unticked; Yes sets the apply-to-all answer to
    // the box's tick, and to no whenever the box was not shown. No leaves the answer as it was.
    static int Ask_Question(const QString &title, const QString &text, bool applyToAllShown);

    // The next showing is a question when title_val is set, else the information form. Each
    // showing forgets the question, so that the next one without a new question is information.
    QString title_val;
    QString msg_val_str;
    bool apply_chk_show = false;
    // Runs modally: 1 for OK / Yes, 0 for No.
    int Open_Long_sms_Dialog();
    void OKPressed();
    void CancelPressed();

    QLabel *m_Msg_Title;
    QPlainTextEdit *m_Msg_Val;
    QCheckBox *apply_chk;
    QPushButton *yes_button;
    QPushButton *no_button;

public slots:
    void reject() override;
};
