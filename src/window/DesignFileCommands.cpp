// The design file commands of the design window: New, Open, Save and Save As, the panels that name
// the file, the window title that shows it, and building the design file from the window's state
// and the design back from a file.

#include "window/SKTWindowController.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/PathHelpers.h"
#include "core/UnitConversion.h"
#include "document/ControlTags.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "platform/RegularFile.h"
#include "platform/ScopedFlag.h"
#include "profile/User_Profile_Class.h"
#include "platform/UiServices.h"
#include "properties/ui/CardSettingsTab.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/DataSourceState.h"
#include "window/ToolIcons.h"
#include "window/WindowState.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMutex>
#include <QStandardPaths>
#include <QWindow>
#include <QToolButton>

#include <algorithm>
#include <exception>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <optional>

namespace {

const QString kSavedMessage = QStringLiteral("Photo Frame Design Log has been saved successfully.");
const QString kSaveFailedMessage = QStringLiteral("The design could not be saved to \"%1\".");
const QString kCorruptMessage = QStringLiteral("File is corrupt and cannot be opened.");
const QString kSaveBeforeNew = QStringLiteral("Do you want to save changes before opening new document?");
const QString kSaveBeforeOpen = QStringLiteral("Do you want to save changes before opening document?");
const QString kSaveBeforeClosing = QStringLiteral("Do you want to save changes before closing?");
const QString kUnreadablePicturesMessage =
    QStringLiteral("The pictures of these objects could not be read; they are kept in the design as they are:\n");
const QString kMissingPicturesMessage =
    QStringLiteral("These pictures of the design were not found; the card shows a placeholder in their place:\n");
const QString kUndecodablePicturesMessage =
    QStringLiteral("These pictures of the design could not be read (too large for the design, or not pictures); "
                   "the card shows a placeholder in their place:\n");
const QString kForeignPatternsMessage =
    QStringLiteral("These hatch patterns are not names of the program's patterns and were dropped; the fills keep "
                   "their colour without a pattern:\n");
const QString kReplaceQuestion = QStringLiteral("\"%1\" already exists. Do you want to replace it?");

// Which file could not be written, and why.
QString saveFailure(const QString &path, const QString &reason)
{
    const QString message = kSaveFailedMessage.arg(QDir::toNativeSeparators(path));
    return reason.isEmpty() ? message : message + QLatin1Char('\n') + reason;
}

// While a design is being loaded the panel must not write its controls back into the objects, and
// the objects placed must not become undo steps. Both are put back however the load ends.
class LoadScope {
public:
    explicit LoadScope(SKTDocument *document) : m_document(document), m_guard(App().Not_Draw_Only_Prop_Change) {}

    void stopUndoRegistration()
    {
        if (!m_undoOff && m_document)
            m_undoOff = std::make_unique<platform::ScopedUndoDisabling>(&m_document->undoManager());
    }
    void endGuard() { m_guard.end(); }

private:
    SKTDocument *m_document;
    // Not an optional: GCC 12 at -O3 takes its flag for unset and warns.
    std::unique_ptr<platform::ScopedUndoDisabling> m_undoOff;
    platform::ScopedFlag<bool> m_guard; // ends first
};

// The card outline the design was saved with; drawing reads the process-wide code.
int cardShapeFromCode(const QString &code)
{
    if (code == QLatin1String("RR"))
        return 1;
    if (code == QLatin1String("E"))
        return 2;
    return 0;
}



// The name of an object's kind in messages.
QString kindName(SKTGraphic::Kind kind)
{
    switch (kind) {
    case SKTGraphic::Kind::Image: return QStringLiteral("Picture");
    case SKTGraphic::Kind::Signature: return QStringLiteral("Signature");
    case SKTGraphic::Kind::Barcode: return QStringLiteral("Barcode");
    case SKTGraphic::Kind::Text: return QStringLiteral("Text");
    case SKTGraphic::Kind::Line: return QStringLiteral("Line");
    case SKTGraphic::Kind::Shape:
    case SKTGraphic::Kind::Graphic: break;
    }
    return QStringLiteral("Shape");
}

// "Picture 3 on the front": an object of a design read, by its kind and place, in messages.
QString objectPlace(const SKTGraphic &graphic, qsizetype index, bool front)
{
    return SKTWindowController::tr("%1 %2 on the %3")
        .arg(kindName(graphic.kind()))
        .arg(index + 1)
        .arg(front ? SKTWindowController::tr("front") : SKTWindowController::tr("back"));
}

} // namespace

