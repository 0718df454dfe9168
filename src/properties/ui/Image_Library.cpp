#include "properties/ui/Image_Library.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "document/SKTText.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/ImageBrowserView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>


namespace {

constexpr double kStartZoom = 0.4;

QString libraryFolder()
{
    return App().Resource_Path + QStringLiteral("LibraryImage");
}

} // namespace

Image_Library::Image_Library(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Image_Library"));
    setWindowTitle(tr("Image Library"));
    setModal(true);
    DialogLook::applyBackground(this);

    category_label = new QLabel(tr("Category:"), this);
    category_label->setObjectName(QStringLiteral("category_label"));
    cat_cmbo_bx = new QComboBox(this);
    cat_cmbo_bx->setObjectName(QStringLiteral("cat_cmbo_bx"));
    cat_cmbo_bx->setMinimumWidth(200);
    category_label->setBuddy(cat_cmbo_bx);
    auto *categories = new QHBoxLayout;
    categories->setSpacing(8);
    categories->addWidget(category_label);
    categories->addWidget(cat_cmbo_bx);
    categories->addStretch(1);

    imageBrowser = new ImageBrowserView(this);
    imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
    imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    imageBrowser->setAllowsReordering(true);
    imageBrowser->setZoomValue(kStartZoom);
    imageBrowser->setMinimumSize(520, 330);

    _zoom_label = new QLabel(tr("Size"), this);
    _zoom_label->setObjectName(QStringLiteral("_zoom_label"));
    _zoom_slider = imageBrowser->zoomSlider();
    _zoom_slider->setMaximumWidth(180);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(_zoom_label);
    bottom->addWidget(_zoom_slider);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addLayout(categories);
    layout->addWidget(imageBrowser, 1);
    layout->addLayout(bottom);

    connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this, [this] { comboBoxSelectionDidChange(); });
    connect(imageBrowser, &ImageBrowserView::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
    connect(imageBrowser, &ImageBrowserView::zoomValueChanged, this, [this](double zoom) { zoomSliderDidChange(zoom); });
    connect(imageBrowser, &ImageBrowserView::cellWasDoubleClicked, this,
            [this](int index) { imageBrowser_cellWasDoubleClickedAtIndex(index); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Clicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { Cancel_Clicked(); });
}

Image_Library::~Image_Library() = default;

Image_Library *Image_Library::defaultInstance()
{
    return defaultDialogInstance<Image_Library>();
}

int Image_Library::Open_Library_Window()
{
    int code = 0;
    Log_Exceptions([&] {
        Prepare_Window();
        code = exec();
        hide();
    });
    return code;
}

void Image_Library::Prepare_Window()
{
    imageBrowser->removeAllItems();
    imageBrowser->setZoomValue(kStartZoom);
    const bool library = control_or_BG == QLatin1String("C");
    setWindowTitle(library ? tr("Image Library") : tr("Frame Library"));
    cat_cmbo_bx->setVisible(library);
    category_label->setVisible(library);
    if (library) {
        Fill_Combobox();
        // The first category is listed whether or not it was the one shown before.
        if (cat_cmbo_bx->count() > 0)
            comboBoxSelectionDidChange();
    } else {
        Load_and_fill_backgrounds();
    }
}

void Image_Library::Fill_Combobox()
{
    const QSignalBlocker quiet(cat_cmbo_bx);
    cat_cmbo_bx->clear();
    const QString folder = libraryFolder();
    if (!QFileInfo(folder).isDir())
        return;
    const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names)
        cat_cmbo_bx->addItem(Text_In_Case(name, 3), name);
    cat_cmbo_bx->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void Image_Library::comboBoxSelectionDidChange()
{
    Log_Exceptions([&] {
        if (cat_cmbo_bx->currentIndex() < 0)
            return;
        // The folder by its own name: the item shows it capitalised.
        imageBrowser->showPicturesIn(QDir(libraryFolder()).filePath(cat_cmbo_bx->currentData().toString()));
    });
}

void Image_Library::Load_and_fill_backgrounds()
{
    imageBrowser->showPicturesIn(Frames_Folder());
}

void Image_Library::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    imageBrowser->addImageWithPath(path, imageName, image_UID);
}

int Image_Library::numberOfItemsInImageBrowser() const
{
    return imageBrowser->count();
}

const MyImageObject &Image_Library::imageBrowser_itemAtIndex(int index) const
{
    return imageBrowser->itemAtIndex(index);
}

void Image_Library::imageBrowser_removeItemsAtIndexes(const QList<int> &)
{
    imageBrowser->viewport()->update();
}

bool Image_Library::imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination)
{
    imageBrowser->moveItemsAtIndexes(indexes, destination);
    return true;
}

void Image_Library::imageBrowserSelectionDidChange()
{
    const QList<int> selection = imageBrowser->selectionIndexes();
    if (selection.isEmpty() || selection.first() >= numberOfItemsInImageBrowser())
        return;
    selected_image = imageBrowser_itemAtIndex(selection.first()).path;
}

void Image_Library::zoomSliderDidChange(double zoom)
{
    imageBrowser->setZoomValue(zoom);
    imageBrowser->viewport()->update();
}

void Image_Library::OK_Clicked()
{
    if (!selected_image.isEmpty() && QFileInfo(selected_image).isFile()) {
        done(1);
        return;
    }
    Show_MessageBox(QStringLiteral("Please select image."));
}

void Image_Library::Cancel_Clicked()
{
    selected_image = QString(QLatin1String(""));
    done(0);
}

void Image_Library::reject()
{
    Cancel_Clicked();
}
