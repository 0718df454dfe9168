#pragma once

#include "barcode/ui/BarcodeWindowDesign.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTTool.h"
#include "core/DesignWindowHub.h"
#include "core/StoredPictureBytes.h"
#include "datasource/RecordBinding.h"
#include "document/Card_Property.h"
#include "document/DesignFile.h"
#include "document/SKTGraphic.h"
#include "document/SKTGraphicList.h"
#include "output/PictureExport.h"
#include "properties/PanelArrange.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWindow.h"
#include "platform/Subscription.h"
#include "window/ToolIcons.h"

#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QMutex>
#include <QObject>
#include <QSizeF>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Barcode_Gen;
class CardBackgroundTab;
class CardSettingsTab;
class DataSourceTab;
class ImageTab;
class LineTab;
class SignatureTab;
class TextEditTab;
class TextPanel;
class TextPropertiesTab;
class ColorWell;
class Export_Template;
class Help_Support;
class ExportCommand;
class ExportSheet;
class RecordRun;
class Send_Modeless;
class Insert_Template;
class Invitation_Wizard;
class StartWizardHost;
class Template_Wizard;
class PleaseWait_Modeless;
class ProfileHost;
class PropertiesPanel;
class QAbstractItemView;
class QAbstractTableModel;
class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;
class SKTDocument;
class SKTGraphicView;
class SKTZoomingScrollView;
class ShapeTab;
class User_Profile_Class;

