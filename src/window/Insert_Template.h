#pragma once

#include "window/TextEntryList.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The title and message picker: steps through the ready-made titles ("Title.txt") or messages
// ("Message.txt") of the Resources folder, lets the user edit the one shown and hands it back in
// Template_Msg_Val. Both lists are read again at every opening.
class Insert_Template : public QDialog {
    Q_OBJECT
public:
    explicit Insert_Template(QWidget *parent = nullptr);
    ~Insert_Template() override;

    // The picker the design window made; null while there is none.
    static Insert_Template *defaultInstance();

    // "T" offers titles; any other value messages. Set before opening.
    QString title_or_msg = QStringLiteral("T");

    // Prepares and runs the dialog: 1 OK (the text in Template_Msg_Val), 0 Cancel.
    int Open_Template_Dialog();
    // What opening does before the modal run: clears the answer, reads both lists and shows the
    // first entry.
    void Prepare_Dialog();
    void Load_Msg_And_Title();
    QString Get_Title() const { return Title_Array.current(); }
    QString Get_Message() const { return Message_Array.current(); }

    void Msg_Next_Click();
    void Msg_Back_Click();
    // Takes the shown text, trimmed; an empty one is refused with a message and the dialog stays.
    void OKPressed();
    void CancelPressed();

    TextEntryCycler Title_Array;
    TextEntryCycler Message_Array;
    QPlainTextEdit *msg_value;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    bool offersTitles() const { return title_or_msg == QLatin1String("T"); }
    void showEntry(const QString &text);

    QLabel *m_heading;
};
