#pragma once

#include "platform/ObserverList.h"

#include <QString>
#include <QVariant>

namespace platform {

// Observers of named properties. A change made through an observed setter is announced to the
// observers of its key, synchronously and in the order of the changes; direct field writes stay silent.
class KeyValueObservable {
public:
    using Observers = ObserverList<const QString &, const QVariant &, const QVariant &>;
    using Observer = Observers::Callback; // (key, old value, new value)
    using Token = Observers::Token;

    KeyValueObservable() = default;
    // Observers belong to one object: a copy starts with none.
    KeyValueObservable(const KeyValueObservable &) : KeyValueObservable() {}
    KeyValueObservable &operator=(const KeyValueObservable &) { return *this; }
    virtual ~KeyValueObservable() = default;

    // The observer stays until its subscription goes.
    Subscription subscribe(const QString &key, Observer observer)
    {
        return m_observers.subscribe(std::move(observer), key);
    }
    Subscription subscribe(const QStringList &keys, const Observer &observer)
    {
        return m_observers.subscribe(observer, keys);
    }
    Token addObserver(const QString &key, Observer observer) { return m_observers.add(std::move(observer), key); }
    // Safe to call from inside an announcement; a removed observer hears nothing more.
    void removeObserver(Token token) { m_observers.remove(token); }
    bool hasObservers(const QString &key) const { return m_observers.hasTag(key); }

protected:
    void didChangeValueForKey(const QString &key, const QVariant &oldValue, const QVariant &newValue)
    {
        m_observers.notifyTagged(key, key, oldValue, newValue);
    }

private:
    Observers m_observers;
};

} // namespace platform
