#include "DesignWindowFixture.h"

#include "platform/ui/ImageBrowserView.h"
#include "window/Export_Template.h"
#include "window/Insert_Template.h"
#include "window/Invitation_Wizard.h"
#include "window/Template_Wizard.h"

#include <QDateEdit>
#include <QDirIterator>
#include "fixtures/EventLoop.h"
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

// A landscape at dusk, to stand for the user's photo.
QImage samplePhoto()
{
    QImage photo(480, 360, QImage::Format_RGB32);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor(250, 190, 120));
    sky.setColorAt(1, QColor(120, 90, 160));
    p.fillRect(photo.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 150));
    p.drawEllipse(QPointF(330, 170), 40, 40);
    p.setBrush(QColor(60, 70, 110));
    p.drawEllipse(QRectF(-120, 220, 480, 300));
    p.setBrush(QColor(40, 50, 80));
    p.drawEllipse(QRectF(180, 250, 460, 260));
    return photo;
}

void copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QDir(from).relativeFilePath(path);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(path, target);
    }
}

} // namespace

class WizardLookTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        // The program's own resources, read before the window is made as at start-up.
        copyFolder(sourceResourcesPath(), resourcePath());
        window.reset();
        window = std::make_unique<ScriptedDesignWindow>();
        window->setDocument(document.get());
        load();
    }

    void settle(ImageBrowserView *browser)
    {
        waitFor([&] { return !browser || browser->pendingThumbnails() == 0; });
        QCoreApplication::processEvents();
    }

    void shoot(QWidget *widget, const QString &name, ImageBrowserView *browser = nullptr)
    {
        widget->show();
        settle(browser);
        const QImage shot = widget->grab().toImage();
        EXPECT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(testOutputPath(name))) << name.toStdString();
    }
};

TEST_F(WizardLookTest, EveryPageAndTheTemplateWindowsRenderForALook)
{
    ASSERT_TRUE(samplePhoto().save(resourcePath(QStringLiteral("dusk.png"))));
    Invitation_Wizard *wizard = window->invitationWizard();
    wizard->Prepare_Wizard();
    EXPECT_EQ(wizard->numberOfItemsInImageBrowser(), 5) << "the frames shipped with the program";
    EXPECT_GE(wizard->Title_Array.count(), 10);
    shoot(wizard, QStringLiteral("wizard-start.png"));

    wizard->Using_Wizard_Click();
    wizard->from_value->setText(QStringLiteral("Ben and Lucy"));
    wizard->to_value->setText(QStringLiteral("Anna"));
    wizard->venue_value->setText(QStringLiteral("The Old Mill, Riverside Lane"));
    wizard->Date_picker->setDate(QDate(2025, 6, 14));
    wizard->Time_picker->setTime(QTime(19, 30));
    shoot(wizard, QStringLiteral("wizard-design.png"), wizard->imageBrowser);

    wizard->imageBrowser->setSelectionIndexes({3});
    ASSERT_EQ(wizard->next_counter, 3);
    ASSERT_TRUE(wizard->Load_Photo(resourcePath(QStringLiteral("dusk.png"))));
    wizard->Sat_Slider->setFloatValue(1.3);
    wizard->Brt_Slider->setFloatValue(0.05);
    shoot(wizard, QStringLiteral("wizard-photo.png"));
    wizard->OK_Click();
    ASSERT_EQ(wizard->result(), 1);
    wizard->hide();

    // The card it makes, placed on the front side.
    window->Fill_Party_Invidation_Details();
    window->Main_wnd->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->Main_wnd->grab().toImage().save(testOutputPath(QStringLiteral("wizard-card.png"))));
    EXPECT_EQ(document->graphics().count(), 8);

    wizard->Prepare_Edit_Photo();
    shoot(wizard, QStringLiteral("wizard-edit-photo.png"));
    wizard->Close_Form_Click();

    ASSERT_TRUE(window->Write_Template(QStringLiteral("Starry Party")));
    Template_Wizard *browser = window->templateWizard();
    browser->Prepare_Template_Window();
    browser->cat_cmbo_bx->setCurrentIndex(1);
    browser->comboBoxSelectionDidChange(browser->cat_cmbo_bx);
    shoot(browser, QStringLiteral("template-browser.png"), browser->imageBrowser);
    browser->CancelClick();

    Export_Template *name = window->exportTemplateDialog();
    name->template_name->setText(QStringLiteral("Summer Party"));
    shoot(name, QStringLiteral("template-name.png"));
    name->CancelPressed();

    Insert_Template *picker = window->titleMessagePicker();
    picker->title_or_msg = QStringLiteral("M");
    picker->Prepare_Dialog();
    shoot(picker, QStringLiteral("title-message-picker.png"));
    picker->CancelPressed();
}
