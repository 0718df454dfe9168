#pragma once

#include <QDialog>

class QObject;

// Asks how to begin: from a template, with the wizard, or by opening a saved design. The answer
// goes to Start_Card_Option ("T", "W", "L"); Cancel ends the application.
class Start_Card : public QDialog {
    Q_OBJECT
public:
    explicit Start_Card(QWidget *parent = nullptr);

    static Start_Card *defaultInstance();

    void Using_Template_Click();
    void Using_Wizard_Click();
    void Open_Log_Click();
    void OK_Click();
    void CancelClick();
    void HelpClick();
    // 0 "T", 1 "W", 2 "L"; any other number leaves the option as it is. Then OK.
    void Select_card_option(int option, QObject *sender);

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;
};
