#pragma once

#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include "core/AppState.h"
#include "document/Card_Property.h"
#include "document/SKTGraphicKinds.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/PanelArrange.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

#include <functional>
#include <optional>

// The design and the window as the panel sees them, recording what the panel asks.
class FakeDesign : public PanelDesign, public PanelWindow, public PanelArrange {
public:
    GraphicList selection; // the current side's selection
    GraphicList others;    // objects of the sides that are not selected
    Card_Property front, back;
    QRectF bounds{0, 0, 243, 154};
    int refreshes = 0;
    QStringListModel sizeList;
    QList<int> shownCategories;
    std::optional<bool> twoSided;
    QList<QSizeF> canvasSizes;
    std::function<void()> onUpdateAllCardContent;
    int cardContentUpdates = 0;
    QStringList backgrounds;
    QStringList frontBackgrounds;
    QString libraryAnswer;
    QList<int> printFlags;

    GraphicList selectedGraphics() const override { return selection; }
    Card_Property &currentCardFace() override { return App().Card_Front_Or_Back == 0 ? front : back; }
    QRectF frontCanvasBounds() const override { return bounds; }
    void Refresh_Canvas() override { ++refreshes; }
    QString Get_Item_Text(int row) const override
    {
        return row >= 0 && row < sizeList.rowCount() ? sizeList.stringList().at(row) : QString(QLatin1String(""));
    }
    QSizeF cardPresetSize(const QString &, const QString &preset, int list_index) const override
    {
        const QSizeF size(80 + list_index, 50);
        return preset == QLatin1String("V") ? size.transposed() : size;
    }
    void showSizePresets(int categoryIndex) override
    {
        shownCategories << categoryIndex;
        sizeList.setStringList(categoryIndex == 0 ? QStringList{QStringLiteral("CR80"), QStringLiteral("CR79")}
                                                  : QStringList{QStringLiteral("Badge 1"), QStringLiteral("Badge 2")});
    }
    void setTwoSided(bool two) override { twoSided = two; }
    void SetDocumentCanvasSize(const QSizeF &points) override { canvasSizes << points; }
    void Update_All_Card_Content() override
    {
        ++cardContentUpdates;
        if (onUpdateAllCardContent)
            onUpdateAllCardContent();
    }
    void setCurrentSideBackground(const QString &path) override { backgrounds << path; }
    void setFrontBackground(const QString &path) override { frontBackgrounds << path; }
    QString chooseLibraryBackground() override { return libraryAnswer; }
    void print_contol_or_not(int value) override { printFlags << value; }

    // Sources of objects' values.
    SKTGraphicPtr current;           // the current side's current object
    QStringList mainPhotos;          // every main photo path given, in order
    std::optional<bool> mainPhotoFromSeries;
    QString userPictureAnswer, libraryPictureAnswer;
    std::optional<QString> templateAnswer;
    QStringList templateModes;
    QStringList viewedSeries;

    SKTGraphic *currentGraphic() const override { return current.get(); }
    void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path) override
    {
        if (change_path)
            mainPhotos << path;
    }
    void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path, const QImage &,
                                          const QByteArray &) override
    {
        Update_frame_Main_Photo_And_Path(path, change_path);
    }
    void set_main_photo_ds_batch(bool fromSeries) override { mainPhotoFromSeries = fromSeries; }
    QString chooseUserPicture() override { return userPictureAnswer; }
    QString chooseLibraryPicture() override { return libraryPictureAnswer; }
    std::optional<QString> chooseTemplateText(const QString &title_or_msg) override
    {
        templateModes << title_or_msg;
        return templateAnswer;
    }
    void View_Data_Series(const QString &name) override { viewedSeries << name; }
    QStringList longMessages; // title, then text
    void Open_Long_sms_Dialog(const QString &title, const QString &text) override { longMessages << title << text; }

    // The window.
    int arrowSelections = 0, selectionClears = 0;
    std::function<void()> onClearSelection;
    QStringList buttonCalls;
    std::optional<bool> arrangeAndLockEnabled;
    bool framePictureSelected = false;

    void selectArrowTool() override { ++arrowSelections; }
    void clearCurrentSelection() override
    {
        ++selectionClears;
        if (onClearSelection)
            onClearSelection();
    }
    SKTGraphicPtr sharedGraphic(const SKTGraphic *graphic) const override
    {
        for (const GraphicList *list : {&selection, &others})
            for (const SKTGraphicPtr &candidate : *list)
                if (candidate.get() == graphic)
                    return candidate;
        return nullptr;
    }
    bool frontSelectionHoldsFramePicture() const override { return framePictureSelected; }
    void Enable_Standard_Button_For_Control() override { buttonCalls << QStringLiteral("control"); }
    void Enable_Standard_Button_For_Unlock() override { buttonCalls << QStringLiteral("unlock"); }
    void Disable_Standard_Button_For_Card() override { buttonCalls << QStringLiteral("card"); }
    void Disable_Standard_Button_For_Lock() override { buttonCalls << QStringLiteral("lock"); }
    void setArrangeAndLockButtonsEnabled(bool enabled) override { arrangeAndLockEnabled = enabled; }

    // The arrange operations and the grid: the design window's own tests run them.
    void arrangeSelection(PanelArrange::Operation) override {}
    bool isGridAlwaysShown() const override { return false; }
    bool isGridConstraining() const override { return false; }
    void toggleGridConstraining() override {}
    void toggleGridShowing() override {}
};

// Types into a stepper's field as a user would, then presses Return.
inline void typeInto(StepperSpinBox *stepper, const QString &text)
{
    stepper->textField()->selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(stepper, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(stepper, &enter);
}

// Types into a stepper's field and leaves it without pressing Return: the field keeps the text.
inline void typeOnly(StepperSpinBox *stepper, const QString &text)
{
    stepper->textField()->selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(stepper, &press);
    }
}

template <typename Kind>
std::shared_ptr<Kind> made(const QString &shapeCode = QString())
{
    auto graphic = std::make_shared<Kind>();
    if (!shapeCode.isEmpty())
        graphic->Set_Shape_Type(shapeCode);
    graphic->_bounds = QRectF(10, 10, 60, 40);
    return graphic;
}

// What an object's archive holds, as comparable lines.
inline QStringList archivedFields(const SKTGraphic &graphic)
{
    return fieldsOf([&graphic](platform::KeyedEncoder &coder) { graphic.encodeWithCoder(coder); });
}
