#include "window/Start_Card.h"

#include "core/MessageBoxes.h"
#include "platform/UiServices.h"
#include "platform/ui/DefaultDialog.h"
#include "platform/ui/DialogLook.h"
#include "window/WindowState.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

Start_Card::Start_Card(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Start_Card"));
    setWindowTitle(tr("Start a Card"));
    setModal(true);
    DialogLook::applyBackground(this);

    auto *heading = new QLabel(tr("How would you like to start your card?"), this);
    DialogLook::makeHeading(heading);

    QPushButton *templateButton = DialogLook::choiceButton(tr("Using a Template"), tr("Begin from a ready-made design."),
                                               QStringLiteral("Using_Template_btn"), this);
    QPushButton *wizardButton = DialogLook::choiceButton(tr("Using the Wizard"), tr("Pick a frame, texts and a photo step by step."),
                                             QStringLiteral("Using_Wizard_btn"), this);
    QPushButton *openButton = DialogLook::choiceButton(tr("Open a Saved Design"), tr("Continue a design you saved before."),
                                           QStringLiteral("Open_Log_btn"), this);

    auto *helpButton = new QPushButton(tr("Help"), this);
    helpButton->setObjectName(QStringLiteral("Help_btn"));
    helpButton->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(helpButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 18, 22, 14);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addSpacing(4);
    layout->addWidget(templateButton);
    layout->addWidget(wizardButton);
    layout->addWidget(openButton);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    setMinimumWidth(380);

    connect(templateButton, &QPushButton::clicked, this, [this] { Using_Template_Click(); });
    connect(wizardButton, &QPushButton::clicked, this, [this] { Using_Wizard_Click(); });
    connect(openButton, &QPushButton::clicked, this, [this] { Open_Log_Click(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelClick(); });
}

Start_Card *Start_Card::defaultInstance()
{
    return defaultDialogInstance<Start_Card>();
}

void Start_Card::Using_Template_Click()
{
    Select_card_option(0, sender());
}

void Start_Card::Using_Wizard_Click()
{
    Select_card_option(1, sender());
}

void Start_Card::Open_Log_Click()
{
    Select_card_option(2, sender());
}

void Start_Card::Select_card_option(int option, QObject *)
{
    static const char *const codes[] = {"T", "W", "L"};
    if (option >= 0 && option < 3)
        Win().Start_Card_Option = QString::fromLatin1(codes[option]);
    OK_Click();
}

void Start_Card::OK_Click()
{
    done(1);
}

void Start_Card::CancelClick()
{
    Win().Start_Card_Option = QStringLiteral("");
    done(0);
    platform::uiServices().terminate(0);
}

void Start_Card::reject()
{
    CancelClick();
}

void Start_Card::HelpClick()
{
    Open_Help_File();
}
