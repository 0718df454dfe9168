#include "platform/ui/SetObjEnabled.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

TEST(SetObjEnabled, GroupBoxPassesTheFlagToEveryControlInside)
{
    QGroupBox box;
    auto *layout = new QVBoxLayout(&box);
    auto *label = new QLabel(QStringLiteral("Name"));
    auto *button = new QPushButton(QStringLiteral("Go"));
    auto *inner = new QWidget;
    auto *innerEdit = new QLineEdit;
    (new QVBoxLayout(inner))->addWidget(innerEdit);
    layout->addWidget(label);
    layout->addWidget(button);
    layout->addWidget(inner);
    // A colour set for every state must not keep a disabled label looking enabled.
    QPalette black = label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(black);

    SetObjEnabled(&box, false);
    EXPECT_FALSE(label->isEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(innerEdit->isEnabled());
    EXPECT_NE(label->palette().color(label->foregroundRole()), QColor(Qt::black));

    SetObjEnabled(&box, true);
    EXPECT_TRUE(box.isEnabled());
    EXPECT_TRUE(label->isEnabled());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(innerEdit->isEnabled());
    EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::black));
}

TEST(SetObjEnabled, AControlInsideADisabledBoxCanBeEnabledOnItsOwn)
{
    QGroupBox box;
    auto *layout = new QVBoxLayout(&box);
    auto *innerBox = new QGroupBox;
    auto *innerLayout = new QVBoxLayout(innerBox);
    auto *spin = new QSpinBox;
    auto *other = new QPushButton;
    innerLayout->addWidget(spin);
    layout->addWidget(innerBox);
    layout->addWidget(other);

    SetObjEnabled(&box, false);
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_FALSE(other->isEnabled());
    EXPECT_TRUE(box.isEnabled() && innerBox->isEnabled());
    // The spin box's own field follows the spin box.
    SetObjEnabled(spin, true);
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_TRUE(spin->findChild<QLineEdit *>()->isEnabled());
    EXPECT_FALSE(other->isEnabled());
}

TEST(SetObjEnabled, ReachesActionsAndLeavesOtherObjectsAlone)
{
    QAction action;
    SetObjEnabled(&action, false);
    EXPECT_FALSE(action.isEnabled());

    QObject plain;
    SetObjEnabled(&plain, false);
    EXPECT_TRUE(plain.dynamicPropertyNames().isEmpty());
    SetObjEnabled(nullptr, false);
}

} // namespace