// --- Progress of long work ----------------------------------------------------------------------

void SKTWindowController::runShieldedFromInput(const std::function<void()> &job, bool here)
{
    InputShield::run<bool>(Main_wnd, [&] {
        job();
        return true;
    }, here);
}

void SKTWindowController::runLongWork(const QString &message, const DesignFile::Work &estimate,
                                      const std::function<void(const DesignFile::Progress &)> &work)
{
    InputShield::runLong(Main_wnd, message, estimate, directWorkBytes, work);
}

// --- Saving --------------------------------------------------------------------------------------

DesignFileContents SKTWindowController::designFileContents()
{
    DesignFile::dropUnusedBackgroundPath(Front_card_Prop);
    DesignFile::dropUnusedBackgroundPath(Back_card_Prop);

    DesignFileContents c = DesignFile::contentsOf(designSnapshot());
    c.Excel_Binding_Use = DataSources().Excel_Binding_Use;
    c.Excel_Source_Path = DataSources().Excel_Source_Path;
    const Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    c.excelColumnTitles = excel->columnTitles();
    c.excelRows = excel->ListData;
    return c;
}

DesignSnapshot SKTWindowController::designSnapshot()
{
    const WindowState &win = Win();
    DesignSnapshot s;
    s.front.face = Front_card_Prop;
    s.back.face = Back_card_Prop;
    if (const SKTGraphicList *front = Get_Front_Controls_Array())
        s.front.graphics = DesignSnapshot::copyOf(front->items());
    if (const SKTGraphicList *back = Get_Back_Controls_Array())
        s.back.graphics = DesignSnapshot::copyOf(back->items());
    s.cardShape = App().Card_Shape;
    s.frame = frontCanvasBounds();
    s.mainPhotoPath = win.Invite_Frame_Pic_IMG;
    {
        QMutexLocker lock(&m_mainPhotoMutex);
        s.mainPhoto = m_Main_Photo_image;
        s.mainPhotoBytes = m_Main_Photo_bytes;
        s.mainPhotoUndecoded = m_undecodedMainPhoto;
    }
    s.mainPhotoEffects = win.mainPhotoEffects();
    s.mainPhotoRotation = win.IMG_rotate_image;
    if (Front_user_profile)
        s.frontProfile = std::make_shared<const User_Profile_Class>(*Front_user_profile);
    if (Back_user_profile)
        s.backProfile = std::make_shared<const User_Profile_Class>(*Back_user_profile);
    s.resources = DrawingResources::ofProgram();
    return s;
}

