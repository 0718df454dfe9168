// The start wizard's results on the card: the invitation texts, the main photo and the frame
// picture placed on the front side; the main photo loaded, processed and edited again; and the
// windows of the start wizard and of templates, which the design window owns.

#include "window/SKTWindowController.h"

#include "canvas/SKTTool.h"
#include "canvas/ui/InputShield.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/ImageProcesser.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/Side_Code.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "window/Export_Template.h"
#include "window/Insert_Template.h"
#include "window/Invitation_Wizard.h"
#include "window/StartWizardHost.h"
#include "window/Template_Wizard.h"
#include "window/WindowState.h"

#include <QMainWindow>
#include <QPainter>
#include <QPointer>

#include <cmath>
#include <exception>
#include <numbers>

// --- Windows ---------------------------------------------------------------------------------------

void SKTWindowController::createWindows()
{
    if (m_invitationWizard)
        return;
    m_startWizardHost = std::make_unique<StartWizardHost>(*this);
    m_invitationWizard = new Invitation_Wizard(m_startWizardHost.get(), Main_wnd);
    m_invitationWizard->setBackgroundPattern(wizard_pattern_image);
    m_invitationWizard->setBanner(banner_image);
    m_exportTemplate = new Export_Template(Main_wnd);
    m_templateWizard = new Template_Wizard(m_exportTemplate, Main_wnd);
    const QPointer<SKTWindowController> self(this);
    m_templateWizard->Open_User_Profile_Window = [self](bool edit, const QString &side) {
        if (self)
            self->Open_User_Profile_Window(edit, side);
    };
    m_titleMessagePicker = new Insert_Template(Main_wnd);
}

int StartWizardHost::Open_Log_File()
{
    return m_window.Open_Log_File();
}

int StartWizardHost::Open_Template_Design()
{
    return m_window.Open_Template_Design();
}

void StartWizardHost::Set_Card_Size_In_Control(const QSizeF &millimetres)
{
    m_window.Set_Card_Size_In_Control(millimetres);
}

void StartWizardHost::Set_Document_Size(const QSizeF &points)
{
    m_window.Set_Document_Size(points);
}

void StartWizardHost::SetDocumentCanvasSize(const QSizeF &points)
{
    m_window.SetDocumentCanvasSize(points);
}

QImage StartWizardHost::Main_Photo_image() const
{
    return m_window.Main_Photo_image();
}

QImage StartWizardHost::Main_Photo_original(QByteArray *file) const
{
    return m_window.Main_Photo_original(file);
}

void StartWizardHost::setMainPhoto(const QImage &original, const QByteArray &originalFile, const QImage &processed)
{
    m_window.setMainPhoto(original, originalFile, processed);
}

bool StartWizardHost::mainPhotoFromDataSource() const
{
    return m_window.main_photo_ds_batch;
}

// --- Invitation content ----------------------------------------------------------------------------

void SKTWindowController::Fill_Party_Invidation_Details()
{
    using namespace ControlTags;
    SKTGraphicView *front = _graphicView;
    if (!front)
        return;
    const WindowState &win = Win();
    const QString side = Side_Code_Name(Side_Code::Front);
    // The card the wizard has just sized.
    const QSizeF card = front->canvasSize();
    const double w = card.width() - 80.0;
    const double x0 = (card.width() - w) / 2.0;
    double y = 40.0;

    const auto place = [&](QLatin1String tag, const QString &text, const QRectF &rect) {
        front->createGraphicOfClass(SKTGraphic::Kind::Text, std::nullopt, true, rect, side, text, tag);
    };
    // The photo goes first, so that the texts typed in the wizard lie over it and show. It keeps its
    // shape and stays on the card: the band of 250 points it is centred in is taller than a small card.
    const bool photo = !win.Invite_Frame_Pic_IMG.isEmpty();
    if (photo) {
        m_Selected_Control_Tool = SKTTool::PictureFromFile;
        const QRectF cardRect(QPointF(0, 0), card);
        QRectF band = QRectF(x0, (card.height() - 250.0) / 2.0, w, 250.0).normalized() & cardRect;
        if (band.isEmpty())
            band = cardRect;
        const SKTGraphicPtr placed =
            front->createGraphicOfClass(SKTGraphic::Kind::Image, std::nullopt, true, band, side,
                                        win.Invite_Frame_Pic_IMG, MainPhoto);
        const QSizeF natural = placed && placed->kind() == SKTGraphic::Kind::Image
                                   ? pictureSize(static_cast<const SKTImage &>(*placed)._contents)
                                   : QSizeF();
        if (!natural.isEmpty()) {
            QRectF fitted(QPointF(), natural.scaled(band.size(), Qt::KeepAspectRatio));
            fitted.moveCenter(band.center());
            placed->setBounds(fitted);
        }
    }
    m_Selected_Control_Tool = SKTTool::Text;
    if (!win.Invite_Title.isEmpty()) {
        place(PartyTitle, win.Invite_Title, QRectF(x0, y, w, 30));
        y += 50;
    }
    if (!win.Invite_To.isEmpty()) {
        place(PartyTo, QStringLiteral("Dear ") + win.Invite_To + QLatin1Char(','), QRectF(30, y, w, 20));
        y += 30;
    }
    if (!win.Invite_Message.isEmpty()) {
        place(PartyMessage, win.Invite_Message, QRectF(50, y, w, 80));
        y += 80;
    }
    if (!win.Invite_Date.isEmpty()) {
        QString when = win.Invite_Date;
        if (!win.Invite_Time.isEmpty())
            when += QStringLiteral(" at ") + win.Invite_Time;
        place(PartyDate, when, QRectF(30, y, w, 20));
        y += 30;
    } else {
        if (!win.Invite_Time.isEmpty()) {
            place(PartyTime, QStringLiteral("AT ") + win.Invite_Time, QRectF(30, y, w, 20));
            y += 30;
        }
        y += 30;
    }
    if (!win.Invite_Venue.isEmpty()) {
        place(PartyVenue, QStringLiteral("Venue:\n") + win.Invite_Venue, QRectF(30, y, w, 60));
        y += 70;
    } else {
        y += 20;
    }
    if (!win.Invite_From.isEmpty())
        place(PartyFrom, QStringLiteral("From:\n") + win.Invite_From, QRectF(x0, y, w, 40));

    if (photo)
        m_Selected_Control_Tool = SKTTool::PictureFromFile;
    // Last, so that it lies over everything: its clear window shows the card through it.
    if (!win.Invite_Frame_IMG.isEmpty()) {
        m_Selected_Control_Tool = SKTTool::PictureFromFile;
        front->createGraphicOfClass(SKTGraphic::Kind::Image, std::nullopt, true,
                                    QRectF(Front_card_Prop.Card_Location(), card), side, win.Invite_Frame_IMG,
                                    FramePicture);
    }
}

