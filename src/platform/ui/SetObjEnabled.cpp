#include "platform/ui/SetObjEnabled.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QWidget>

namespace {

// A disabled label must read as disabled even when its text colour was set for every state.
void greyWhenDisabled(QWidget *widget)
{
    const auto *edit = qobject_cast<QLineEdit *>(widget);
    if (!qobject_cast<QLabel *>(widget) && !(edit && edit->isReadOnly()))
        return;
    const QPalette::ColorRole role = widget->foregroundRole();
    QPalette palette = widget->palette();
    const QColor disabled = QApplication::palette(widget).color(QPalette::Disabled, role);
    if (palette.color(QPalette::Disabled, role) != disabled) {
        palette.setColor(QPalette::Disabled, role, disabled);
        widget->setPalette(palette);
    }
}

void enableOne(QObject *object, bool enable)
{
    if (object->metaObject()->indexOfMethod("setEnabled(bool)") >= 0)
        QMetaObject::invokeMethod(object, "setEnabled", Qt::DirectConnection, Q_ARG(bool, enable));
    if (auto *widget = qobject_cast<QWidget *>(object))
        greyWhenDisabled(widget);
}

// A control inside a box is one control: its own parts (a spin box's field) follow it.
void enableWithin(QWidget *box, bool enable)
{
    for (QObject *child : box->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget)
            continue;
        if (auto *inner = qobject_cast<QGroupBox *>(widget))
            enableWithin(inner, enable);
        else
            enableOne(widget, enable);
    }
}

} // namespace

void SetObjEnabled(QObject *object, bool enable)
{
    if (!object)
        return;
    if (auto *box = qobject_cast<QGroupBox *>(object))
        enableWithin(box, enable);
    else
        enableOne(object, enable);
}