bool SKTWindowController::Save_project_file(bool save_as, bool show_msg)
{
    AppState &app = App();
    const QString previous = app.Project_File_Name;
    // Taken while the design still has its name: Save As opens in the design's own folder.
    const QString startFolder = Panel_Start_Folder(QStandardPaths::DocumentsLocation);
    try {
        if (save_as)
            app.Project_File_Name.clear();
        app.Project_File_Name = Trim_Str(app.Project_File_Name);
        if (app.Project_File_Name.isEmpty()) {
            const QString suggested = Trim_Str(previous).isEmpty() ? QStringLiteral("Untitled.") + app.design_file_EXT
                                                                   : QFileInfo(previous).fileName();
            QString chosen = platform::uiServices().chooseFileToSave(QStringLiteral("Save Design"), startFolder,
                                                                     suggested, {app.design_file_EXT});
            if (chosen.isEmpty()) {
                app.Project_File_Name = previous;
                return false;
            }
            // The panel allows design files only: a name typed without the extension gets it.
            if (QFileInfo(chosen).suffix().compare(app.design_file_EXT, Qt::CaseInsensitive) != 0) {
                chosen += QLatin1Char('.') + app.design_file_EXT;
                // The panel asked about replacing the name as typed, not this one: another design
                // under this name is replaced only on the user's word.
                if (QFileInfo::exists(chosen) &&
                    !Show_YES_NO_MessageBox(kReplaceQuestion.arg(QFileInfo(chosen).fileName()))) {
                    app.Project_File_Name = previous;
                    return false;
                }
            }
            if (Main_wnd) {
                Main_wnd->raise();
                Main_wnd->activateWindow();
            }
            app.Project_File_Name = chosen;
        }

        QString reason;
        bool written = false;
        // The objects are copies and the rows are shared until changed: the worker has them alone.
        const DesignFileContents contents = designFileContents();
        const QString target = app.Project_File_Name;
        runLongWork(tr("Saving the design..."), DesignFile::workOf(contents), [&](const DesignFile::Progress &progress) {
            written = DesignFile::write(target, contents, &reason, DesignFile::kMaxBytes, progress);
        });
        if (!written) {
            Show_NSLog_Message(QStringLiteral("Saving %1 failed: %2").arg(app.Project_File_Name, reason));
            const QString failed = app.Project_File_Name;
            // A name that could not be written is no name of this design: the next Save asks again.
            app.Project_File_Name = previous;
            // A design that was not saved is always reported, asked for or not, with the reason.
            Show_MessageBox(saveFailure(failed, reason));
        } else if (show_msg) {
            Show_MessageBox(kSavedMessage);
        }
        if (show_msg)
            Set_Log_Name_In_Title();
        return written;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        const QString failed = app.Project_File_Name;
        app.Project_File_Name = previous;
        Show_MessageBox(saveFailure(failed, QString::fromLocal8Bit(e.what())));
        return false;
    }
}

void SKTWindowController::Set_Log_Name_In_Title()
{
    if (!Main_wnd)
        return;
    const AppState &app = App();
    const QFileInfo file(app.Project_File_Name);
    // The desktop adds the program's display name to a title of its own, so the title is the
    // file's name alone; without one it is that name, which the desktop does not repeat.
    if (!app.Project_File_Name.isEmpty() && file.isFile())
        Main_wnd->setWindowTitle(file.fileName());
    else
        Main_wnd->setWindowTitle(app.App_Name);
}

// --- Loading -------------------------------------------------------------------------------------

SKTWindowController::PictureProblems SKTWindowController::readNamedPictures(const DesignFileContents &c,
                                                                           const QList<DesignFile::NamedPicture> &files)
{
    PictureProblems found;
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (qsizetype i = 0; i < side->size(); ++i)
            if (!side->at(i)->m_undecodedPictures.isEmpty())
                found.unreadable << objectPlace(*side->at(i), i, side == &c.frontGraphics);
    // Only plain pictures load again from their files; signatures keep what their archive holds.
    // Pictures named by path share the design's pixel budget with those the file carries. A file
    // is read once for all the objects naming it, and each object that shows it pays for it: those
    // the budget cannot pay for show none, as if each had read it. A background is read as when it
    // is chosen, outside the budget.
    qint64 pixelsLeft = c.picturePixelsLeft;
    for (const DesignFile::NamedPicture &named : files) {
        const bool there = platform::isRegularFile(named.path);
        qint64 paying = 0;
        const platform::PixelSpender spend = [&](qint64 pixels) {
            if (pixels <= 0) {
                pixelsLeft -= pixels * paying;
                paying = pixels < 0 ? 0 : named.objects.size();
                return true;
            }
            paying = std::min<qint64>(named.objects.size(), std::max<qint64>(0, pixelsLeft) / pixels);
            pixelsLeft -= pixels * paying;
            return paying > 0 || !named.backgrounds.isEmpty();
        };
        QString problem;
        const QImage picture = loadPicture(named.path, spend, &problem);
        for (qsizetype i = 0; i < named.objects.size(); ++i)
            named.objects.at(i)->reloadFromFile(i < paying ? picture : QImage(), there);
        for (Card_Property *card : named.backgrounds) {
            card->setCard_BG_Image(picture);
            (card == &c.Front_card_Prop ? found.frontBackground : found.backBackground) = problem;
        }
        // A file that is there but gave no picture is too large or no picture: not "missing".
        if (std::any_of(named.objects.cbegin(), named.objects.cend(), [](const SKTImage *object) {
                return object->isMissingItsFile();
            }))
            (there ? found.undecodable : found.missing) << named.path;
    }
    return found;
}

