#include "platform/KeyValueObserving.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class Thing : public platform::KeyValueObservable {
public:
    void set(const QString &key, int oldValue, int newValue) { didChangeValueForKey(key, oldValue, newValue); }
};

} // namespace

TEST(KeyValueObserving, ObserversHearTheirKeyInOrderWithOldAndNewValues)
{
    Thing thing;
    QStringList heard;
    thing.addObserver(QStringLiteral("a"), [&](const QString &key, const QVariant &o, const QVariant &n) {
        heard << QStringLiteral("1:%1 %2->%3").arg(key).arg(o.toInt()).arg(n.toInt());
    });
    thing.addObserver(QStringLiteral("a"), [&](const QString &key, const QVariant &, const QVariant &) {
        heard << QStringLiteral("2:%1").arg(key);
    });
    thing.addObserver(QStringLiteral("b"), [&](const QString &, const QVariant &, const QVariant &) {
        heard << QStringLiteral("b");
    });
    thing.set(QStringLiteral("a"), 1, 2);
    EXPECT_EQ(heard, (QStringList{QStringLiteral("1:a 1->2"), QStringLiteral("2:a")}));
}

TEST(KeyValueObserving, AnObserverRemovedDuringAnAnnouncementHearsNothingMore)
{
    Thing thing;
    int second = 0;
    platform::KeyValueObservable::Token secondToken = 0;
    thing.addObserver(QStringLiteral("k"), [&](const QString &, const QVariant &, const QVariant &) {
        thing.removeObserver(secondToken);
    });
    secondToken = thing.addObserver(QStringLiteral("k"), [&](const QString &, const QVariant &, const QVariant &) {
        ++second;
    });
    thing.set(QStringLiteral("k"), 0, 1);
    EXPECT_EQ(second, 0);
    EXPECT_FALSE(thing.hasObservers(QStringLiteral("x")));
}

TEST(KeyValueObserving, ACopyStartsWithoutObservers)
{
    Thing thing;
    thing.addObserver(QStringLiteral("k"), [](const QString &, const QVariant &, const QVariant &) {});
    Thing copy(thing);
    EXPECT_TRUE(thing.hasObservers(QStringLiteral("k")));
    EXPECT_FALSE(copy.hasObservers(QStringLiteral("k")));
}

TEST(KeyValueObserving, ASubscriptionRemovesItsObserversWhenItGoesEvenAfterTheObservedObject)
{
    auto thing = std::make_unique<Thing>();
    QStringList heard;
    const auto hear = [&](const QString &key, const QVariant &, const QVariant &) { heard << key; };
    platform::Subscription both = thing->subscribe(QStringList{QStringLiteral("a"), QStringLiteral("b")}, hear);
    {
        const platform::Subscription scoped = thing->subscribe(QStringLiteral("a"), hear);
        thing->set(QStringLiteral("a"), 0, 1);
    }
    thing->set(QStringLiteral("b"), 0, 1);
    EXPECT_EQ(heard, (QStringList{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b")}));

    platform::Subscription moved = std::move(both);
    EXPECT_FALSE(both.isActive());
    EXPECT_TRUE(thing->hasObservers(QStringLiteral("a")));
    moved.cancel();
    EXPECT_FALSE(thing->hasObservers(QStringLiteral("a")) || thing->hasObservers(QStringLiteral("b")));

    platform::Subscription outliving = thing->subscribe(QStringLiteral("a"), hear);
    thing.reset();
    outliving.cancel(); // the observed object is gone: nothing to remove, nothing touched
    EXPECT_FALSE(outliving.isActive());
}
