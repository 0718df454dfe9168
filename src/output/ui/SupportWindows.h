#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>

#include <optional>

class QPushButton;

// Small windows around the design window: help and support, the review request shown on quitting,
// sharing, and the promotion of a companion page. Each ends its modal run with 1 from its buttons.

// A picture view that lays a tiled pattern under its picture.
class Promotion_Pattern : public QLabel {
    Q_OBJECT
public:
    explicit Promotion_Pattern(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

class Help_Support : public QDialog {
    Q_OBJECT
public:
    explicit Help_Support(QWidget *parent = nullptr);

    // Opens the guide, "Help.pdf" of the resources, with the desktop's viewer.
    void HelpFilePressed();

    QPushButton *website_1;
    QPushButton *reseller_1;
    QPushButton *reseller_2;
    QPushButton *support_id;
    QPushButton *support_id_2;
    QPushButton *_Help_File_Label;

protected:
    void reject() override { done(1); }
};

class Review_Form : public QDialog {
    Q_OBJECT
public:
    explicit Review_Form(QWidget *parent = nullptr);
    static Review_Form *defaultInstance();

    void OK_Clicked();
    void Review_Clicked();

    QPushButton *website_1;
    QPushButton *support_id;

protected:
    void reject() override { done(1); }
};

class Share_It_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit Share_It_Dlg(QWidget *parent = nullptr);

protected:
    void reject() override { done(1); }
};

class Promotion_Form : public QDialog {
    Q_OBJECT
public:
    explicit Promotion_Form(QWidget *parent = nullptr);
    static Promotion_Form *defaultInstance();

    // "S", "R" or "B": the page the next showing presents; another code shows what was shown last.
    QString software_type;

    // Shows the page of `software_type` and runs the window modally; the modal code.
    int Open_Promotion_Window();
    // Fills the window for `software_type` without running it.
    void showSoftware();

    void Mail_Clicked();
    void Contact_us_Clicked();
    void youtube_Clicked();

    Promotion_Pattern *bundle_image;
    QLabel *Software_title;
    QLabel *short_descp;
    QLabel *long_descp;
    QPushButton *website_1;
    QPushButton *support_id;

protected:
    void reject() override { done(1); }
};
