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
    // Made here: made first by a click posted from a worker, the device could not be the application's child.
    QPointingDevice::primaryPointingDevice();
    QWidget window, other;
    QPushButton button(QStringLiteral("Go"), &window), otherButton(QStringLiteral("Go"), &other);
    window.show();
    other.show();
    int clicks = 0, otherClicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    QObject::connect(&otherButton, &QPushButton::clicked, [&] { ++otherClicks; });
    const auto click = [](QPushButton *target) { // posted from whichever thread does the work
        const QPointF at = target->rect().center();
        for (const bool press : {true, false})
            QCoreApplication::postEvent(target, new QMouseEvent(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                                                                target->mapToGlobal(at), Qt::LeftButton,
                                                                press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
    };
    const auto work = [&] {
        click(&button);
        click(&otherButton);
        return true;
    };
    const std::function<void()> waits[] = {[&] { InputShield::run<bool>(&window, work); },       // on a worker
                                           [&] { InputShield::run<bool>(&window, work, true); }, // at once
                                           [&] { InputShield::waitFor(&window)([&] { work(); }); }}; // a model's wait
    for (const auto &wait : waits) {
        SCOPED_TRACE(&wait - waits);
        clicks = otherClicks = 0;
        wait();
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(otherClicks, 1);
    }
    click(&button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "once the work is over, the window answers";
}