// The one design window of the program and the hub through which every other part reaches the
// design: the three canvases (front, back, temp), the card faces of both sides, the profiles, the
// main photo, the current tool and the controls of the properties panel.
//
// Like a window controller it exists before its window: the constructor creates the model state,
// and the window is built the first time it is asked for (window(), showWindow()), which runs
// awakeFromNib and with it the start sequence. Its definitions are spread over several sources,
// one per concern. Outlets carry their names as the widgets' objectName; they stay null until the
// window is built. Main thread only, except where a method says otherwise.
class SKTWindowController : public QObject,
                            public DesignWindowHub,
                            public PanelDesign,
                            public PanelWindow,
                            public PanelArrange,
                            public BarcodeWindowDesign {
    Q_OBJECT
public:
    static constexpr const char *kWindowLayoutName = "DrawWindow";
    static constexpr const char *kCanvasSizeContext = "com.zoltsoftware.SKTWindowController.canvasSize";

    // --- Start-up and hub state --------------------------------------------------------------
    // The controller `init` stored; null before and after its life.
    static SKTWindowController *defaultInstance();
    // The document's window controller: made for the first document only, null for later ones.
    static std::unique_ptr<SKTWindowController> makeWindowControllers(SKTDocument &document);

    SKTWindowController();
    ~SKTWindowController() override;

    SKTDocument *document() const { return m_document; }
    // Attaches the canvases to `document`'s lists, or detaches them with null.
    void setDocument(SKTDocument *document);
    // The window, built (and awakeFromNib run) on first use.
    QMainWindow *window();
    bool isWindowLoaded() const { return m_windowLoaded; }
    void showWindow();
    void windowWillClose() {}
    // Follows the document's "canvasSize" under kCanvasSizeContext; a value that is no size is ignored.
    void observeValueForKeyPath(const QString &keyPath, const QVariant &newValue, const QString &context);

    // New design and start sequence.
    void New_Project_Setting_Reset();
    void New_Project();
    void Open_Start_Window();

    // --- Card size and canvas size -----------------------------------------------------------
    // Millimetres of a size preset: "PVC Card" (exactly) or the paper badges, by row; "V" turns it
    // upright. An index without a row gives 30 x 30.
    static QSizeF Get_My_card_Size(const QString &category, const QString &preset, int list_index);
    QSizeF cardPresetSize(const QString &category, const QString &preset, int list_index) const override;
    void Set_Card_Size_In_Control(const QSizeF &millimetres);
    // Kept for callers that send it before SetDocumentCanvasSize: the document keeps no size.
    void Set_Document_Size(const QSizeF &points) { Q_UNUSED(points); }
    // Gives the three canvases one size in points; sizes that are not positive, or that pass 14400
    // points (the largest PDF page) on a side, are ignored.
    void SetDocumentCanvasSize(const QSizeF &points) override;

    // --- Side lists, placement and panels ----------------------------------------------------
    // The live front and back lists (null without a document) and a copy of the temp list.
    SKTGraphicList *Get_Front_Controls_Array() const;
    SKTGraphicList *Get_Back_Controls_Array() const;
    GraphicList Get_Temp_Controls_Array() const;
    int Get_Front_Control_Count() const;
    int Get_Back_Control_Count() const;
    int Get_Temp_Control_Count() const;
    void changeViewController(int index);
    // The one-column list table of the card-size panel.
    void Create_List(const QString &text);
    QString Get_Item_Text(int row) const override;
    void Mark_List_New_Selection(int row);
    int numberOfRowsInTableView(const QAbstractItemView *table) const;
    QVariant tableView_objectValueForTableColumn_row(const QAbstractItemView *table, const QString &column,
                                                     int row) const;
    void tableView_setObjectValue_forTableColumn_row(const QAbstractItemView *table, const QVariant &value,
                                                     const QString &column, int row);
    bool tableView_shouldSelectRow(const QAbstractItemView *, int) const { return true; }
    // A row of the card-size list chosen: its size into the size controls.
    void tableViewSelectionDidChange();

    // --- Tools, edit commands and sides ------------------------------------------------------
    void Arrow_Tool_Clicked();
    void Line_Tool_Clicked();
    void Text_Tool_Clicked();
    void Rect_Tool_Clicked();
    void Circle_Tool_Clicked();
    void Round_Rect_Tool_Clicked();
    void Triangle_Tool_Clicked();
    void Diamond_Tool_Clicked();
    void Image_Tool_Clicked();
    void Image_Library_Tool_Clicked();
    void Barcode_Tool_Clicked();
    void Signature_Tool_Clicked();
    void Fingure_Print_Tool_Clicked();
    void Star_Tool_Clicked();
    void Double_Star_Tool_Clicked();
    void Polygon_Tool_Clicked();
    void Select_tool_action();
    void selectArrowTool() override;
    // Places one object of the current tool on the current side.
    void selectedToolDidChange();
    // The kind the current tool makes; none for the arrow and unknown tools.
    std::optional<SKTGraphic::Kind> currentGraphicClass() const;
    void newDocumentWindow();

    void Undo_Clicked();
    void Redo_Clicked();
    void Cut_Clicked();
    void Copy_Clicked();
    void Paste_Clicked();
    void Delete_Clicked();
    void Begin_Front_Clicked();
    void Send_Back_Clicked();
    void Lock_Clicked();
    void Unlock_Clicked();
    void Undo_Redo_Button_state() override;

    void Front_Card_Btn_Clicked();
    void Back_Card_Btn_Clicked();
    void Temp_Card_Btn_Clicked();
    void Select_front_side();
    void Select_back_side();
    void Select_temp_design_side();
    // The temp side shows the current side: its own objects, or with `copies` copies of them that
    // a preview may change while the side stays as it is.
    void Temp_Design_Control_Assign(bool copies = false);
    void Show_Hide_Ruler_ChkBox();
    void User_Profile_Button_Clicked();
    void Share_It_Button_Clicked();

    // The canvas edit commands act on: back when Card_Front_Or_Back is 1, else front; never temp.
    SKTGraphicView *currentCanvas() const;
    // Empties the canvas's side; selection cleared.
    void delete_all_control(SKTGraphicView *canvas);
    void Clear_Control_Selection(SKTGraphicView *canvas);

    // --- Window utilities --------------------------------------------------------------------
    void Get_Email_Details();
    // The completion box of an export; its OK opens Export_File_Path when its box is ticked.
    void Open_Export_File_Box();
    bool Check_Batch_File_In_Use_Validation(const QString &seriesName) override;
    void Show_Create_Modeless();
    void Hide_Destroy_Modeless();
    // Workers call these two; the sheet itself is shown and hidden on the GUI thread.
    void Show_One_By_One_Modeless();
    void Hide_One_By_One_Modeless();

    // --- Properties panel: the panel does the work ---------------------------------------------
    void Remove_All_Tab_Items();
    void card_prop_set(const QString &fillStyle);
    void Update_Card_Graphics();
    void Update_Shape_Graphics();
    void Update_Line_Graphics();
    void Update_Text_Graphics();
    void Update_Image_Graphics();
    void Update_Sign_Graphics();
    void Apply_Size_Clicked(QObject *sender);
    void card_shape_CellClick(QObject *sender);
    // The object command buttons for what the panel shows, and Paste for the pasteboard.
    void Set_Paste_Button_Status() override;
    void Enable_Standard_Button_For_Control() override;
    void Enable_Standard_Button_For_Unlock() override;
    void Disable_Standard_Button_For_Card() override;
    void Disable_Standard_Button_For_Lock() override;
    void setArrangeAndLockButtonsEnabled(bool enabled) override;
    void Update_All_Card_Content() override;
    void Load_and_fill_backgrounds();
    bool Browse_User_Image_Manually();
    int Open_Image_Library_Window(const QString &category);

    // --- What the panel is lent (PanelDesign, PanelWindow) ---------------------------------------
    GraphicList selectedGraphics() const override;
    Card_Property &currentCardFace() override;
    void showSizePresets(int categoryIndex) override;
    void setTwoSided(bool twoSided) override;
    void setCurrentSideBackground(const QString &path) override;
    void setFrontBackground(const QString &path) override;
    QString chooseLibraryBackground() override;
    void print_contol_or_not(int value) override;
    void clearCurrentSelection() override;
    SKTGraphicPtr sharedGraphic(const SKTGraphic *graphic) const override;
    bool frontSelectionHoldsFramePicture() const override;
    // The arrange operations of the current side's canvas and the grid (PanelArrange).
    void arrangeSelection(PanelArrange::Operation operation) override;
    bool isGridAlwaysShown() const override;
    bool isGridConstraining() const override;
    void toggleGridConstraining() override;
    void toggleGridShowing() override;
    SKTGraphic *currentGraphic() const override;
    void set_main_photo_ds_batch(bool fromSeries) override { main_photo_ds_batch = fromSeries; }
    // The file panel (Browse_User_Image_Manually) and the image library ("C"); the chosen
    // picture becomes the next picture object's.
    QString chooseUserPicture() override;
    QString chooseLibraryPicture() override;
    std::optional<QString> chooseTemplateText(const QString &title_or_msg) override;

    // --- Services of profiles, sharing and output ----------------------------------------------
    int Open_User_Profile_Window(bool edit, const QString &side);
    // Place a side's profile as tagged objects once a profile dialog was accepted (the temp side's
    // for a preview, always); each first offers or withdraws "Excel" in the panel's source list.
    void Fill_User_profile_info_front_side();
    void Fill_User_profile_info_back_side();
    void Fill_User_profile_info_TEMP_side();
    void Fill_User_profile_Details();
    // A profile accepted in the new-card dialog is kept until the chosen card is loaded (which
    // resets the profiles), then placed on both sides once; or forgotten when no card is loaded.
    void Place_New_Card_Profile();
    void Forget_New_Card_Profile();
    void Open_Share_It_Dl();

    // --- Help, quitting, card-face buttons and links ---------------------------------------------
    void Help_Button();
    void Exit_Btn_Clicked();
    // Asks to save, shows the review request and ends the program; false when the user or a failed
    // save kept it running. The window's close box and Quit come here once.
    bool Exit_App();
    void ZOLT_SMS_Prmotion();
    void ZOLT_Recovery_Prmotion();
    void ZOLT_Barcode_Prmotion();
    void Card_Prop_Clicked();
    void Card_Bckgrnd_Clicked();
    void Open_Support_Mail();
    void Open_Reseller_Mail();
    void Open_Website_1();
    void Open_Website_2();
    void Open_Google_Plus();
    void Open_FaceBook();
    void Open_Twitter();
    void Open_FB_Like();
    Help_Support *HelpWindow = nullptr;
    // Set once the program is on its way out, so the closing window does not ask again.
    bool quitting = false;

    // --- Start wizard, invitation content and main photo ----------------------------------------
    // The windows the design window owns once its window is built (null before).
    Invitation_Wizard *invitationWizard() const { return m_invitationWizard; }
    Template_Wizard *templateWizard() const { return m_templateWizard; }
    Export_Template *exportTemplateDialog() const { return m_exportTemplate; }
    Insert_Template *titleMessagePicker() const { return m_titleMessagePicker; }
    // Places the wizard's texts, main photo and frame picture on the front side, the frame on top.
    void Fill_Party_Invidation_Details();
    // Loads the main photo from `path` (as the window reads pictures: InputShield) and applies its
    // effect settings; with `change_path` the path becomes the main photo's path.
    void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path) override;
    // The same with the photo already read from `path` and its file's bytes.
    void Update_frame_Main_Photo_And_Path(const QString &path, bool change_path, const QImage &photo,
                                          const QByteArray &file) override;
    // The main photo becomes the unprocessed photo with the current effect settings applied.
    void Update_Image_With_Settings();
    // Edits the main photo on the wizard's photo page and puts the result on the card.
    void Edit_Main_Photo_Button();
    // A picture of the size `image` takes turned by `angle` degrees (each side truncated), with it
    // drawn turned about the centre; null for a null picture.
    static QImage RotateImage(const QImage &image, float angle);
    // The main photo as loaded, before effects: what every change of effects starts from. Read
    // again from the main photo's path when the design did not bring it. The bytes of the file it
    // was read from go to `file`, when they were kept.
    QImage Main_Photo_original(QByteArray *file = nullptr) const;
    // `processed` is `original` (read from the bytes `originalFile`) with the current effects.
    void setMainPhoto(const QImage &original, const QByteArray &originalFile, const QImage &processed);

    // --- Export ----------------------------------------------------------------------------------
    // The export sheet, then a single picture file or, for a bound design, one file set per record.
    void Export_Button();
    // The batch series manager, the import wizard making a new series, and the series generator
    // writing a new series file.
    void Batch_Series_Button();
    void Import_Wizard_Button();
    void Create_Series_Button();
    // The design as it stands, as `exportChoice` says, to `path` (and its back name). Failures are
    // always reported; with `show_msg` the completion box follows success.
    bool Export_Single_File(const QString &path, bool show_msg);
    // Starts one file set per record of the sources the design uses into `folder` on a worker with the
    // progress sheet, through the one start of a run; the end is reported in the completion box. False
    // when a run is already going, there are no records, or the run was not taken.
    bool Export_Batch_File(const QString &folder);
    // The end of a bound run: the canvas shows the design again.
    void Select_first_row_value_for_design(bool print_box);
    // The design snapshot a run draws from, its pictures loaded, on the GUI thread.
    DesignSnapshot exportSnapshot();
    // Stops a bound run and waits for its worker (closing the window does).
    void stopRecordRun();
    // The completion box of an export: the file or folder written, and the export's message.
    void showExportDone(const QString &path, const QString &message);
    RecordRun *recordRun() const { return m_recordRun; }

    // --- Printing --------------------------------------------------------------------------------
    // Reads the design's sources; a bound design without records says "List is empty.".
    void Print_Button();
    // The print dialog, with the system's printers and a PDF file beside them.
    void Print_method();

    // --- Mail ------------------------------------------------------------------------------------
    // The mail window over the data sources the design uses now.
    void Mail_Button();

    // --- Templates ------------------------------------------------------------------------------
    // Asks for a name and writes the design and a picture of its front above its back into the
    // user's template folder.
    void Export_As_Template_Clicked();
    // Writes the template `name` (an accepted name) and says so; false when a file could not be
    // written, which is reported.
    bool Write_Template(const QString &name);
    // Writes the template `name` that the program ships into the "Templates" folder of the
    // resources folder `shipped` (the source tree's). The pictures it names are named by their
    // place in the resources, so that they resolve on any install; a picture outside Resource_Path,
    // or one that `shipped` lacks, is refused with a message and nothing is written.
    bool Write_Shipped_Template(const QString &name, const QString &shipped);
    // A template's picture: front above back, one pixel per point.
    bool Write_Template_Picture(const QString &path);
    // The template browser, then the chosen template loaded without taking its path; 1 loaded.
    int Open_Template_Design();

    // --- Design files ----------------------------------------------------------------------------
    // Names the file when needed (the save panel; save-as always asks) and writes the whole design
    // safely. True only when the file was written: a cancelled panel, or a "No" to replacing the
    // existing file that adding the extension named, answers false and writes nothing; a failed
    // write answers false and is always reported.
    bool Save_project_file(bool save_as, bool show_msg);
    // Closing the window asks to save first; a save that does not happen keeps the window open.
    bool windowShouldClose();
    // Asks whether to save first: true once saved or when the user said No; false when the save
    // failed or the question was cancelled (Escape), and the command must stop.
    bool savedOrDiscardedOnWord(const QString &question, bool show_msg);
    // Reads and checks the whole file first; only a sound file replaces the design. Mode "L" makes
    // it the open design file; any other mode loads without taking its path. 1 loaded, 0 not (the
    // design then stays as it was).
    int Read_and_load_design_Log(const QString &path, const QString &log_or_template);
    // A main photo the open design held but could not read, kept for its next save.
    QVariant m_undecodedMainPhoto;
    // Designs whose work weighs less than this (DesignFile::Work) are read and written on the GUI
    // thread at once: for them a worker's hand-off costs more time and memory than it saves.
    qint64 directWorkBytes = DesignFile::kDirectWork;
    // The open panel, then loading in mode "L"; 1 when a design was loaded.
    int Open_Log_File();
    // The window title: the application name, with the open file's name while that file exists.
    void Set_Log_Name_In_Title();
    // Each asks whether to save first; a cancelled or failed save stops the command.
    void New_Btn_Clicked();
    void Open_Btn_Clicked();
    void Save_Btn_Clicked();
    void SaveAs_Btn_Clicked();
    // The design as its file holds it. A side that does not fill with its picture loses the
    // picture's path here, in memory too.
    DesignFileContents designFileContents();
    // Both sides with copies of their objects, their faces, the card shape and frame, the main
    // photo with its effects, the profiles and the drawing resources, as they stand now; on the
    // GUI thread. Saving and the record runs of export, printing and e-mail start from it.
    DesignSnapshot designSnapshot();

    // --- Records of bound runs and the panel's data-source controls (datasource does the work) -----
    // Reads the sources of the design as it stands into data_table_content and publishes its flags
    // and counts; series that cannot be used are kept for the run's start to ask about.
    void Check_Series_Or_Excel_Use_or_not();
    // Record `record` written into copies of the side `card_side` names and that side drawn; the
    // design itself stays as it is.
    Card_Side_Image Set_data_table_value_to_card(int record, const QString &card_side, bool print_box);
    // Sample values of a series (its first line) and of an Excel column (from the first row).
    QString Get_First_Value_Of_Dataset(const QString &seriesName) const;
    QString Get_First_Value_Of_Excel_Binding(int column) const;
    void Fill_Data_Set_File_Name_In_Combo(QComboBox *combo);
    void Fill_Excel_Col_Name_In_Combo(QComboBox *combo);
    // The data-source combo offers "Excel" only while a sheet is bound (2 or 3 items).
    void Add_Excel_Col_Name_In_Combo(QComboBox *combo);
    void Remove_Excel_Col_Name_In_Combo(QComboBox *combo);
    void View_batch_Series_Button(QObject *sender);
    void Data_Source_Help_Button(QObject *sender);
    // A side's background picture from its file; false when it changed nothing: an empty path, or a
    // picture that cannot be read, which the user is told about.
    bool set_Front_BG_Image(const QString &path);
    bool set_Back_BG_Image(const QString &path);
    // The same with the picture already read from `path` by loadPicture (on any thread), and why it
    // is null.
    bool set_Front_BG_Image(const QString &path, const QImage &picture, const QString &problem);
    bool set_Back_BG_Image(const QString &path, const QImage &picture, const QString &problem);
    // Paints the current side's card face over `cardRect`; each canvas draws its own side's face.
    void Card_Base_Drawing(QPainter &painter, const QRectF &cardRect);

    // --- DesignWindowHub ------------------------------------------------------------------------
    void Refresh_Canvas() override;
    QPointF Control_New_Point(const QString &cardSide) override;
    QRectF frontCanvasBounds() const override;
    void setAlignWithGridButtonEnabled(bool enabled) override;
    void Show_RHS_Properties(SKTGraphic *graphic) override;
    int Selected_Control_Tool() const override { return m_Selected_Control_Tool; }
    QString Library_Selected_Image() const override;
    QImage no_image() const override { return m_no_image; }
    QImage barcode_sample_img() const override { return m_barcode_sample_img; }
    QImage sign_sample_img() const override { return m_sign_sample_img; }
    QImage fp_sample_img() const override { return m_fp_sample_img; }
    QImage Main_Photo_image() const override;
    void Reset_Image_Editing_Controls() override;
    void setMakeSameSizeButtonsEnabled(bool enabled) override;
    void Open_Barcode_Window() override;

    // With the bytes a design file keeps it as; without them, they are encoded from now on, on a worker.
    void setMain_Photo_image(const QImage &image, const StoredPictureBytes &bytes = {});
    bool alignWithGridButtonEnabled() const { return m_alignWithGridEnabled; }
    bool makeSameSizeButtonsEnabled() const { return m_makeSameSizeEnabled; }

    // --- Barcode settings window: the window does the work -------------------------------------
    // The one barcode settings window of the run, made on first use and owned by the window.
    Barcode_Gen *barcodeSettingsWindow();
    // The barcode tab's button: the settings window on the current side's current barcode.
    void View_barcode_prop_Button();
    // After the settings window's OK: the settings of `source` into the selection, the handed-over
    // picture to the current object (the barcode tab writes them).
    void Update_Barcode_Graphics(const SKTGraphic &source);
    // What the settings window asks (BarcodeWindowDesign).
    void View_Data_Series(const QString &seriesName) override;
    void Open_Long_sms_Dialog(const QString &title, const QString &text) override;
    Barcode_Gen *Barcode_Gen_Var = nullptr;

    // --- State created by init and kept for the whole run --------------------------------------
    SKTGrid _grid;
    double _zoomFactor = 1.0;
    bool main_photo_ds_batch = false;
    QFont Text_font;
    QStringList paper_card_arry;
    QStringList pvc_card_arry;
    QString act_path_location;
    QImage banner_image, promotion_pattern_image, wizard_pattern_image;
    Card_Property Front_card_Prop;
    Card_Property Back_card_Prop;
    std::unique_ptr<User_Profile_Class> Front_user_profile, Back_user_profile, TEMP_user_profile;
    QList<QVariantMap> ListData;
    RecordBinding data_table_content; // the sources of the latest bound run
    Send_Modeless *send_modls_wnd = nullptr; // the progress sheet, also Send_Models_Window

    // --- Outlets --------------------------------------------------------------------------------
    QMainWindow *Main_wnd = nullptr;
    SKTGraphicView *_graphicView = nullptr, *_graphicView_BACK = nullptr, *_graphicView_TEMP = nullptr;
    SKTZoomingScrollView *_zoomingScrollView = nullptr, *_zoomingScrollView_BACK = nullptr,
                         *_zoomingScrollView_TEMP = nullptr;
    QWidget *myTargetView = nullptr;
    QWidget *first_view = nullptr, *second_view = nullptr, *temp_design_view = nullptr;

    // The properties panel owns its tabs and their controls; these name them as the window's.
    PropertiesPanel *Properties_Panel = nullptr;
    QTabWidget *sett_tab = nullptr;
    CardSettingsTab *card_setting_tab = nullptr;
    CardBackgroundTab *card_bkgd_tab = nullptr;
    ShapeTab *shape_tab = nullptr;
    LineTab *line_tab = nullptr;
    TextPanel *textPanel = nullptr;
    TextEditTab *text_edtng_tab = nullptr;
    TextPropertiesTab *text_prop_tab = nullptr;
    ImageTab *image_tab = nullptr;
    SignatureTab *sign_tab = nullptr;
    DataSourceTab *datasource_tab = nullptr;
    QWidget *aligmnt_tab = nullptr, *barcode_tab = nullptr, *Lock_tab = nullptr;

    QComboBox *Text_Date_style = nullptr, *Text_Time_style = nullptr, *Text_vert_align_combo = nullptr,
              *Text_align_combo = nullptr, *Text_case_combo = nullptr;
    QLabel *Text_font_value = nullptr;
    QLabel *Front_back_label = nullptr;

    QToolButton *Undo_btn = nullptr, *Redo_btn = nullptr, *Cut_btn = nullptr, *Copy_btn = nullptr,
                *Paste_btn = nullptr, *Delete_btn = nullptr, *Begin_Front_btn = nullptr, *Send_Back_btn = nullptr,
                *Lock_btn = nullptr, *Unlock_btn = nullptr;
    std::array<QToolButton *, SKTTool::Count> toolButtons{}; // by tool number
    QPushButton *Front_Side_btn = nullptr, *Back_Side_btn = nullptr, *Temp_Side_btn = nullptr;
    QCheckBox *Show_Ruler_chk = nullptr;
    QPushButton *User_Profile_btn = nullptr, *Share_It_btn = nullptr;
    QToolButton *New_btn = nullptr, *Open_btn = nullptr, *Save_btn = nullptr, *SaveAs_btn = nullptr;
    QComboBox *Data_source_type = nullptr; // the properties panel's data-source list, once it exists

    PleaseWait_Modeless *plz_wait_Window = nullptr;
    // Runs the save or open of a design, whose work is about `estimate`, on a worker while the window
    // paints; once it has taken the sheet's delay the sheet shows `message` and the progress the work
    // tells, until it ends. Work lighter than directWorkBytes runs here at once. In both cases what
    // the user does to the window meanwhile is dropped (its close box still answered). What the
    // work throws is thrown again (InputShield::runLong).
    void runLongWork(const QString &message, const DesignFile::Work &estimate,
                     const std::function<void(const DesignFile::Progress &)> &work);
    // Runs `job` on a worker while the window paints (or here at once) and drops what the user
    // does to the window.
    void runShieldedFromInput(const std::function<void()> &job, bool here = false);
    QLabel *modeless_msg_lbl = nullptr;
    QDialog *Send_Models_Window = nullptr;
    QDialog *Open_Export_Files = nullptr;
    // The export sheet (its layout's `panel` too).
    ExportSheet *ExportWindow = nullptr;
    ExportCommand *m_export = nullptr; // the Export command, over ExportWindow
    QCheckBox *_open_log_chk = nullptr;
    QLabel *_open_log_path = nullptr, *_open_log_message = nullptr;

