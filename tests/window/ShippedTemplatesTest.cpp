#include "DesignWindowFixture.h"
#include "fixtures/Pictures.h"

#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "platform/ui/ImageBrowserView.h"
#include "window/Invitation_Wizard.h"
#include "window/Template_Wizard.h"

#include <QDateEdit>
#include <QDirIterator>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTimeEdit>
#include <QTimer>

// The templates the program ships are made by the program: the start wizard builds each card, its
// objects are arranged as a user would, and the design is written as a shipped template. With the
// environment variable CARD_MAKE_TEMPLATES set they are made again into resources/Templates.

namespace {

void copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QDir(from).relativeFilePath(path);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        QFile::copy(path, target);
    }
}

// The illustrations the templates show as their main photo.
QImage illustration(int kind)
{
    QImage picture(300, 220, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (kind == 0) { // balloons on a sky
        QLinearGradient sky(0, 0, 0, 220);
        sky.setColorAt(0, QColor(120, 190, 240));
        sky.setColorAt(1, QColor(220, 240, 252));
        p.fillRect(picture.rect(), sky);
        const QColor colours[] = {QColor(239, 83, 80), QColor(255, 183, 77), QColor(102, 187, 106), QColor(171, 71, 188)};
        const QPointF centres[] = {{80, 80}, {140, 60}, {200, 90}, {250, 70}};
        for (int i = 0; i < 4; ++i) {
            p.setPen(QPen(QColor(90, 90, 90), 1.2));
            p.drawLine(centres[i] + QPointF(0, 34), QPointF(160, 215));
            p.setPen(Qt::NoPen);
            p.setBrush(colours[i]);
            p.drawEllipse(centres[i], 26, 34);
            p.setBrush(QColor(255, 255, 255, 90));
            p.drawEllipse(centres[i] + QPointF(-9, -12), 6, 9);
        }
    } else if (kind == 1) { // a moon over hills
        QLinearGradient sky(0, 0, 0, 220);
        sky.setColorAt(0, QColor(18, 26, 64));
        sky.setColorAt(1, QColor(62, 72, 130));
        p.fillRect(picture.rect(), sky);
        p.setBrush(QColor(250, 236, 180));
        p.drawEllipse(QPointF(220, 60), 28, 28);
        p.setBrush(QColor(18, 26, 64));
        p.drawEllipse(QPointF(232, 52), 24, 24);
        p.setBrush(QColor(255, 255, 255, 200));
        for (const QPointF &star : {QPointF(40, 30), QPointF(90, 60), QPointF(140, 25), QPointF(170, 90), QPointF(60, 100)})
            p.drawEllipse(star, 1.6, 1.6);
        p.setBrush(QColor(30, 40, 70));
        p.drawEllipse(QRectF(-80, 150, 300, 180));
        p.setBrush(QColor(24, 32, 58));
        p.drawEllipse(QRectF(120, 165, 300, 160));
    } else { // a garden
        p.fillRect(picture.rect(), QColor(214, 236, 246));
        p.setBrush(QColor(130, 186, 110));
        p.drawRect(0, 140, 300, 80);
        for (int i = 0; i < 9; ++i) {
            const QPointF at(20 + i * 33, 150 + (i % 3) * 18);
            p.setPen(QPen(QColor(80, 130, 70), 2));
            p.drawLine(at, at + QPointF(0, 30));
            p.setPen(Qt::NoPen);
            p.setBrush(i % 2 ? QColor(236, 120, 150) : QColor(250, 200, 80));
            for (int k = 0; k < 5; ++k)
                p.drawEllipse(at + QPointF(7 * std::cos(k * 1.2566), 7 * std::sin(k * 1.2566)), 5, 5);
            p.setBrush(QColor(250, 240, 200));
            p.drawEllipse(at, 3.5, 3.5);
        }
        p.setBrush(QColor(250, 210, 90));
        p.drawEllipse(QPointF(250, 45), 22, 22);
    }
    return picture;
}

struct ShippedCard {
    const char *name;
    const char *frame;
    int illustration;
    const char *title, *message, *from, *to, *venue;
    QDate date;
    QTime time;
};

const ShippedCard kCards[] = {
    {"Birthday Balloons", "Confetti.PNG", 0, "Let's Celebrate",
     "Come and celebrate with us! There will be cake, music and games for everyone.", "Mia", "Friends and family",
     "Maple Street Community Hall", QDate(2025, 5, 17), QTime(15, 0)},
    {"Evening Under the Stars", "Starry Night.PNG", 1, "A Night Under the Stars",
     "Dress warmly and bring a blanket: we will watch the stars and share hot chocolate.", "Tom and Rosa", "Neighbours",
     "Hilltop Meadow", QDate(2025, 8, 23), QTime(21, 0)},
    {"Garden Party", "Botanical.png", 2, "A Little Garden Party",
     "We would love you to join us for an afternoon of good food, good friends and plenty of laughter.", "The Okafors",
     "Everyone", "12 Orchard Lane", QDate(2025, 6, 7), QTime(13, 30)},
};

// Empty cards to start from without a photo, at sizes the card-size dialog offers: category, "H" or
// "V", preset row.
const struct BlankCard {
    const char *name, *category, *orientation;
    int preset;
} kBlankCards[] = {
    {"Blank Business Card", "PVC Card", "H", 0},
    {"Blank Greeting Card", "Paper", "H", 6},
    {"Blank Invitation", "Paper", "V", 7},
};

} // namespace

class ShippedTemplatesTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        copyFolder(sourceResourcesPath(), resourcePath());
        window.reset();
        window = std::make_unique<ScriptedDesignWindow>();
        window->setDocument(document.get());
    }

    // The start wizard as a user goes through it, then the objects arranged so that none hides
    // another: the photo smaller under the title, the texts below it.
    void makeCard(const ShippedCard &card)
    {
        // At about the size it shows on the card: the design file carries it, and names it among the
        // shipped resources, where the photo editor finds it again.
        const QString place = QStringLiteral("Templates/Photos/%1.png").arg(QString::fromUtf8(card.name));
        const QString photo = resourcePath(place);
        QDir().mkpath(QFileInfo(photo).absolutePath());
        QDir().mkpath(QFileInfo(sourceResourcesPath() + place).absolutePath());
        const QImage picture =
            illustration(card.illustration).scaled(180, 132, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        ASSERT_TRUE(picture.save(photo));
        ASSERT_TRUE(picture.save(sourceResourcesPath() + place));
        window->onStartWizard = [&] {
            Invitation_Wizard *w = window->invitationWizard();
            w->Prepare_Wizard();
            w->Using_Wizard_Click();
            w->msg_title->setText(QString::fromUtf8(card.title));
            w->msg_value->setPlainText(QString::fromUtf8(card.message));
            w->from_value->setText(QString::fromUtf8(card.from));
            w->to_value->setText(QString::fromUtf8(card.to));
            w->venue_value->setText(QString::fromUtf8(card.venue));
            w->Date_picker->setDate(card.date);
            w->Time_picker->setTime(card.time);
            for (int i = 0; i < w->numberOfItemsInImageBrowser(); ++i)
                if (w->imageBrowser_itemAtIndex(i).image_Name == QString::fromUtf8(card.frame))
                    w->imageBrowser->setSelectionIndexes({i});
            if (w->next_counter == 2) // the frame was chosen already
                w->OK_Click();
            w->Load_Photo(photo);
            w->OK_Click();
            return w->result();
        };
        load();
        using namespace ControlTags;
        const struct {
            QLatin1String tag;
            QRectF bounds;
        } arrangement[] = {
            {PartyTitle, QRectF(40, 38, 260, 30)},   {MainPhoto, QRectF(95, 74, 150, 110)},
            {PartyTo, QRectF(40, 192, 260, 20)},     {PartyMessage, QRectF(50, 216, 240, 62)},
            {PartyDate, QRectF(40, 282, 260, 20)},   {PartyVenue, QRectF(40, 306, 260, 36)},
            {PartyFrom, QRectF(40, 346, 260, 36)},
        };
        for (const auto &place : arrangement) {
            const SKTGraphicPtr graphic = window->_graphicView->Selcect_Ctrl_With_ID(QString(place.tag));
            ASSERT_TRUE(graphic) << place.tag.data();
            graphic->setBounds(place.bounds);
            if (graphic->kind() == SKTGraphic::Kind::Text && place.tag != PartyTitle)
                graphic->text_alignmnet = 2;
        }
    }
};

