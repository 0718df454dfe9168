#include "window/Template_Wizard.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "platform/SafeFileWriter.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/DialogLook.h"
#include "window/Export_Template.h"
#include "window/TemplateFiles.h"
#include "window/WindowState.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>


namespace {

Template_Wizard *g_instance = nullptr;

const QString kSelectTemplate = QStringLiteral("Please select template.");
const QString kDeleteQuestion = QStringLiteral("Do you want to delete this template?");
const QString kCopyQuestion = QStringLiteral("Do you want to make copy of this template?");

} // namespace

Template_Wizard::Template_Wizard(Export_Template *nameDialog, QWidget *parent)
    : QDialog(parent), imageBrowser(new ImageBrowserView(this)), cat_cmbo_bx(new QComboBox(this)),
      Delete_temp_btn(new QPushButton(tr("Delete"), this)), Copy_temp_btn(new QPushButton(tr("Copy"), this)),
      Rename_temp_btn(new QPushButton(tr("Rename..."), this)),
      User_Profile_btn(new QPushButton(tr("User Profile..."), this)), Export_Template_Window(nameDialog)
{
    g_instance = this;
    setObjectName(QStringLiteral("Template_Wizard"));
    setWindowTitle(tr("Templates"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *heading = new QLabel(tr("Choose a template to start from"), this);
    DialogLook::makeHeading(heading);
    cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
    cat_cmbo_bx->addItems({tr("Templates"), tr("My Templates")});
    cat_cmbo_bx->setMinimumWidth(160);
    auto *category = new QLabel(tr("Show:"), this);
    category->setObjectName(QStringLiteral("category_label"));
    auto *zoom = new QLabel(tr("Size"), this);
    zoom->setObjectName(QStringLiteral("_zoom_label"));
    QSlider *slider = imageBrowser->zoomSlider();
    slider->setFixedWidth(140);

    imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
    imageBrowser->setAllowsReordering(true);
    imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);

    Delete_temp_btn->setObjectName(QStringLiteral("Delete_temp_btn"));
    Copy_temp_btn->setObjectName(QStringLiteral("Copy_temp_btn"));
    Rename_temp_btn->setObjectName(QStringLiteral("Rename_temp_btn"));
    User_Profile_btn->setObjectName(QStringLiteral("User_Profile_btn"));
    User_Profile_btn->setToolTip(tr("The business-card fields to place on the new card"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OK_btn"));
    ok->setText(tr("Open"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));
    for (QPushButton *button : {Delete_temp_btn, Copy_temp_btn, Rename_temp_btn, User_Profile_btn}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(80);
    }

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(category);
    top->addWidget(cat_cmbo_bx);
    top->addStretch(1);
    top->addWidget(zoom);
    top->addWidget(slider);

    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(Delete_temp_btn);
    bottom->addWidget(Copy_temp_btn);
    bottom->addWidget(Rename_temp_btn);
    bottom->addStretch(1);
    bottom->addWidget(User_Profile_btn);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(12);
    layout->addWidget(heading);
    layout->addLayout(top);
    layout->addWidget(imageBrowser, 1);
    layout->addLayout(bottom);
    resize(780, 580);

    // activated, not currentIndexChanged: a choice made by the program announces nothing.
    connect(cat_cmbo_bx, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(cat_cmbo_bx); });
    connect(imageBrowser, &ImageBrowserView::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
    connect(Delete_temp_btn, &QPushButton::clicked, this, [this] { Delete_Template_Click(); });
    connect(Copy_temp_btn, &QPushButton::clicked, this, [this] { Copy_Templatee_Click(); });
    connect(Rename_temp_btn, &QPushButton::clicked, this, [this] { Rename_Template_Click(); });
    connect(User_Profile_btn, &QPushButton::clicked, this, [this] { User_Profile_Click(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelClick(); });
}

Template_Wizard::~Template_Wizard()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Template_Wizard *Template_Wizard::defaultInstance()
{
    return g_instance;
}

int Template_Wizard::Open_Template_Window()
{
    int code = 0;
    Log_Exceptions([&] {
        Prepare_Template_Window();
        code = exec();
        hide();
    });
    return code;
}

void Template_Wizard::Prepare_Template_Window()
{
    {
        const QSignalBlocker block(cat_cmbo_bx);
        cat_cmbo_bx->setCurrentIndex(0);
    }
    imageBrowser->removeAllItems();
    imageBrowser->setZoomValue(0.6);
    Fill_Templates();
    Show_Hide_Template_Buttons(true);
}

// --- Filling -----------------------------------------------------------------------------------------

void Template_Wizard::Fill_Templates()
{
    fillFrom(TemplateFiles::shippedFolder(), false);
}

void Template_Wizard::Fill_Templates_User_Defined()
{
    fillFrom(TemplateFiles::userFolder(), true);
}

void Template_Wizard::fillFrom(const QString &folder, bool user)
{
    Log_Exceptions([&] {
        Show_NSLog_Message(folder);
        // A choice from the other list must not stay chosen: delete would reach the wrong template.
        Win().Selected_Template_Path = QString(QLatin1String(""));
        imageBrowser->removeAllItems();
        if (!QFileInfo(folder).isDir())
            return;
        for (const QString &entry : ImageBrowserView::pictureFilesIn(folder)) {
            QString uid = entry;
            if (user)
                uid = QStringLiteral("TEMP%1.png").arg(User_Defined_File++);
            addImageWithPath(QDir(folder).filePath(entry), entry, uid);
        }
        if (imageBrowser->count() > 0)
            imageBrowser->setSelectionIndexes({0});
    });
}

void Template_Wizard::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    imageBrowser->addImageWithPath(path, imageName, image_UID);
}

void Template_Wizard::User_Profile_Click()
{
    Log_Exceptions([&] {
        if (Open_User_Profile_Window)
            Open_User_Profile_Window(false, QString());
    });
}

void Template_Wizard::Show_Hide_Template_Buttons(bool hide)
{
    for (QPushButton *button : {Delete_temp_btn, Copy_temp_btn, Rename_temp_btn})
        button->setVisible(!hide);
}

void Template_Wizard::comboBoxSelectionDidChange(QComboBox *sender)
{
    if (sender != cat_cmbo_bx)
        return;
    // Only the user's own templates can be deleted, copied or renamed.
    if (cat_cmbo_bx->currentIndex() == 0) {
        Fill_Templates();
        Show_Hide_Template_Buttons(true);
    } else {
        Fill_Templates_User_Defined();
        Show_Hide_Template_Buttons(false);
    }
}

// --- Browser -----------------------------------------------------------------------------------------

int Template_Wizard::numberOfItemsInImageBrowser() const
{
    return imageBrowser->count();
}

const MyImageObject &Template_Wizard::imageBrowser_itemAtIndex(int index) const
{
    return imageBrowser->itemAtIndex(index);
}

bool Template_Wizard::imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination)
{
    imageBrowser->moveItemsAtIndexes(indexes, destination);
    return true;
}

void Template_Wizard::imageBrowserSelectionDidChange()
{
    Log_Exceptions([&] {
        const QList<int> selection = imageBrowser->selectionIndexes();
        if (!selection.isEmpty() && selection.first() < imageBrowser->count())
            Win().Selected_Template_Path = imageBrowser->itemAtIndex(selection.first()).path;
    });
}

// --- Closing -----------------------------------------------------------------------------------------

void Template_Wizard::OK_Click()
{
    WindowState &win = Win();
    if (!QFileInfo(win.Selected_Template_Path).isFile()) {
        Show_MessageBox(kSelectTemplate);
        return;
    }
    App().Card_Shape = 0;
    win.Selected_Template_Path = TemplateFiles::withExtension(win.Selected_Template_Path, App().design_file_EXT);
    done(1);
}

void Template_Wizard::CancelClick()
{
    Win().Selected_Template_Path = QString(QLatin1String(""));
    App().Card_Shape = 0;
    done(0);
}

void Template_Wizard::reject()
{
    CancelClick();
}

// --- The user's templates ------------------------------------------------------------------------------

QString Template_Wizard::selectedUserTemplate() const
{
    const QString picture = Win().Selected_Template_Path;
    // Only a template of the user's own folder: the shipped ones are not the user's to change.
    const bool inUserFolder =
        QFileInfo(picture).canonicalPath() == QFileInfo(TemplateFiles::userFolder()).canonicalFilePath();
    if (!QFileInfo(picture).isFile() || !inUserFolder) {
        Show_MessageBox(kSelectTemplate);
        return QString();
    }
    return picture;
}

void Template_Wizard::Delete_Template_Click()
{
    Log_Exceptions([&] {
        const QString picture = selectedUserTemplate();
        if (picture.isEmpty() || !Show_YES_NO_MessageBox(kDeleteQuestion))
            return;
        Delete_File(picture);
        Delete_File(TemplateFiles::withExtension(picture, App().design_file_EXT));
        Fill_Templates_User_Defined();
    });
}

void Template_Wizard::Copy_Templatee_Click()
{
    Log_Exceptions([&] {
        const QString picture = selectedUserTemplate();
        if (picture.isEmpty() || !Show_YES_NO_MessageBox(kCopyQuestion))
            return;
        const QString &ext = App().design_file_EXT;
        const QString newPicture = Create_New_File_Path(picture);
        QString error;
        const bool copied = TemplateFiles::copyVerified(picture, newPicture, &error) &&
                            TemplateFiles::copyVerified(TemplateFiles::withExtension(picture, ext),
                                                        TemplateFiles::withExtension(newPicture, ext), &error);
        if (!copied) {
            // Half a template is no template.
            platform::removeSafely(newPicture);
            Show_NSLog_Message(error);
            Show_MessageBox(tr("The template could not be copied.\n\n%1").arg(error));
        }
        Fill_Templates_User_Defined();
    });
}

QString Template_Wizard::Create_New_File_Path(const QString &path)
{
    return TemplateFiles::firstFreeCopyPath(path);
}

void Template_Wizard::Rename_Template_Click()
{
    Log_Exceptions([&] {
        const QString picture = selectedUserTemplate();
        if (picture.isEmpty())
            return;
        const QString current = TemplateFiles::baseName(picture);
        Export_Template_Window->template_name->setText(current);
        Export_Template_Window->template_passed = current;
        const int answer = Export_Template_Window->Open_Wnd();
        Export_Template_Window->template_passed.clear();
        if (answer != 1)
            return;
        const QString &ext = App().design_file_EXT;
        const QString base = TemplateFiles::userFolder() + Win().export_template_name;
        const QString newPicture = base + QStringLiteral(".png");
        const QString newDesign = base + QLatin1Char('.') + ext;
        if (newPicture == picture)
            return;
        const QString oldDesign = TemplateFiles::withExtension(picture, ext);
        QString error;
        // Both files move, or neither does.
        if (TemplateFiles::moveFile(oldDesign, newDesign, &error)) {
            if (!TemplateFiles::moveFile(picture, newPicture, &error)) {
                QString ignored;
                TemplateFiles::moveFile(newDesign, oldDesign, &ignored);
                Show_NSLog_Message(error);
                Show_MessageBox(tr("The template could not be renamed.\n\n%1").arg(error));
            }
        } else {
            Show_NSLog_Message(error);
            Show_MessageBox(tr("The template could not be renamed.\n\n%1").arg(error));
        }
        Fill_Templates_User_Defined();
    });
}
