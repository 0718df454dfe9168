#include "properties/ui/PanelTab.h"

#include "platform/ui/DialogLook.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QVBoxLayout>

PanelTab::PanelTab(const char *name, const QString &title, QWidget *parent) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(title);
    DialogLook::applyBackground(this);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    m_sections = new QVBoxLayout(content);
    m_sections->setContentsMargins(8, 10, 8, 10);
    m_sections->setSpacing(10);
    scroll->setWidget(content);
    outer->addWidget(scroll);
}

QFormLayout *PanelTab::addSection(const QString &title, QGroupBox **box)
{
    auto *section = new QGroupBox(title);
    QFormLayout *rows = Form::rows(section);
    rows->setContentsMargins(8, 8, 8, 8);
    m_sections->addWidget(section);
    if (box)
        *box = section;
    return rows;
}

void PanelTab::addWidget(QWidget *widget)
{
    m_sections->addWidget(widget);
}

void PanelTab::finish()
{
    m_sections->addStretch(1);
}

QStringList PanelTab::outlineStyles()
{
    return {tr("Solid"), tr("Dash"), tr("Dot"), tr("Dash Dot"), tr("Dash Dot Dot")};
}
