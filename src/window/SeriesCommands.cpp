// The design window's series commands: the batch series manager, the import wizard and the
// generator.

#include "window/SKTWindowController.h"

#include "core/MessageBoxes.h"
#include "datasource/ui/BatchWizard.h"
#include "datasource/ui/Generate_List.h"
#include "datasource/ui/Import_Wizard.h"
#include "output/OutputState.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

void SKTWindowController::buildSeriesCommands()
{
    QMenu *seriesMenu = Main_wnd->menuBar()->addMenu(tr("&Series"));
    QAction *manager = seriesMenu->addAction(tr("&Batch Processing Series..."));
    manager->setObjectName(QStringLiteral("Batch_Series_action"));
    connect(manager, &QAction::triggered, this, &SKTWindowController::Batch_Series_Button);
    QAction *import = seriesMenu->addAction(tr("&Import Series..."));
    import->setObjectName(QStringLiteral("Import_Wizard_action"));
    connect(import, &QAction::triggered, this, &SKTWindowController::Import_Wizard_Button);
    QAction *create = seriesMenu->addAction(tr("&Create Series..."));
    create->setObjectName(QStringLiteral("Create_Series_action"));
    connect(create, &QAction::triggered, this, &SKTWindowController::Create_Series_Button);
}

void SKTWindowController::Batch_Series_Button()
{
    Log_Exceptions([this] {
        BatchWizard *manager = BatchWizard::defaultInstance();
        // The manager lives for the run; the design window it asks may not.
        const QPointer<SKTWindowController> window(this);
        manager->editor.inUse = [window](const QString &name) {
            return window && window->Check_Batch_File_In_Use_Validation(name);
        };
        manager->exportDone = [window](const QString &path) {
            if (!window)
                return;
            OutputState &output = Output();
            output.Export_File_Message = QStringLiteral("Record has been exported successfully.");
            output.Export_File_Path = path;
            window->Open_Export_File_Box();
        };
        manager->Open_Wnd();
    });
}

void SKTWindowController::Import_Wizard_Button()
{
    Log_Exceptions([] {
        Import_Wizard *wizard = Import_Wizard::defaultInstance();
        wizard->file_name_required = 1;
        wizard->file_name_Insert = 0;
        wizard->Open_Wnd();
    });
}

void SKTWindowController::Create_Series_Button()
{
    Log_Exceptions([] {
        Generate_List *generator = Generate_List::defaultInstance();
        generator->file_name_required = 1;
        generator->file_name_Insert = 0;
        generator->Open_Wnd();
    });
}
