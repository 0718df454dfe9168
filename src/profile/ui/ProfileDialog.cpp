#include "profile/ui/ProfileDialog.h"

#include "canvas/ui/InputShield.h"
#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceState.h"
#include "datasource/DataSourceType.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SeriesStore.h"
#include "datasource/ui/ExcelRowsWindow.h"
#include "datasource/ui/Import_Excel.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "platform/UiServices.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/Form.h"
#include "platform/ui/SetObjEnabled.h"
#include "profile/ProfilePlacement.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"
#include "properties/ui/DataSourceTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QVBoxLayout>

const std::array<const char *, 11> ProfileDialog::kStems = {
    "name", "title", "comp_name", "slogan", "address", "phone", "fax", "email", "website", "unique", "image"};

namespace {

constexpr QSize kSidePicture(260, 170);
constexpr QSize kPhotoPicture(96, 96);

QString outletName(const char *stem, const char *ending)
{
    return QString::fromLatin1(stem) + QLatin1String(ending);
}

QPushButton *button(const QString &text, const char *name, const QString &toolTip = QString())
{
    auto *made = Form::named(new QPushButton(text), name);
    made->setToolTip(toolTip);
    return made;
}

} // namespace

ProfileDialog::ProfileDialog(QWidget *parent) : QDialog(parent), m_grid(new QGridLayout)
{
    DialogLook::applyBackground(this);
    const ProfileState &captions = Profiles();
    const QString *titles[11] = {&captions.Title_Name,    &captions.Title_Title,  &captions.Title_Company_name,
                                 &captions.Title_slogan,  &captions.Title_address, &captions.Title_phone,
                                 &captions.Title_fax,     &captions.Title_email,  &captions.Title_website,
                                 &captions.Title_unique,  &captions.Title_image};
    image_path_val = Form::named(new QLineEdit, "image_path_val");
    image_path_val->setPlaceholderText(tr("No photo"));
    for (int r = 0; r < 11; ++r) {
        Row &row = rows[r];
        const char *stem = kStems[r];
        row.field = &User_Profile_Fields()[r];
        row.caption = *titles[r];
        row.caption_label = new QLabel(Trim_Str(QString(row.caption).remove(QStringLiteral(" :"))));
        if (row.field->isPhoto) {
            row.value = nullptr;
        } else {
            row.value = new QLineEdit;
            row.value->setObjectName(outletName(stem, "_value"));
            row.value->setMinimumWidth(170);
        }
        row.ds_combo = Form::comboBox(outletName(stem, "_ds_combo").toLatin1().constData(),
                                      dataSourceTypeNames(false));
        row.ds_combo->setToolTip(tr("Typed here, or one value per card from a series or an Excel column"));
        row.ser_col_cb = Form::comboBox(outletName(stem, "_ser_col_cb").toLatin1().constData());
        row.ser_col_cb->setMinimumWidth(130);
        row.ser_col_cb->setToolTip(tr("The series or the Excel column the value comes from"));
        row.view_btn = new QPushButton(tr("View"));
        row.view_btn->setObjectName(outletName(stem, "_view_btn"));
        row.view_btn->setToolTip(tr("Show the values of the chosen series"));
        // Choices made here by the program run the handling too: the reset and read-back rely on it.
        connect(row.ds_combo, &QComboBox::currentIndexChanged, this, [this, r] { sourceSelectionDidChange(r); });
        connect(row.ser_col_cb, &QComboBox::currentIndexChanged, this, [this, r] { seriesSelectionDidChange(r); });
        connect(row.view_btn, &QPushButton::clicked, this, [this, r] { View_Data_Series_By_Name(rows[r].ser_col_cb); });
    }

    user_picture = Form::named(new QLabel, "user_picture");
    Preivew_picture = Form::named(new QLabel, "Preivew_picture");
    for (QLabel *picture : {user_picture, Preivew_picture}) {
        picture->setAlignment(Qt::AlignCenter);
        picture->setFrameShape(QFrame::StyledPanel);
        picture->setAutoFillBackground(true);
        QPalette white = picture->palette();
        white.setColor(QPalette::Window, Qt::white);
        picture->setPalette(white);
    }
    user_picture->setFixedSize(kPhotoPicture);
    Preivew_picture->setFixedSize(kSidePicture);
    browse_pic_btn = button(tr("Browse…"), "browse_pic_btn", tr("Choose the photo file"));
    clear_pic_btn = button(tr("Clear"), "clear_pic_btn", tr("No photo"));
    excel_path_field = Form::named(new QLineEdit, "excel_path_field");
    excel_path_field->setReadOnly(true);
    excel_path_field->setPlaceholderText(tr("No Excel sheet"));
    excel_browse_btn = button(tr("Browse…"), "excel_browse_btn", tr("Bind the columns of an Excel sheet"));
    view_excel_btn = button(tr("View…"), "view_excel_btn", tr("Show the rows of the bound Excel sheet"));
    batch_series_btn = button(tr("Series…"), "batch_series_btn", tr("Create and edit batch processing series"));
    ok_btn = button(tr("OK"), "ok_btn");
    cancel_btn = button(tr("Cancel"), "cancel_btn");
    reset_btn = button(tr("Reset"), "reset_btn", tr("Empty every field"));
    help_btn = button(tr("Help"), "help_btn");
    preview_btn = button(tr("Preview"), "preview_btn", tr("Show the side with this profile placed on it"));
    ok_btn->setDefault(true);

    connect(browse_pic_btn, &QPushButton::clicked, this, [this] { Browse_image_Btn_Clicked(); });
    connect(clear_pic_btn, &QPushButton::clicked, this, [this] { Clear_image_Btn_Clicked(); });
    connect(excel_browse_btn, &QPushButton::clicked, this, [this] { Browse_excel_Btn_Clicked(); });
    connect(view_excel_btn, &QPushButton::clicked, this, [this] { View_Excel_Btn_Clicked(); });
    connect(batch_series_btn, &QPushButton::clicked, this, [this] { Batch_Series_Btn_Clicked(); });
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(); });
    connect(reset_btn, &QPushButton::clicked, this, [this] { Reset_Btn_Clicked(); });
    connect(help_btn, &QPushButton::clicked, this, [this] { Help_Btn_Clicked(); });
    connect(preview_btn, &QPushButton::clicked, this, [this] { Preview_Btn_Clicked(); });
    // The lists start on the typed source, chosen as they were filled: its handling has not run yet.
    for (int r = 0; r < 11; ++r) {
        rows[r].ds_combo->setMinimumWidth(100);
        sourceSelectionDidChange(r);
    }

    Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    m_boundFieldsListing = excel->listBoundFields.subscribe([this](QList<Data_From_Excel::BoundField> &fields) {
        if (!m_formShown)
            return;
        const QString side = load_side == QLatin1String("B")   ? QStringLiteral("Back")
                             : load_side == QLatin1String("F") ? QStringLiteral("Front")
                                                               : QStringLiteral("Profile");
        for (int r = 0; r < 11; ++r)
            if (const int column = boundColumn(r); column > 0)
                fields << Data_From_Excel::BoundField{side + QStringLiteral(": ") + profileFieldName(rows[r].field->objectTag),
                                                      column};
    });
    m_columnsRebinding = excel->columnsRebound.subscribe([this](const QHash<int, int> &moves) { columnsRebound(moves); });
}