int SKTWindowController::Read_and_load_design_Log(const QString &path, const QString &log_or_template)
{
    if (!m_document) {
        Show_NSLog_Message(QStringLiteral("No document to load %1 into.").arg(path));
        return 0;
    }
    // The whole file is read and checked before anything of the current design changes, on a
    // worker that makes new objects only: the open design stays on screen meanwhile.
    QString reason;
    std::optional<DesignFileContents> contents;
    bool fileRead = false;
    const qint64 bytes = QFileInfo(path).size();
    // A file that may be read here is read at once, so that its pictures' pixels count as well.
    DesignFile::Work estimate{bytes, 0};
    std::optional<QByteArray> file;
    PictureProblems pictureProblems;
    // The pictures' copies the first paint draws are made with the rest, at each canvas's scale.
    const auto displayOf = [](const SKTGraphicView *canvas) {
        const double scale = canvas ? canvas->zoomFactor() * canvas->devicePixelRatioF() : 1.0;
        return QTransform::fromScale(scale, scale);
    };
    const QTransform display[] = {displayOf(_graphicView), displayOf(_graphicView_BACK)};
    QList<DesignFile::NamedPicture> namedPictures;
    bool parsed = false;
    const auto parse = [&](const DesignFile::Progress &progress) {
        if (!file && reason.isEmpty())
            file = platform::readRegularFile(path, DesignFile::kMaxBytes, &reason);
        fileRead = file.has_value();
        if (file)
            contents = DesignFile::read(*std::exchange(file, std::nullopt), &reason, DesignFile::kMaxBytes, progress);
        if (contents)
            namedPictures = DesignFile::namedPictures(*contents);
        parsed = true;
    };
    if (bytes < directWorkBytes) {
        file = platform::readRegularFile(path, DesignFile::kMaxBytes, &reason);
        if (file)
            estimate = DesignFile::workOfFile(*file);
        // A file light enough to read here is read first, so that the pictures it names by path,
        // weighed from their headers, decide where they are read.
        if (file && estimate.weight() < directWorkBytes) {
            runLongWork(tr("Opening the design..."), estimate, parse);
            estimate.pixels += DesignFile::namedPicturePixels(namedPictures, directWorkBytes);
        }
    }
    runLongWork(tr("Opening the design..."), estimate, [&](const DesignFile::Progress &progress) {
        if (!parsed)
            parse(progress);
        if (contents)
            pictureProblems = readNamedPictures(*contents, namedPictures);
        // Placing an object asks for its area on the canvas, which a text measures, kept once made.
        if (contents)
            for (const GraphicList *side : {&contents->frontGraphics, &contents->backGraphics})
                for (const SKTGraphicPtr &graphic : *side) {
                    graphic->drawingBounds();
                    if (graphic->kind() == SKTGraphic::Kind::Image)
                        static_cast<const SKTImage &>(*graphic).prepareDrawing(display[side == &contents->backGraphics]);
                }
    });
    if (!contents) {
        Show_NSLog_Message(QStringLiteral("%1: %2").arg(path, reason));
        // A file refused before it was read, or a sound design beyond the limits, is not corrupt.
        const QString name = QFileInfo(path).fileName();
        if (!fileRead)
            Show_MessageBox(QStringLiteral("\"%1\" cannot be opened: %2.").arg(name, reason));
        else if (DesignFile::isTooManyObjectsReason(reason))
            Show_MessageBox(QStringLiteral("\"%1\" cannot be opened. %2").arg(name, reason));
        else
            Show_MessageBox(kCorruptMessage);
        return 0;
    }
    // The rows, pictures and objects of the design replaced are freed on a worker too: a large
    // sheet's millions of small blocks take a while, and the allocator sorts blocks freed this way
    // at its next large allocation, which would be the GUI thread's, unless they are sorted there and
    // then; giving a gigabyte of pictures back to the system takes tens of milliseconds, and
    // destroying thousands of objects as many. The sides let go of their objects on the GUI thread,
    // where the canvases hear of it, and the last hold on them is here.
    // A small design's are few, freed at once: trimming the heap after each would only slow it.
    QList<QVariantMap> replacedRows = Data_From_Excel::defaultInstance()->ListData;
    QList<QImage> replacedPictures{Main_Photo_image(), m_Main_Photo_original, Front_card_Prop.Card_BG_Image(),
                                   Back_card_Prop.Card_BG_Image()};
    GraphicList replacedObjects;
    for (const SKTGraphicList *side : {Get_Front_Controls_Array(), Get_Back_Controls_Array()})
        if (side)
            replacedObjects += side->items();
    qint64 pictureBytes = 0;
    for (const QImage &picture : std::as_const(replacedPictures))
        pictureBytes += picture.sizeInBytes();
    for (const SKTGraphicPtr &graphic : std::as_const(replacedObjects))
        if (graphic->kind() == SKTGraphic::Kind::Image)
            pictureBytes += static_cast<const SKTImage &>(*graphic)._contents.sizeInBytes();
    const auto dropReplaced = [&] {
        const qint64 replaced = std::max(DesignFile::sheetBytes(replacedRows), pictureBytes);
        const bool here = std::max(bytes, replaced) < directWorkBytes;
        runShieldedFromInput([&] {
            replacedRows = {};
            replacedPictures = {};
            replacedObjects = {};
#ifdef __GLIBC__
            // Only for much freed: a trim hands back pages that the first paint, running meanwhile,
            // would fault in again, and holds the allocator's lock it allocates under.
            if (replaced >= directWorkBytes)
                malloc_trim(0);
#endif
        }, here);
    };
    try {
        applyDesignFile(*contents, path, log_or_template, pictureProblems);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        dropReplaced();
        return 0;
    }
    dropReplaced();
    return 1;
}

