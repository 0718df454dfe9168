#pragma once

#include "platform/ui/MyImageObject.h"

#include <QDialog>
#include <QList>
#include <QString>

class ImageBrowserView;
class QComboBox;
class QLabel;
class QSlider;

// The picker of library pictures, in two modes: the image library ("C"), whose pictures sit in
// category folders of "LibraryImage", and the frame library (any other mode), the pictures of
// "Frames". The opener sets the mode and runs it; after OK `selected_image` is the chosen file.
// Main thread only.
class Image_Library : public QDialog {
    Q_OBJECT
public:
    explicit Image_Library(QWidget *parent = nullptr);
    ~Image_Library() override;

    // The one window, made on first use.
    static Image_Library *defaultInstance();

    // Empties the list, then lists the first category (image library) or the frames; runs the
    // window; 1 after OK, 0 after Cancel or a failure.
    int Open_Library_Window();
    // What opening does before the modal run.
    void Prepare_Window();

    // A picked picture that still exists ends the window with 1; without one the window says so
    // and stays open.
    void OK_Clicked();
    // Forgets the picked picture and ends the window with 0.
    void Cancel_Clicked();
    void zoomSliderDidChange(double zoom);
    // The categories: one item per folder of "LibraryImage", its name capitalised for showing and
    // the folder's own name kept as the item's data.
    void Fill_Combobox();
    // The frame pictures of "Frames".
    void Load_and_fill_backgrounds();
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
    // Lists the pictures of the chosen category; a folder that is gone leaves the list as it is.
    void comboBoxSelectionDidChange();

    // The browser's items and their order.
    int numberOfItemsInImageBrowser() const;
    const MyImageObject &imageBrowser_itemAtIndex(int index) const;
    // Items are not removed from the library: the browser is shown as it was.
    void imageBrowser_removeItemsAtIndexes(const QList<int> &indexes);
    bool imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination);
    void imageBrowser_cellWasDoubleClickedAtIndex(int) {}
    void imageBrowserSelectionDidChange();

    // "C" image library; any other value the frame library.
    QString control_or_BG = QStringLiteral("C");
    // The picked picture's full path; "" when none. Kept between openings: only Cancel clears it.
    QString selected_image = QString(QLatin1String(""));

    ImageBrowserView *imageBrowser;
    QSlider *_zoom_slider;
    QLabel *_zoom_label;
    QComboBox *cat_cmbo_bx;
    QLabel *category_label;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    // Picture files of a folder, sorted by name: "png" and "jpg" in any case.
};
