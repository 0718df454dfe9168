#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class Export_Template;
class ImageBrowserView;
class QComboBox;
class QPushButton;
struct MyImageObject;

// The template browser: the shipped templates or the user's own as pictures. OK hands the chosen
// template's design file to the caller in Selected_Template_Path; the user's templates can also be
// deleted, copied and renamed here.
class Template_Wizard : public QDialog {
    Q_OBJECT
public:
    // `nameDialog` asks for the new name when renaming; it must outlive the browser.
    explicit Template_Wizard(Export_Template *nameDialog, QWidget *parent = nullptr);
    ~Template_Wizard() override;

    // The browser the design window made; null while there is none.
    static Template_Wizard *defaultInstance();

    // Prepares and runs the browser modally: 1 OK, 0 Cancel.
    int Open_Template_Window();
    // What opening does before the modal run: the shipped templates, the first one chosen.
    void Prepare_Template_Window();
    void Fill_Templates();
    void Fill_Templates_User_Defined();
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);

    void OK_Click();
    void CancelClick();
    void Delete_Template_Click();
    void Copy_Templatee_Click();
    void Rename_Template_Click();
    // The first free "<name> (copy k).<extension>" beside `path`.
    static QString Create_New_File_Path(const QString &path);
    void Show_Hide_Template_Buttons(bool hide);
    // The profile for the new card, in the new-card profile dialog; its result is not needed here.
    void User_Profile_Click();
    // Lent by the design window.
    std::function<void(bool edit, const QString &side)> Open_User_Profile_Window;
    // Item 0 of the choice lists the shipped templates, any other the user's.
    void comboBoxSelectionDidChange(QComboBox *sender);

    int numberOfItemsInImageBrowser() const;
    const MyImageObject &imageBrowser_itemAtIndex(int index) const;
    bool imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination);
    void imageBrowserSelectionDidChange();

    // Numbers the identifiers of the user's template items; it only grows.
    quint64 User_Defined_File = 0;

    ImageBrowserView *imageBrowser;
    QComboBox *cat_cmbo_bx;
    QPushButton *Delete_temp_btn, *Copy_temp_btn, *Rename_temp_btn;
    QPushButton *User_Profile_btn;
    Export_Template *Export_Template_Window;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    void fillFrom(const QString &folder, bool user);
    // The chosen user template's picture, or empty after telling the user to choose one.
    QString selectedUserTemplate() const;
};