void SKTWindowController::applyDesignFile(const DesignFileContents &c, const QString &path,
                                          const QString &log_or_template, const PictureProblems &pictures)
{
    AppState &app = App();
    WindowState &win = Win();

    New_Project_Setting_Reset(); // empties both sides too
    Remove_All_Tab_Items();
    app.Project_File_Name = log_or_template == QLatin1String("L") ? path : QString(QLatin1String(""));

    LoadScope scope(m_document);

    Front_card_Prop = c.Front_card_Prop;
    const QSizeF size = Front_card_Prop.Card_Size();
    Set_Document_Size(size);
    SetDocumentCanvasSize(size);
    Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(static_cast<float>(size.width())),
                                    Points_to_MM_Convert(static_cast<float>(size.height()))));
    Back_card_Prop = c.Back_card_Prop;
    // The outline is drawn from the process-wide code, which the file keeps only in the card face.
    app.Card_Shape = cardShapeFromCode(Front_card_Prop.Card_Shape());
    if (card_setting_tab) {
        if (QAbstractButton *row = card_setting_tab->matrix_card_shape_rows->button(app.Card_Shape))
            row->setChecked(true);
    }

    // The main photo first: the photo object takes its picture from it when it is made.
    win.Invite_Frame_Pic_IMG = Relocated_Resource_Path(c.Invite_Frame_Pic_IMG);
    QStringList unreadable; // objects whose pictures the file holds but cannot be read
    setMain_Photo_image(c.Main_Photo_image, c.Main_Photo_bytes);
    if (c.Main_Photo_undecoded.isValid()) {
        QMutexLocker lock(&m_mainPhotoMutex);
        m_undecodedMainPhoto = c.Main_Photo_undecoded;
        unreadable << tr("the main photo");
    }
    win.IMG_invert_clr = c.IMG_invert_clr;
    win.IMG_gray_Scale = c.IMG_gray_Scale;
    win.IMG_Sepia = c.IMG_Sepia;
    win.IMG_trnsp_val = c.IMG_trnsp_val;
    win.IMG_hue_val = c.IMG_hue_val;
    win.IMG_sat_val = c.IMG_sat_val;
    win.IMG_brt_val = c.IMG_brt_val;
    win.IMG_con_val = c.IMG_con_val;
    win.IMG_srp_val = c.IMG_srp_val;
    win.IMG_ev_val = c.IMG_ev_val;
    win.IMG_blr_val = c.IMG_blr_val;
    win.IMG_rotate_image = c.IMG_rotate_image;

    DataSources().Excel_Binding_Use = c.Excel_Binding_Use;
    if (c.Excel_Binding_Use)
        Add_Excel_Col_Name_In_Combo(Data_source_type);
    else
        Remove_Excel_Col_Name_In_Combo(Data_source_type);
    DataSources().Excel_Source_Path = c.Excel_Source_Path;
    Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    excel->setColumnTitles(c.excelColumnTitles);
    excel->setListData(c.excelRows);

    scope.stopUndoRegistration();
    unreadable += pictures.unreadable;
    // A pattern is a name in the program's folder of patterns: a name that would leave the folder is
    // dropped, so that the design neither shows nor keeps it.
    QStringList foreignPatterns;
    const auto isForeign = [](const QString &name) { return !name.isEmpty() && !isBareName(name); };
    for (Card_Property *card : {&Front_card_Prop, &Back_card_Prop})
        if (isForeign(card->Card_hatch_style())) {
            foreignPatterns << tr("\"%1\" (%2)").arg(card->Card_hatch_style(),
                                                     card == &Front_card_Prop ? tr("the front") : tr("the back"));
            card->setCard_hatch_style(QString(QLatin1String("")));
        }
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (qsizetype i = 0; i < side->size(); ++i)
            if (SKTGraphic &graphic = *side->at(i); isForeign(graphic._fill_hatch_type)) {
                foreignPatterns << tr("\"%1\" (%2)").arg(graphic._fill_hatch_type,
                                                         objectPlace(graphic, i, side == &c.frontGraphics));
                graphic._fill_hatch_type = QString(QLatin1String(""));
            }
    // The other pictures were read with the file.
    for (const GraphicList *side : {&c.frontGraphics, &c.backGraphics})
        for (const SKTGraphicPtr &graphic : *side)
            if (graphic->kind() == SKTGraphic::Kind::Image && isMainPhoto(*graphic))
                static_cast<SKTImage &>(*graphic).reloadFromFile();
    if (!c.frontGraphics.isEmpty())
        m_document->insertGraphics(c.frontGraphics,
                                   platform::IndexSet::range(0, static_cast<int>(c.frontGraphics.size())));
    if (!c.backGraphics.isEmpty())
        m_document->graphics_back().insertGraphics(
            c.backGraphics, platform::IndexSet::range(0, static_cast<int>(c.backGraphics.size())));

    if (log_or_template == QLatin1String("L"))
        Set_Log_Name_In_Title();
    scope.endGuard();
    Show_RHS_Properties(nullptr);

    // The backgrounds were read with the file, found where this account keeps them.
    if (Back_card_Prop.Card_fill_chk() && Back_card_Prop.Card_fill_style() == QLatin1String("I"))
        set_Back_BG_Image(Back_card_Prop.Card_BG_Image_Path(), c.Back_card_Prop.Card_BG_Image(),
                          pictures.backBackground);
    if (Front_card_Prop.Card_fill_chk() && Front_card_Prop.Card_fill_style() == QLatin1String("I"))
        set_Front_BG_Image(Front_card_Prop.Card_BG_Image_Path(), c.Front_card_Prop.Card_BG_Image(),
                           pictures.frontBackground);

    selectArrowTool();
    Refresh_Canvas();
    if (!pictures.missing.isEmpty())
        Show_MessageBox(kMissingPicturesMessage + messageList(pictures.missing));
    if (!pictures.undecodable.isEmpty())
        Show_MessageBox(kUndecodablePicturesMessage + messageList(pictures.undecodable));
    if (!unreadable.isEmpty())
        Show_MessageBox(kUnreadablePicturesMessage + messageList(unreadable));
    if (!foreignPatterns.isEmpty())
        Show_MessageBox(kForeignPatternsMessage + messageList(foreignPatterns));
}

