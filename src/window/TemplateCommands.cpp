// Templates from the design window: exporting the design as a template of the user's, and starting
// from a template chosen in the template browser.

#include "window/SKTWindowController.h"

#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/Side_Code.h"
#include "core/ImageHelpers.h"
#include "core/PathHelpers.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "output/OutputState.h"
#include "output/ui/ExportCommand.h"
#include "platform/SafeFileWriter.h"
#include "window/Export_Template.h"
#include "window/TemplateFiles.h"
#include "window/Template_Wizard.h"
#include "window/WindowState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <exception>

namespace {

const QString kExported = QStringLiteral("Template exported successfully.");

} // namespace

bool SKTWindowController::Write_Template(const QString &name)
{
    // Whoever calls, the name becomes a file name in the user's folder: nothing may lead out of it.
    if (const QString problem = TemplateFiles::nameProblem(name); !problem.isEmpty()) {
        Show_MessageBox(tr("The template could not be exported.\n\n\"%1\" cannot be a template name: %2.")
                            .arg(name.left(80), problem));
        return false;
    }
    AppState &app = App();
    const QString folder = TemplateFiles::userFolder();
    if (const QString problem = platform::makeFolders(folder); !problem.isEmpty()) {
        Show_MessageBox(tr("The template could not be exported.\n\n%1").arg(problem));
        return false;
    }
    const QString base = folder + name;
    const QString designPath = base + QLatin1Char('.') + app.design_file_EXT;
    const QString picturePath = base + QStringLiteral(".png");

    const bool replacing = QFileInfo::exists(designPath);
    const QString kept = app.Project_File_Name;
    app.Project_File_Name = designPath;
    bool saved = false;
    try {
        saved = Save_project_file(false, false);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    app.Project_File_Name = kept;
    Set_Log_Name_In_Title();
    // Either write reports its own failure.
    if (!saved)
        return false;
    if (!Write_Template_Picture(picturePath)) {
        // A new template without its picture would only block its name.
        if (!replacing)
            platform::removeSafely(designPath);
        return false;
    }
    Show_MessageBox(kExported);
    return true;
}

bool SKTWindowController::Write_Template_Picture(const QString &path)
{
    // The design's one picture of both sides, front above back, at one pixel per point whatever
    // the export sheet chose last.
    Output().export_card_side = Side_Code_Name(Side_Code::Both);
    m_export->choice = ExportChoice{Side_Code_Name(Side_Code::Both), true, QStringLiteral("PNG"),
                                    double(PictureExport::resolutions().first())};
    return Export_Single_File(path, false);
}

bool SKTWindowController::Write_Shipped_Template(const QString &name, const QString &shipped)
{
    const auto refuse = [](const QString &reason) {
        Show_MessageBox(tr("The template could not be made.\n\n%1").arg(reason));
        return false;
    };
    if (const QString problem = TemplateFiles::nameProblem(name); !problem.isEmpty())
        return refuse(tr("\"%1\" cannot be a template name: %2.").arg(name.left(80), problem));
    DesignFileContents contents = designFileContents();
    QString reason;
    // A path of this machine in a shipped design would name nothing on any other.
    if (!DesignFile::nameResourcePictures(contents, App().Resource_Path, shipped, &reason))
        return refuse(reason);
    const QString folder = QDir(shipped).filePath(QStringLiteral("Templates"));
    const QString base = folder + QLatin1Char('/') + name;
    if (const QString problem = platform::makeFolders(folder); !problem.isEmpty())
        return refuse(problem);
    if (!DesignFile::write(base + QLatin1Char('.') + App().design_file_EXT, contents, &reason))
        return refuse(reason);
    return Write_Template_Picture(base + QStringLiteral(".png"));
}

void SKTWindowController::Export_As_Template_Clicked()
{
    Log_Exceptions([&] {
        if (!m_exportTemplate)
            return;
        m_exportTemplate->template_name->clear();
        m_exportTemplate->template_passed.clear();
        if (m_exportTemplate->Open_Wnd() != 1)
            return;
        Write_Template(Win().export_template_name);
    });
}

int SKTWindowController::Open_Template_Design()
{
    try {
        Forget_New_Card_Profile();
        if (!m_templateWizard || m_templateWizard->Open_Template_Window() != 1)
            return 0;
        if (Read_and_load_design_Log(Win().Selected_Template_Path, QStringLiteral("T")) != 1)
            return 0;
        relinkFramePictures();
        // Reading the template emptied the profiles; one entered in the browser goes on the card now.
        Place_New_Card_Profile();
        Refresh_Canvas();
        return 1;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return 0;
    }
}

void SKTWindowController::relinkFramePictures()
{
    const QString frames = Frames_Folder();
    if (frames.isEmpty())
        return;
    for (SKTGraphicList *side : {Get_Front_Controls_Array(), Get_Back_Controls_Array()}) {
        if (!side)
            continue;
        for (const SKTGraphicPtr &graphic : side->items()) {
            const QString path = graphic->FilePath();
            if (graphic->kind() != SKTGraphic::Kind::Image || path.isEmpty() || QFileInfo(path).isFile())
                continue;
            const QString here = QDir(frames).filePath(QFileInfo(path).fileName());
            if (QFileInfo(here).isFile())
                static_cast<SKTImage &>(*graphic).setFilePath(here);
        }
    }
}
