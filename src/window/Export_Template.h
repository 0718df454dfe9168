#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

// Asks for a template's name, for a new template or for renaming one. OK accepts a name only when it
// can be a file name of the user's template folder and, as the case may be, the user agrees to
// replace the template of that name; the name goes to export_template_name.
class Export_Template : public QDialog {
    Q_OBJECT
public:
    explicit Export_Template(QWidget *parent = nullptr);

    // Runs modally: 1 with a name accepted, 0 for Cancel.
    int Open_Wnd();
    void OKPressed();
    void CancelPressed();

    QLineEdit *template_name;
    // The name of the template being renamed; empty for a new one.
    QString template_passed;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

protected:
    // The heading says whether a template is being made or renamed.
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_heading;
};