// --- Main photo ------------------------------------------------------------------------------------

namespace {

// What a design keeps the photo with effects as: its file's bytes while the effects change no pixel,
// else the photo encoded once, from now on.
StoredPictureBytes processedPhotoBytes(const QImage &original, const QByteArray &file, const QImage &processed)
{
    const bool asRead = Win().mainPhotoEffects().changesNoPixel() && processed.size() == original.size();
    return StoredPictureBytes::forPicture(processed, file, asRead);
}

} // namespace

QImage SKTWindowController::Main_Photo_original(QByteArray *file) const
{
    if (!m_Main_Photo_original.isNull()) {
        if (file)
            *file = m_Main_Photo_original_file;
        return m_Main_Photo_original;
    }
    QByteArray read;
    QImage photo = loadPictureAndFile(Win().Invite_Frame_Pic_IMG, read);
    if (file)
        *file = read;
    return photo;
}

void SKTWindowController::setMainPhoto(const QImage &original, const QByteArray &originalFile, const QImage &processed)
{
    m_Main_Photo_original = original;
    m_Main_Photo_original_file = originalFile;
    setMain_Photo_image(processed, processedPhotoBytes(original, originalFile, processed));
}

void SKTWindowController::Update_frame_Main_Photo_And_Path(const QString &path, bool change_path)
{
    QByteArray file;
    const QImage photo = InputShield::loadPicture(Main_wnd, path, nullptr, &file);
    Update_frame_Main_Photo_And_Path(path, change_path, photo, file);
}

void SKTWindowController::Update_frame_Main_Photo_And_Path(const QString &path, bool change_path, const QImage &photo,
                                                           const QByteArray &file)
{
    Log_Exceptions([&] {
        m_Main_Photo_original = photo;
        m_Main_Photo_original_file = file;
        if (m_Main_Photo_original.isNull())
            setMain_Photo_image(QImage());
        else
            Update_Image_With_Settings();
        if (change_path)
            Win().Invite_Frame_Pic_IMG = path;
    });
}

void SKTWindowController::Update_Image_With_Settings()
{
    Log_Exceptions([&] {
        // From the photo as loaded, so that effects never pile up on a photo that has them already.
        QByteArray file;
        const QImage original = Main_Photo_original(&file);
        if (original.isNull())
            return;
        const QImage processed = ImageProcesser::Get_Processed_Image(original, Win().mainPhotoEffects());
        setMain_Photo_image(processed, processedPhotoBytes(original, file, processed));
    });
}

void SKTWindowController::Edit_Main_Photo_Button()
{
    Log_Exceptions([&] {
        if (!m_invitationWizard || m_invitationWizard->Open_Wnd_For_Edit_Photo() != 1)
            return;
        if (_graphicView)
            _graphicView->ReplaceGraphicText(SKTGraphic::Kind::Image, false, QRectF(), Side_Code_Name(Side_Code::Front),
                                             Win().Invite_Frame_Pic_IMG, ControlTags::MainPhoto);
        Refresh_Canvas();
        Show_RHS_Properties(nullptr);
    });
}

QImage SKTWindowController::RotateImage(const QImage &image, float angle)
{
    if (image.isNull() || !std::isfinite(angle))
        return QImage();
    double radians = static_cast<double>(angle) * std::numbers::pi / 180.0;
    while (radians < 0.0)
        radians += 2.0 * std::numbers::pi;
    const double w = image.width(), h = image.height();
    const double c = std::abs(std::cos(radians)), s = std::abs(std::sin(radians));
    const int width = static_cast<int>(c * w + s * h);
    const int height = static_cast<int>(s * w + c * h);
    QImage turned(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    if (turned.isNull())
        return turned;
    turned.fill(Qt::transparent);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(turned.width() / 2.0, turned.height() / 2.0);
    // Counter-clockwise, as the effect chain turns pictures.
    painter.rotate(-static_cast<double>(angle));
    painter.drawImage(QRectF(-w / 2.0, -h / 2.0, w, h), image);
    return turned;
}
