#include "window/Insert_Template.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "platform/ui/DialogLook.h"
#include "window/WindowState.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Insert_Template *g_instance = nullptr;

} // namespace

Insert_Template::Insert_Template(QWidget *parent)
    : QDialog(parent), msg_value(new QPlainTextEdit(this)), m_heading(new QLabel(this))
{
    g_instance = this;
    setObjectName(QStringLiteral("Insert_Template"));
    setModal(true);
    DialogLook::applyBackground(this);

    m_heading->setObjectName(QStringLiteral("heading"));
    DialogLook::makeHeading(m_heading);
    msg_value->setObjectName(QStringLiteral("msg_value"));
    msg_value->setTabChangesFocus(true);
    msg_value->setMinimumSize(380, msg_value->fontMetrics().lineSpacing() * 4 + 14);

    auto *back = new QPushButton(tr("Back"), this);
    back->setObjectName(QStringLiteral("Msg_Back_btn"));
    back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back->setAutoDefault(false);
    auto *next = new QPushButton(tr("Next"), this);
    next->setObjectName(QStringLiteral("Msg_Next_btn"));
    next->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    next->setLayoutDirection(Qt::RightToLeft);
    next->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));

    auto *stepping = new QHBoxLayout;
    stepping->addWidget(back);
    stepping->addStretch(1);
    stepping->addWidget(next);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(m_heading);
    layout->addWidget(msg_value, 1);
    layout->addLayout(stepping);
    layout->addSpacing(4);
    layout->addWidget(buttons);

    connect(back, &QPushButton::clicked, this, [this] { Msg_Back_Click(); });
    connect(next, &QPushButton::clicked, this, [this] { Msg_Next_Click(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OKPressed(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelPressed(); });
}

Insert_Template::~Insert_Template()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Insert_Template *Insert_Template::defaultInstance()
{
    return g_instance;
}

int Insert_Template::Open_Template_Dialog()
{
    Prepare_Dialog();
    const int code = exec();
    hide();
    return code;
}

void Insert_Template::Prepare_Dialog()
{
    Win().Template_Msg_Val = QString(QLatin1String(""));
    Title_Array.setIndex(0);
    Message_Array.setIndex(0);
    Load_Msg_And_Title();
    setWindowTitle(offersTitles() ? tr("Choose a Title") : tr("Choose a Message"));
    m_heading->setText(offersTitles() ? tr("Pick a title, or write your own:") : tr("Pick a message, or write your own:"));
    showEntry(offersTitles() ? Get_Title() : Get_Message());
    msg_value->setFocus();
}

void Insert_Template::Load_Msg_And_Title()
{
    const QString folder = App().Resource_Path;
    Title_Array.setEntries(Load_Text_Entries(folder + QStringLiteral("Title.txt")));
    Message_Array.setEntries(Load_Text_Entries(folder + QStringLiteral("Message.txt")));
}

void Insert_Template::Msg_Next_Click()
{
    showEntry(offersTitles() ? Title_Array.next() : Message_Array.next());
}

void Insert_Template::Msg_Back_Click()
{
    showEntry(offersTitles() ? Title_Array.back() : Message_Array.back());
}

void Insert_Template::OKPressed()
{
    Win().Template_Msg_Val = Trim_Str(msg_value->toPlainText());
    if (!Win().Template_Msg_Val.isEmpty()) {
        done(1);
        return;
    }
    Show_MessageBox(QStringLiteral("Please select message."));
    msg_value->setFocus();
}

void Insert_Template::CancelPressed()
{
    Win().Template_Msg_Val = QString(QLatin1String(""));
    done(0);
}

void Insert_Template::reject()
{
    CancelPressed();
}

void Insert_Template::showEntry(const QString &text)
{
    msg_value->setPlainText(text);
}
