// Mail from the design window: the mail window over the design's data sources, run on the window's
// worker with its progress sheet.

#include "window/SKTWindowController.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/MailScript.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Mail.h"
#include "platform/RegularFile.h"
#include "window/ResourceFolders.h"

#include <QMainWindow>

#include <memory>

namespace {

// The script as shipped, which the user's copy of the resources cannot change; the copy where
// nothing was shipped beside the program.
MailScript mailScript()
{
    MailScript shipped = MailScript::inFolder(ResourceFolders::shippedResourcesFolder());
    if (platform::isRegularFile(shipped.script))
        return shipped;
    return MailScript::inFolder(App().Resource_Path);
}

} // namespace

void SKTWindowController::Mail_Button()
{
    Log_Exceptions([&] {
        if (!Main_wnd || (m_recordRun && m_recordRun->isRunning()))
            return;
        auto *window = Main_wnd->findChild<Send_Mail *>(QString(), Qt::FindDirectChildrenOnly);
        if (!window) {
            MailHost host;
            host.sources = [this] {
                Check_Series_Or_Excel_Use_or_not();
                return std::make_shared<RecordBinding>(data_table_content);
            };
            host.snapshot = [this] { return exportSnapshot(); };
            host.reloadSettings = [this] { Get_Email_Details(); };
            host.runEnded = [this] { Select_first_row_value_for_design(false); };
            host.run = m_recordRun;
            host.task = mailScript();
            window = new Send_Mail(std::move(host), Main_wnd);
        }
        window->Open_Wnd();
    });
}