signals:
    // The notification "SKTSelectedToolDidChange".
    void SKTSelectedToolDidChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The start wizard's modal run: 1 goes on, anything else ends the program.
    virtual int runStartWizard();

private:
    void awakeFromNib();
    void buildWindow();
    void buildToolPalette(QWidget *palette);
    QWidget *buildCommandBar();
    void buildFileCommands(QWidget *bar, QHBoxLayout *row, QMenu *fileMenu);
    // The Series menu: the batch series manager, the import wizard and the generator.
    void buildSeriesCommands();
    // Quit at the end of the File menu, the Card and Help menus, and the Help button.
    void buildSupportCommands(QWidget *bar, QHBoxLayout *row, QMenu *fileMenu);
    // One button of the command bar with the action behind it (icon, shortcut, tooltip naming both).
    struct CommandButton {
        ToolIcons::Command command;
        const char *button;
        const char *text;
        QKeySequence::StandardKey key;
        void (SKTWindowController::*action)();
        QToolButton *SKTWindowController::*field;
    };
    QAction *addCommandButton(QWidget *bar, QHBoxLayout *row, const CommandButton &entry, int minimumWidth);
    static void addCommandSeparator(QWidget *bar, QHBoxLayout *row);
    // What went wrong with the pictures of a design read: objects whose carried picture could not
    // be read, picture files named that are not there, files that gave no picture, and why the
    // front's and the back's background gave none.
    struct PictureProblems {
        QStringList unreadable, missing, undecodable;
        QString frontBackground, backBackground;
    };
    // Reads the pictures the objects name by path, within the design's pixel budget, and the faces'
    // backgrounds, on any thread; the main photo's objects take theirs from the window once it has
    // the new photo.
    static PictureProblems readNamedPictures(const DesignFileContents &contents,
                                             const QList<DesignFile::NamedPicture> &files);
    void applyDesignFile(const DesignFileContents &contents, const QString &path, const QString &log_or_template,
                         const PictureProblems &pictures);
    QWidget *buildSideBar();
    void buildPropertiesPanel();
    void buildSheets();
    void connectDialogs();
    void createWindows();
    // Frame pictures of a template made elsewhere are found again in this program's "Frames".
    void relinkFramePictures();
    void bindCanvases();
    void unbindCanvases();
    void setTool(int tool);
    // Side 0 front, 1 back, 2 temp.
    void fillProfileSide(int side);
    // Lends the profile dialogs the design.
    void connectProfileDialogs();
    // The design's Excel-bound objects and profiles are listed and moved when a sheet is taken.
    void connectColumnBindings();
    // Objects put on a side find their columns in the bound sheet by title.
    static void findColumnsOfInserted(const SKTGraphicList::Change &change);
    void applyCanvasSize(const QSizeF &points);
    void setLock(bool locked);
    // Runs an edit command on the current side's canvas, then redraws it and lets the panel and the
    // buttons follow the selection the command left. Nothing runs while the preview is shown.
    void onCurrentCanvas(void (SKTGraphicView::*command)());
    // The preview shows objects of another side: nothing may be made or edited through it.
    bool isPreviewShown() const { return m_shownView == 2; }
    // Tools and edit commands off while the preview is shown, back on with a side.
    void followShownSide();
    void reloadListTable();
    void setButtonsEnabled(bool cut, bool copy, bool del, bool front, bool back, bool lock, bool unlock);
    void syncRulerBox();

    SKTDocument *m_document = nullptr;
    int m_shownView = 0; // 0 front, 1 back, 2 preview
    platform::Subscription m_canvasSizeSubscription; // the observation of the document's "canvasSize"
    bool m_windowLoaded = false;
    bool m_awake = false;
    int m_Selected_Control_Tool = 0;
    QImage m_no_image, m_sign_sample_img, m_fp_sample_img, m_barcode_sample_img;
    mutable QMutex m_mainPhotoMutex;
    QImage m_Main_Photo_image;
    StoredPictureBytes m_Main_Photo_bytes; // what a save writes m_Main_Photo_image as
    QImage m_Main_Photo_original;
    QByteArray m_Main_Photo_original_file; // the bytes m_Main_Photo_original was read from, when kept
    std::unique_ptr<StartWizardHost> m_startWizardHost;
    Invitation_Wizard *m_invitationWizard = nullptr;
    Template_Wizard *m_templateWizard = nullptr;
    Export_Template *m_exportTemplate = nullptr;
    Insert_Template *m_titleMessagePicker = nullptr;
    RecordRun *m_recordRun = nullptr;
    bool m_alignWithGridEnabled = false;
    bool m_makeSameSizeEnabled = false;
    QAbstractTableModel *m_listModel = nullptr;
    platform::Subscription m_toolObservation;
    platform::Subscription m_boundFieldsListing, m_columnsRebinding;
    std::vector<platform::Subscription> m_canvasBindings;
    std::shared_ptr<ProfileHost> m_profileHost;
};
