#include "canvas/ui/InputShield.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPushButton>

#include <gtest/gtest.h>

// A click on a window while work for it runs is dropped, not delivered once the work has ended,
// whether the work runs on a worker or at once on the GUI thread; another window answers as ever.
TEST(InputShield, WhatTheUserDoesToTheWaitingWindowGoesNowhere)
{
    // A mouse event made first on a worker would make the pointing device there, outside the
    // application's thread, where it cannot be the application's child.
    QPointingDevice::primaryPointingDevice();
    QWidget window, other;
    QPushButton button(QStringLiteral("Go"), &window), otherButton(QStringLiteral("Go"), &other);
    window.show();
    other.show();
    int clicks = 0, otherClicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    QObject::connect(&otherButton, &QPushButton::clicked, [&] { ++otherClicks; });
    // Posted from whichever thread does the work, while it runs.
    const auto click = [](QPushButton *target) {
        const QPointF at = target->rect().center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(target, new QMouseEvent(type, at, target->mapToGlobal(at), Qt::LeftButton,
                                                                type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                                 : Qt::NoButton,
                                                                Qt::NoModifier));
    };
    const auto work = [&] {
        click(&button);
        click(&otherButton);
        return true;
    };
    const struct {
        const char *what;
        std::function<void()> wait;
    } cases[] = {
        {"on a worker", [&] { InputShield::run<bool>(&window, work); }},
        {"at once", [&] { InputShield::run<bool>(&window, work, true); }},
        {"a model's wait", [&] { InputShield::waitFor(&window)([&] { work(); }); }},
    };
    for (const auto &run : cases) {
        SCOPED_TRACE(run.what);
        clicks = otherClicks = 0;
        run.wait();
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(otherClicks, 1);
    }
    click(&button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "once the work is over, the window answers";
}
