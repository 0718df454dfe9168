#include "platform/ui/DialogLook.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace DialogLook {

void applyBackground(QWidget *dialog)
{
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, kBackground);
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
}

void makeHeading(QLabel *label, double scale)
{
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
}

QPushButton *choiceButton(const QString &title, const QString &detail, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(title + QLatin1Char('\n') + detail, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumHeight(button->sizeHint().height() + 12);
    button->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 6px 14px; }"));
    return button;
}

} // namespace DialogLook