void ProfileDialog::finish(QLayout *sidePanelTop)
{
    m_grid->setRowStretch(12, 1);
    m_grid->setHorizontalSpacing(8);
    m_grid->setVerticalSpacing(6);
    auto *fields = new QGroupBox(tr("Profile fields"));
    fields->setLayout(m_grid);

    auto *side = new QVBoxLayout;
    if (sidePanelTop)
        side->addLayout(sidePanelTop);
    auto *photo = new QGroupBox(tr("Photo"));
    auto *photoRow = new QHBoxLayout(photo);
    auto *photoButtons = new QVBoxLayout;
    photoButtons->addWidget(browse_pic_btn);
    photoButtons->addWidget(clear_pic_btn);
    photoButtons->addStretch();
    photoRow->addWidget(user_picture);
    photoRow->addLayout(photoButtons);
    photoRow->addStretch();
    side->addWidget(photo);
    auto *excel = new QGroupBox(tr("Excel sheet"));
    auto *excelRows = new QVBoxLayout(excel);
    excelRows->addWidget(excel_path_field);
    excelRows->addLayout(Form::sideBySide({excel_browse_btn, view_excel_btn}));
    side->addWidget(excel);
    auto *series = new QGroupBox(tr("Batch processing series"));
    auto *seriesRow = new QHBoxLayout(series);
    seriesRow->addWidget(batch_series_btn);
    seriesRow->addStretch();
    side->addWidget(series);
    side->addStretch();

    auto *body = new QHBoxLayout;
    body->addWidget(fields, 1);
    body->addLayout(side);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {help_btn, reset_btn, preview_btn})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *all = new QVBoxLayout(this);
    all->addLayout(body);
    all->addLayout(buttons);
}