// --- Commands ------------------------------------------------------------------------------------

bool SKTWindowController::savedOrDiscardedOnWord(const QString &question, bool show_msg)
{
    switch (Show_YES_NO_Cancel_MessageBox(question)) {
    case platform::UiServices::Answer::Yes:
        // A save that did not happen stops the command.
        return Save_project_file(false, show_msg);
    case platform::UiServices::Answer::No:
        return true;
    case platform::UiServices::Answer::Cancelled:
        break;
    }
    return false;
}

void SKTWindowController::New_Btn_Clicked()
{
    Log_Exceptions([&] {
        // Nothing is lost without the user's word.
        if (!savedOrDiscardedOnWord(kSaveBeforeNew, true))
            return;
        New_Project();
        Undo_Redo_Button_state();
    });
}

bool SKTWindowController::windowShouldClose()
{
    try {
        return savedOrDiscardedOnWord(kSaveBeforeClosing, false);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool SKTWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Main_wnd && event->type() == QEvent::Close && !Exit_App()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void SKTWindowController::Open_Btn_Clicked()
{
    Log_Exceptions([&] {
        if (savedOrDiscardedOnWord(kSaveBeforeOpen, true)) {
            // A cancelled panel or an unsound file leaves the current design as it was, so there is
            // nothing to start again.
            Open_Log_File();
            Undo_Redo_Button_state();
        }
    });
}

void SKTWindowController::Save_Btn_Clicked()
{
    Save_project_file(false, true);
}

void SKTWindowController::SaveAs_Btn_Clicked()
{
    Save_project_file(true, true);
}

int SKTWindowController::Open_Log_File()
{
    try {
        const AppState &app = App();
        const QString path = platform::uiServices().chooseFileToOpen(
            QStringLiteral("Open Design"), Panel_Start_Folder(QStandardPaths::DocumentsLocation),
            {app.design_file_EXT});
        if (path.isEmpty())
            return 0;
        return Read_and_load_design_Log(path, QStringLiteral("L"));
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return 0;
    }
}

// --- Buttons ---------------------------------------------------------------------------------------

void SKTWindowController::buildFileCommands(QWidget *bar, QHBoxLayout *row, QMenu *fileMenu)
{
    using ToolIcons::Command;
    // The menu's new-design entry keeps the standard New shortcut.
    const CommandButton commands[] = {
        {Command::NewDesign, "New_btn", "New", QKeySequence::UnknownKey, &SKTWindowController::New_Btn_Clicked,
         &SKTWindowController::New_btn},
        {Command::OpenDesign, "Open_btn", "Open", QKeySequence::Open, &SKTWindowController::Open_Btn_Clicked,
         &SKTWindowController::Open_btn},
        {Command::SaveDesign, "Save_btn", "Save", QKeySequence::Save, &SKTWindowController::Save_Btn_Clicked,
         &SKTWindowController::Save_btn},
        {Command::SaveDesignAs, "SaveAs_btn", "Save As", QKeySequence::SaveAs, &SKTWindowController::SaveAs_Btn_Clicked,
         &SKTWindowController::SaveAs_btn},
    };
    fileMenu->addSeparator();
    for (const CommandButton &entry : commands) {
        // Narrower than the edit buttons: the command bar must still fit the window's width.
        QAction *action = addCommandButton(bar, row, entry, 40);
        if (entry.command != Command::NewDesign)
            fileMenu->addAction(action);
    }
    fileMenu->addSeparator();
    QAction *exportPictures = fileMenu->addAction(tr("&Export..."));
    exportPictures->setObjectName(QStringLiteral("Export_Button_action"));
    exportPictures->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(exportPictures, &QAction::triggered, this, &SKTWindowController::Export_Button);
    QAction *printSheets = fileMenu->addAction(tr("&Print..."));
    printSheets->setObjectName(QStringLiteral("Print_Button_action"));
    printSheets->setShortcut(QKeySequence::Print);
    connect(printSheets, &QAction::triggered, this, &SKTWindowController::Print_Button);
    QAction *exportTemplate = fileMenu->addAction(tr("Export as &Template..."));
    exportTemplate->setObjectName(QStringLiteral("Export_As_Template_action"));
    connect(exportTemplate, &QAction::triggered, this, &SKTWindowController::Export_As_Template_Clicked);
    QAction *mail = fileMenu->addAction(tr("&Mail..."));
    mail->setObjectName(QStringLiteral("Mail_Button_action"));
    connect(mail, &QAction::triggered, this, &SKTWindowController::Mail_Button);
    addCommandSeparator(bar, row);
}
