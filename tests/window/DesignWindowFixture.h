#pragma once

#include "fixtures/ScriptedServices.h"
#include "fixtures/SmtpServer.h"
#include "fixtures/TestSupport.h"

#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/SKTText.h"
#include "output/Preferences.h"
#include "platform/Pasteboard.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/ShapeTab.h"
#include "window/SKTWindowController.h"
#include "window/WindowState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A design window whose start wizard is scripted: `onStartWizard` runs where the wizard would and
// its answer is the wizard's result.
class ScriptedDesignWindow : public SKTWindowController {
public:
    std::function<int()> onStartWizard = [] { return 1; };
    int startWizardRuns = 0;

protected:
    int runStartWizard() override
    {
        ++startWizardRuns;
        return onStartWizard();
    }
};

// Counts the times the widget it filters is shown (a wait sheet, say).
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
        return false;
    }
};

// One document and its design window over a private resources folder, with dialogs answered by
// script. The window is built by load(), so a test can prepare resources and the wizard first.
class DesignWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App().reset();
        platform::installPasteboard(&pasteboard);
        ASSERT_TRUE(resources.isValid());
        qputenv("CARD_RESOURCE_PATH", resources.path().toLocal8Bit());
        document = std::make_unique<SKTDocument>();
        window = std::make_unique<ScriptedDesignWindow>();
        window->setDocument(document.get());
    }

    void TearDown() override
    {
        window.reset();
        document.reset();
        qunsetenv("CARD_RESOURCE_PATH");
        platform::installPasteboard(nullptr);
        App().reset();
    }

    void load() { ASSERT_NE(window->window(), nullptr); }

    QString resourcePath(const QString &name = QString()) const { return resources.path() + QLatin1Char('/') + name; }

    void writeFile(const QString &relative, const QByteArray &data = "x")
    {
        const QString path = resourcePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    // A series "Guests" of these lines, and a text on the front bound to it.
    std::shared_ptr<SKTText> bindTextToGuests(const QByteArray &lines)
    {
        writeFile(QStringLiteral("DataSet/Guests.txt"), lines);
        auto text = std::make_shared<SKTText>();
        text->setBounds(QRectF(10, 10, 150, 30));
        text->Text_Value = QStringLiteral("Sample");
        text->binding.data_source_type = 1;
        text->binding.batch_list_name = QStringLiteral("Guests");
        document->insertGraphics({text}, {0});
        return text;
    }

    // The program's mail script in the resources, and the window's mail settings those of a sender
    // through `server`.
    void mailThrough(const SmtpServer &server)
    {
        ASSERT_TRUE(QFile::copy(sourceResourcesPath() + QStringLiteral("pyth_mail.py"), resourcePath(QStringLiteral("pyth_mail.py"))));
        Preferences settings;
        settings.setsend_email_SenderEmail(QStringLiteral("me@example.org"));
        settings.setsend_email_SMTP_server(QStringLiteral("127.0.0.1"));
        settings.setsend_email_PORT_num(QString::number(server.port()));
        ASSERT_TRUE(settings.flush());
        window->Get_Email_Details();
    }

    // The panel the canvas host shows.
    QWidget *shownPanel() const
    {
        QLayout *host = window->myTargetView->layout();
        return host->count() > 0 ? host->itemAt(0)->widget() : nullptr;
    }

    QStringList tabNames() const
    {
        QStringList names;
        for (int i = 0; i < window->sett_tab->count(); ++i)
            names << window->sett_tab->widget(i)->objectName();
        return names;
    }

    QTemporaryDir resources;
    ScopedScriptedServices services;
    platform::MemoryPasteboard pasteboard;
    std::unique_ptr<SKTDocument> document;
    std::unique_ptr<ScriptedDesignWindow> window;
};