TEST_F(ShippedTemplatesTest, EveryShippedTemplateOpensWithItsFrame)
{
    if (!qEnvironmentVariableIsEmpty("CARD_MAKE_TEMPLATES")) {
        const auto ship = [&](const QString &name) {
            ASSERT_TRUE(window->Write_Shipped_Template(name, sourceResourcesPath())) << services->messages.join(' ').toStdString();
        };
        for (const ShippedCard &card : kCards) {
            TearDown();
            SetUp();
            makeCard(card);
            ship(QString::fromUtf8(card.name));
        }
        for (const BlankCard &blank : kBlankCards) {
            TearDown();
            SetUp();
            load();
            const QSizeF mm = SKTWindowController::Get_My_card_Size(QString::fromLatin1(blank.category),
                                                                    QString::fromLatin1(blank.orientation), blank.preset);
            window->card_setting_tab->width_Stepper->setValue(mm.width());
            window->card_setting_tab->height_Stepper->setValue(mm.height());
            window->card_setting_tab->Apply_Size_btn->click();
            ship(QString::fromLatin1(blank.name));
        }
        TearDown();
        SetUp();
    }

    // Opened on a machine that never saw the one that made them.
    QTemporaryDir home;
    const QByteArray ownHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", ownHome); });
    load();
    Template_Wizard *browser = window->templateWizard();
    browser->Prepare_Template_Window();
    const int count = browser->numberOfItemsInImageBrowser();
    ASSERT_EQ(count, static_cast<int>(std::size(kCards) + std::size(kBlankCards)));
    for (int i = 0; i < count; ++i) {
        const MyImageObject item = browser->imageBrowser_itemAtIndex(i);
        SCOPED_TRACE(item.image_Name.toStdString());
        const bool blank = item.image_Name.startsWith(QLatin1String("Blank "));
        // Front above back of a 120 x 150 mm card, in whole pixels.
        EXPECT_TRUE(blank || QImage(item.path).size() == QSize(340, 850));
        Invitation_Wizard *wizard = window->invitationWizard();
        wizard->Prepare_Wizard();
        QTimer::singleShot(0, browser, [browser, i] {
            browser->imageBrowser->setSelectionIndexes({i});
            browser->OK_Click();
        });
        services->messages.clear();
        wizard->Using_Template_Click();
        ASSERT_EQ(wizard->result(), 1);
        EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(' ').toStdString();
        const QString drawn = resourcePath(QStringLiteral("drawn.png"));
        ASSERT_TRUE(window->Write_Template_Picture(drawn));
        EXPECT_TRUE(nearPicture(QImage(item.path), QImage(drawn), 8)) << "front above back, as its picture shows it";
        EXPECT_TRUE(App().Project_File_Name.isEmpty());
        ASSERT_EQ(document->graphics().count(), blank ? 0 : 8);
        if (blank)
            continue;
        const SKTGraphicPtr frame = document->graphics().at(0);
        EXPECT_EQ(frame->control_ID, QString(ControlTags::FramePicture));
        EXPECT_TRUE(frame->FilePath().startsWith(resourcePath(QStringLiteral("Frames/")))) << frame->FilePath().toStdString();
        EXPECT_FALSE(static_cast<SKTImage &>(*frame)._contents.isNull());
        EXPECT_FALSE(window->Main_Photo_image().isNull());
        EXPECT_TRUE(QFileInfo(Win().Invite_Frame_Pic_IMG).isFile()) << Win().Invite_Frame_Pic_IMG.toStdString();
        EXPECT_NEAR(window->_graphicView->canvasSize().width(), 340.16, 0.01);
    }
}