void ProfileDialog::showPicture(QLabel *label, const QImage &picture)
{
    if (picture.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(QPixmap::fromImage(
        picture.scaled(label->size() - QSize(6, 6), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QLabel *ProfileDialog::heading(const QString &text)
{
    auto *label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

void ProfileDialog::done(int result)
{
    m_formShown = false;
    QDialog::done(result);
}

bool ProfileDialog::prepareForShownSide()
{
    Reset_all_Ctrl();
    offerExcelAsLoaded();
    const bool back = m_host && m_host->backShown();
    setWindowTitle(back ? tr("Back Side User Profile Information") : tr("Front Side User Profile Information"));
    Graphics_array = m_host ? m_host->shownSideObjects() : GraphicList();
    Create_and_Set_template_picture();
    return back;
}

int ProfileDialog::runPrepared()
{
    if (rows[0].value)
        rows[0].value->setFocus();
    const int result = exec();
    hide();
    return result;
}

void ProfileDialog::reject()
{
    Cancel_Btn_Clicked();
}

// --- Rows ------------------------------------------------------------------------------------------

void ProfileDialog::sourceSelectionDidChange(int r)
{
    Log_Exceptions([&] {
        Row &row = rows[r];
        const int source = row.ds_combo->currentIndex();
        if (row.value)
            row.value->setReadOnly(source != 0);
        if (row.field->isPhoto) {
            SetObjEnabled(browse_pic_btn, source == 0);
            SetObjEnabled(clear_pic_btn, source == 0);
        }
        SetObjEnabled(row.ser_col_cb, source != 0);
        SetObjEnabled(row.view_btn, source == 1);
        // The fillers leave the list with nothing chosen, quietly, as an emptied list is.
        if (source == 0)
            row.ser_col_cb->clear();
        else if (source == 1)
            DataSourceTab::Fill_Data_Set_File_Name_In_Combo(row.ser_col_cb);
        else
            DataSourceTab::Fill_Excel_Col_Name_In_Combo(row.ser_col_cb);
    });
}

void ProfileDialog::seriesSelectionDidChange(int r)
{
    Log_Exceptions([&] {
        Row &row = rows[r];
        const int chosen = row.ser_col_cb->currentIndex();
        const QString text = chosen < 0 ? QString() : row.ser_col_cb->currentText();
        if (text.isEmpty())
            return;
        QString value;
        switch (row.ds_combo->currentIndex()) {
        case 1: value = Get_First_Value_Of_Dataset(text); break;
        case 2: value = Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(chosen); break;
        default: return;
        }
        if (row.field->isPhoto)
            Set_User_Image(value);
        else
            row.value->setText(value);
    });
}

void ProfileDialog::Set_User_Image(const QString &path)
{
    const QString trimmed = Trim_Str(path);
    image_path_val->setText(trimmed);
    showPicture(user_picture, trimmed.isEmpty() ? QImage() : InputShield::loadPicture(this, trimmed, nullptr));
}

void ProfileDialog::Browse_image_Btn_Clicked()
{
    const QString path = Trim_Str(platform::uiServices().chooseFileToOpen(
        tr("Choose the Photo"), Panel_Start_Folder(QStandardPaths::PicturesLocation), platform::photoFileTypes()));
    if (path.isEmpty())
        return;
    // A photo that cannot be read leaves the one shown, and its path, as they were.
    const QImage picture = InputShield::loadChosenPicture(this, path, QStringLiteral("photo"));
    if (picture.isNull())
        return;
    image_path_val->setText(path);
    showPicture(user_picture, picture);
}

// --- Reset, read-back, validation and writing ------------------------------------------------------

void ProfileDialog::Reset_all_Ctrl()
{
    Preivew_picture->clear();
    Set_User_Image(QString());
    for (Row &row : rows)
        if (row.value)
            row.value->clear();
    for (Row &row : rows)
        row.ds_combo->setCurrentIndex(0);
    // A typed value can be edited: an earlier opening's state does not carry over.
    for (Row &row : rows)
        if (row.value)
            row.value->setReadOnly(false);
    for (Row &row : rows)
        row.ser_col_cb->setCurrentIndex(-1);
    m_readBindings = {};
}

void ProfileDialog::offerExcelAsLoaded()
{
    m_formShown = true;
    // The sheet box names the sheet whose columns the lists offer, or none.
    const bool loaded = !Data_From_Excel::defaultInstance()->ListData.isEmpty();
    excel_path_field->setText(loaded ? DataSources().Excel_Source_Path : QString());
    if (loaded)
        Add_Excel_in_Data_Source_Combo();
    else
        Remove_Excel_in_Data_Source_Combo();
}

void ProfileDialog::readBack(const GraphicList &objects)
{
    for (const SKTGraphicPtr &graphic : objects) {
        if (!graphic || !isPlacedProfileObject(*graphic))
            continue;
        // A field that a sheet taken again left without a column has no value to show, and its object
        // is hidden; it still shows where it comes from, Excel with no column chosen.
        const bool columnless = graphic->binding.isExcel() && !graphic->binding.hasColumn();
        if (!graphic->ctrl_is_visible && !columnless)
            continue;
        const QString tag = Trim_Str(graphic->control_ID);
        for (int r = 0; r < 11; ++r) {
            Row &row = rows[r];
            if (tag != QLatin1String(row.field->objectTag))
                continue;
            if (graphic->ctrl_is_visible) {
                if (row.field->isPhoto) {
                    Set_User_Image(graphic->FilePath());
                } else {
                    row.value->setText(graphic->Text_Value);
                    valueReadBack(r);
                }
            }
            // A code the list does not offer chooses nothing.
            const int source = graphic->binding.data_source_type;
            row.ds_combo->setCurrentIndex(source >= 0 && source < row.ds_combo->count() ? source : -1);
            if (source != 0) {
                const DataBinding &bound = graphic->binding;
                const int item = source == 1 ? bound.batch_list_index : source == 2 ? bound.excel_col_indx : 0;
                row.ser_col_cb->setCurrentIndex(item >= 0 && item < row.ser_col_cb->count() ? item : -1);
            }
            m_readBindings[r] = {true, graphic->binding, row.ds_combo->currentIndex(), row.ser_col_cb->currentIndex()};
            break;
        }
    }
}

bool ProfileDialog::keepsReadBinding(int r) const
{
    const ReadBinding &read = m_readBindings[r];
    return read.read && rows[r].ds_combo->currentIndex() == read.shownSource &&
           rows[r].ser_col_cb->currentIndex() == read.shownItem;
}

int ProfileDialog::boundColumn(int r) const
{
    if (keepsReadBinding(r))
        return m_readBindings[r].binding.isExcel() ? std::max(0, m_readBindings[r].binding.excel_col_indx) : 0;
    return rows[r].ds_combo->currentIndex() == 2 ? std::max(0, rows[r].ser_col_cb->currentIndex()) : 0;
}

void ProfileDialog::columnsRebound(const QHash<int, int> &moves)
{
    for (int r = 0; r < 11; ++r) {
        Row &row = rows[r];
        ReadBinding &read = m_readBindings[r];
        const bool kept = keepsReadBinding(r);
        if (read.read)
            Data_From_Excel::defaultInstance()->findColumn(read.binding, moves);
        if (row.ds_combo->currentIndex() != 2)
            continue;
        const int was = kept ? read.binding.excel_col_indx : row.ser_col_cb->currentIndex();
        const int now = kept ? read.binding.excel_col_indx : moves.value(was, was);
        DataSourceTab::Fill_Excel_Col_Name_In_Combo(row.ser_col_cb);
        if (now >= 0 && now < row.ser_col_cb->count()) {
            const QSignalBlocker quiet(row.ser_col_cb);
            row.ser_col_cb->setCurrentIndex(now);
        }
        // The sample comes from the new sheet; a field left without a column shows none.
        QString sample;
        if (row.ser_col_cb->currentIndex() >= 0)
            sample = Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(now);
        if (row.field->isPhoto)
            Set_User_Image(sample);
        else
            row.value->setText(sample);
        if (kept) {
            read.shownSource = row.ds_combo->currentIndex();
            read.shownItem = row.ser_col_cb->currentIndex();
        }
    }
}

bool ProfileDialog::Check_Validation()
{
    checked_field_name.clear();
    for (int r = 0; r < 11; ++r) {
        const Row &row = rows[r];
        const int source = row.ds_combo->currentIndex();
        if ((source == 1 || source == 2) && row.ser_col_cb->currentIndex() < 0 && !keepsReadBinding(r)) {
            checked_field_name = row.caption;
            return false;
        }
    }
    return true;
}

namespace {

// What a profile field keeps of an object's binding: the parts of its source.
DataBinding fieldBinding(const DataBinding &read)
{
    DataBinding kept{DataBinding::Typed, QStringLiteral(""), 0, false, 0, QStringLiteral("")};
    if (read.data_source_type == DataBinding::Series) {
        kept.data_source_type = DataBinding::Series;
        kept.batch_list_name = read.batch_list_name;
        kept.batch_list_index = read.batch_list_index;
    } else if (read.isExcel()) {
        kept.data_source_type = DataBinding::Excel;
        kept.excel_col_indx = read.excel_col_indx;
        kept.excel_col_title = read.excel_col_title;
    }
    return kept;
}

} // namespace

bool ProfileDialog::fillProfile(User_Profile_Class &profile, bool accepting)
{
    if (!Check_Validation()) {
        QString message = QStringLiteral("Please select the source");
        const QString name = Trim_Str(checked_field_name);
        if (!name.isEmpty())
            message += QStringLiteral(" for '%1'").arg(Replace_char_in_string(name, QStringLiteral(" :"), QString()));
        Show_MessageBox(message);
        return false;
    }
    if (accepting) {
        profile.Fill_User_Profile_Enable = true;
        DataSourceState &sources = DataSources();
        const bool rowsLoaded = !Data_From_Excel::defaultInstance()->ListData.isEmpty();
        profile.Excel_Binding = rowsLoaded;
        sources.Excel_Binding_Use = rowsLoaded;
        if (rowsLoaded)
            sources.Excel_Source_Path = excel_path_field->text();
    }
    for (int r = 0; r < 11; ++r) {
        const Row &row = rows[r];
        const User_Profile_Field &f = *row.field;
        profile.*f.value = row.field->isPhoto ? image_path_val->text() : row.value->text();
        if (keepsReadBinding(r)) {
            profile.*f.binding = fieldBinding(m_readBindings[r].binding);
            continue;
        }
        const int source = row.ds_combo->currentIndex();
        if (source < 0 || source > 2)
            continue;
        const int chosen = row.ser_col_cb->currentIndex();
        DataBinding binding{source, QStringLiteral(""), 0, false, 0, QStringLiteral("")};
        if (source == DataBinding::Series) {
            binding.batch_list_name = row.ser_col_cb->currentText();
            binding.batch_list_index = chosen;
        } else if (source == DataBinding::Excel) {
            binding.excel_col_indx = chosen;
            binding.excel_col_title = Data_From_Excel::defaultInstance()->columnTitles().value(chosen);
        }
        profile.*f.binding = binding;
    }
    return true;
}

bool ProfileDialog::Fill_Front_User_profile_value_in_Variable()
{
    return m_host && fillProfile(m_host->profile(ProfileDialogHost::Front), true);
}

bool ProfileDialog::Fill_Back_User_profile_value_in_Variable()
{
    return m_host && fillProfile(m_host->profile(ProfileDialogHost::Back), true);
}

bool ProfileDialog::Fill_TEMP_User_profile_value_in_Variable()
{
    return m_host && fillProfile(m_host->profile(ProfileDialogHost::Temp), false);
}

// --- Buttons ---------------------------------------------------------------------------------------

void ProfileDialog::OK_Btn_Clicked()
{
    if (!Fill_Front_User_profile_value_in_Variable())
        return;
    if ((load_side.isEmpty() || load_side == QLatin1String("B")) && !Fill_Back_User_profile_value_in_Variable())
        return;
    done(1);
}

void ProfileDialog::Cancel_Btn_Clicked()
{
    if (!Data_From_Excel::defaultInstance()->ListData.isEmpty())
        DataSources().Excel_Source_Path = excel_path_field->text();
    done(0);
}

void ProfileDialog::Help_Btn_Clicked()
{
    Open_Help_File();
}

void ProfileDialog::Preview_Btn_Clicked()
{
    if (!Fill_TEMP_User_profile_value_in_Variable() || !m_host)
        return;
    Graphics_array = m_host->previewTempProfile();
    Create_and_Set_Preview_picture();
}

void ProfileDialog::Create_and_Set_template_picture()
{
    showPicture(Preivew_picture, m_host ? m_host->sidePicture(Graphics_array) : QImage());
}

void ProfileDialog::Create_and_Set_Preview_picture()
{
    showPicture(Preivew_picture, m_host ? m_host->sidePicture(Graphics_array) : QImage());
}

void ProfileDialog::Browse_excel_Btn_Clicked()
{
    const QString path = platform::uiServices().chooseFileToOpen(
        tr("Choose the Excel Sheet"), Panel_Start_Folder(QStandardPaths::DocumentsLocation),
        {QStringLiteral("xlsx"), QStringLiteral("XLSX")});
    if (path.isEmpty())
        return;
    if (Check_And_Validate_File_Path(path) != 0)
        return;
    Import_Excel *picker = Import_Excel::defaultInstance();
    picker->setOpen_mode(QStringLiteral("E"));
    // OK keeps the field's path for the design: only a sheet the picker took may stand there.
    if (picker->Open_excel_Wnd(path) == 1)
        excel_path_field->setText(path);
    if (!Data_From_Excel::defaultInstance()->ListData.isEmpty())
        Add_Excel_in_Data_Source_Combo();
    else
        Remove_Excel_in_Data_Source_Combo();
}

void ProfileDialog::View_Excel_Btn_Clicked()
{
    Log_Exceptions([] { ExcelRowsWindow::defaultInstance()->Open_Wnd(); });
}

void ProfileDialog::Batch_Series_Btn_Clicked()
{
    if (m_host)
        m_host->Batch_Series_Button();
}

void ProfileDialog::Add_Excel_in_Data_Source_Combo()
{
    for (Row &row : rows)
        DataSourceTab::Add_Excel_Col_Name_In_Combo(row.ds_combo);
}

void ProfileDialog::Remove_Excel_in_Data_Source_Combo()
{
    for (Row &row : rows)
        DataSourceTab::Remove_Excel_Col_Name_In_Combo(row.ds_combo);
}

void ProfileDialog::View_Data_Series_By_Name(QComboBox *seriesList)
{
    const QString name = seriesList->currentIndex() < 0 ? QString() : Trim_Str(seriesList->currentText());
    if (name.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
    }
    if (m_host)
        m_host->View_Data_Series(name);
}
