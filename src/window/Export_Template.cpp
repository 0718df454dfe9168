#include "window/Export_Template.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "platform/ui/DialogLook.h"
#include "window/TemplateFiles.h"
#include "window/WindowState.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kEnterName = QStringLiteral("Please enter template name.");
const QString kReplaceQuestion =
    QStringLiteral("Template with this name already exists, Do you want to replace the existing template?");
const QString kUnusableName = QStringLiteral(
    "\"%1\" cannot be a template name: a template is a file in your templates folder, so its name may "
    "not contain \"/\" or \"\\\" and may not be \".\" or \"..\".");
const QString kNameTaken = QStringLiteral("Template with this name already exists.");

} // namespace

Export_Template::Export_Template(QWidget *parent) : QDialog(parent), template_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("Export_Template"));
    setWindowTitle(tr("Template Name"));
    setModal(true);
    DialogLook::applyBackground(this);

    m_heading = new QLabel(this);
    DialogLook::makeHeading(m_heading, 1.05);
    template_name->setObjectName(QStringLiteral("template_name"));
    template_name->setMinimumWidth(280);
    template_name->setPlaceholderText(tr("e.g. Summer Party"));
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(tr("Name:"), template_name);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(m_heading);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OKPressed(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelPressed(); });
}

void Export_Template::showEvent(QShowEvent *event)
{
    const bool renaming = !template_passed.isEmpty();
    m_heading->setText(renaming ? tr("Give the template a new name.") : tr("Save the design as a template of your own."));
    setWindowTitle(renaming ? tr("Rename Template") : tr("Export as Template"));
    QDialog::showEvent(event);
}

int Export_Template::Open_Wnd()
{
    template_name->setFocus();
    template_name->selectAll();
    const int code = exec();
    hide();
    return code;
}

void Export_Template::OKPressed()
{
    const QString name = Remove_Reserve_Char_In_File_Name(Trim_Str(template_name->text()));
    // The name becomes a file name in the user's folder: nothing may lead out of it.
    if (const QString problem = TemplateFiles::nameProblem(name); !problem.isEmpty()) {
        Show_MessageBox(name.isEmpty() ? kEnterName
                        : TemplateFiles::isNameTooLong(name) ? QStringLiteral("\"%1…\" cannot be a template name: %2.").arg(name.left(40), problem)
                                       : kUnusableName.arg(name));
        return;
    }
    const QString passed = Trim_Str(template_passed);
    const bool taken = QFileInfo::exists(TemplateFiles::userFolder() + name + QLatin1Char('.') + App().design_file_EXT);
    if (passed.isEmpty()) {
        if (taken && !Show_YES_NO_MessageBox(kReplaceQuestion))
            return;
    } else if (name != passed && taken) {
        Show_MessageBox(kNameTaken);
        return;
    }
    Win().export_template_name = name;
    done(1);
}

void Export_Template::CancelPressed()
{
    template_name->clear();
    done(0);
}

void Export_Template::reject()
{
    CancelPressed();
}
