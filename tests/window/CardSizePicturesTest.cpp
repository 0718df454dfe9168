#include "DesignWindowFixture.h"

#include "fixtures/Pictures.h"
#include "fixtures/SmtpServer.h"
#include "output/MailRun.h"
#include "output/PictureExport.h"
#include "window/Card_Wizard.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>

#include <cmath>

namespace {

constexpr QRgb kCardColour = 0xff1e8c3c;

// Pixels of `inches` at `dpi` worked out on the nominal size: the whole number when it is one, else cut.
int pixelsOf(double inches, int dpi)
{
    const double exact = inches * dpi;
    const double whole = std::round(exact);
    return std::abs(exact - whole) < 1e-9 ? int(whole) : int(std::floor(exact));
}

// The picture's size; a far corner that is not the card's colour (a blank last row or column) gives
// an empty size.
QSize cardPictureSize(const QString &path)
{
    const QImage picture = QImage(path).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull())
        return {};
    const QColor corner = picture.pixelColor(picture.width() - 1, picture.height() - 1);
    return corner.alpha() == 255 && colourNear(corner, QColor::fromRgba(kCardColour), 7) ? picture.size() : QSize();
}

// A card size as the user gives it: a preset row of the card-size dialog, or millimetres typed into
// the panel's size fields.
struct CardSizeRow {
    QString category; // empty for a typed size
    int row = -1;
    QSizeF typed;
};

class CardSizePicturesTest : public DesignWindowTest {
protected:
    // Gives the card the row's size through the controls, filled to every edge; answers its nominal
    // size in inches.
    QSizeF applySize(const CardSizeRow &row)
    {
        QSizeF inches = row.typed / 25.4;
        if (row.category.isEmpty()) {
            CardSettingsTab *fields = window->card_setting_tab;
            fields->width_Stepper->setValue(row.typed.width());
            fields->height_Stepper->setValue(row.typed.height());
            fields->Apply_Size_btn->click();
        } else {
            Card_Wizard *dialog = Card_Wizard::defaultInstance();
            dialog->Preset_ComboBox->setCurrentIndex(dialog->Preset_ComboBox->findText(QStringLiteral("Horizontal")));
            dialog->Category_ComboBox->setCurrentIndex(dialog->Category_ComboBox->findText(row.category));
            dialog->comboBoxSelectionDidChange(dialog->Category_ComboBox);
            dialog->Mark_List_New_Selection(row.row);
            // The presets are whole hundredths of an inch.
            inches = QSizeF(std::round(dialog->width_Stepper->value() / 0.254) / 100,
                            std::round(dialog->height_Stepper->value() / 0.254) / 100);
            dialog->OK_Click();
        }
        for (Card_Property *face : {&window->Front_card_Prop, &window->Back_card_Prop}) {
            face->setCard_fill_chk(true);
            face->setCard_fill_clr(QColor(kCardColour));
        }
        return inches;
    }
};

} // namespace

// A card of w inches at d dpi is w x d pixels wide when that is a whole number, though the size
// controls hold single precision (3 in is 215.99998 points): exported alone, combined with its back
// and mailed, with the card up to the last pixel.
TEST_F(CardSizePicturesTest, EveryPresetAndTypedSizeHasItsWholePixelsInEveryPicture)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    load();
    QList<CardSizeRow> rows;
    for (int row = 0; row < window->pvc_card_arry.size(); ++row)
        rows.append({QStringLiteral("PVC Card"), row, {}});
    for (int row = 0; row < window->paper_card_arry.size(); ++row)
        rows.append({QStringLiteral("Paper Badge"), row, {}});
    // 3 x 2, 4 x 6 and 5 x 7 inches, and a size in millimetres that is no whole number of pixels.
    for (const QSizeF typed : {QSizeF(76.2, 50.8), QSizeF(101.6, 152.4), QSizeF(127, 177.8), QSizeF(85.6, 54)})
        rows.append({QString(), -1, typed});

    const QString path = resources.filePath(QStringLiteral("card.PNG"));
    for (const CardSizeRow &row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3 x %4 mm")
                         .arg(row.category)
                         .arg(row.row)
                         .arg(row.typed.width())
                         .arg(row.typed.height())
                         .toStdString());
        const QSizeF inches = applySize(row);
        const auto pixels = [&](int dpi, int halves) {
            return QSize(pixelsOf(inches.width(), dpi), halves * pixelsOf(inches.height(), dpi));
        };
        const DesignSnapshot design = window->exportSnapshot();
        for (const int dpi : PictureExport::resolutions()) {
            for (const bool combined : {false, true}) {
                const ExportChoice choice{combined ? QStringLiteral("BOTH") : QStringLiteral("F"), combined,
                                          QStringLiteral("PNG"), double(dpi)};
                ASSERT_TRUE(PictureExport::Export_Single_File(design, choice, path).succeeded());
                EXPECT_EQ(cardPictureSize(path), pixels(dpi, combined ? 2 : 1)) << dpi << " dpi, combined " << combined;
            }
        }

        MailRequest request;
        request.recipients = {QStringLiteral("guest@example.org")};
        request.settings = {QStringLiteral("card@example.org"), QStringLiteral("secret"), QStringLiteral("127.0.0.1"),
                            QString::number(server.port()), QString()};
        std::atomic<int> total{0};
        std::atomic<double> current{0};
        std::atomic<bool> stop{false};
        const MailReport report = Send_Mail_Thread(design, request, {}, MailScript::inFolder(sourceResourcesPath()),
                                                   {&total, &current, &stop});
        ASSERT_TRUE(report.succeeded()) << report.message().toStdString();
        EXPECT_EQ(cardPictureSize(server.mails().last().attachments.value(0).path), pixels(int(kMailPictureDpi), 1))
            << "mailed";
    }
}
