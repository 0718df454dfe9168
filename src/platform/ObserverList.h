#pragma once

#include "platform/Subscription.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// Callbacks told synchronously, in the order they were added. Each may carry a tag (a key name) so
// that one list serves several keys. Callbacks may add or remove callbacks while being told: a
// removed one hears nothing more, one added during a round waits for the next.
//
// subscribe() hands the registration to an owner that removes it; the owner may safely outlive the
// list. Observers belong to one object: a copy of a list starts with none.
template <typename... Args>
class ObserverList {
public:
    using Callback = std::function<void(Args...)>;
    using Token = quint64;

    ObserverList() = default;
    ObserverList(const ObserverList &) : ObserverList() {}
    ObserverList &operator=(const ObserverList &) { return *this; }

    Subscription subscribe(Callback callback, const QString &tag = QString())
    {
        const Token token = add(std::move(callback), tag);
        return Subscription([state = std::weak_ptr<State>(m_state), token] {
            if (const std::shared_ptr<State> alive = state.lock())
                alive->remove(token);
        });
    }

    // One callback for each of several tags, owned together.
    Subscription subscribe(const Callback &callback, const QStringList &tags)
    {
        std::vector<Token> tokens;
        for (const QString &tag : tags)
            tokens.push_back(add(callback, tag));
        return Subscription([state = std::weak_ptr<State>(m_state), tokens] {
            if (const std::shared_ptr<State> alive = state.lock())
                for (Token token : tokens)
                    alive->remove(token);
        });
    }

    // The same by hand: the caller removes the token.
    Token add(Callback callback, const QString &tag = QString())
    {
        const Token token = m_state->nextToken++;
        m_state->entries.push_back({token, tag, std::move(callback)});
        return token;
    }
    void remove(Token token) { m_state->remove(token); }

    bool isEmpty() const { return m_state->entries.empty(); }
    bool hasTag(const QString &tag) const
    {
        return std::any_of(m_state->entries.begin(), m_state->entries.end(),
                           [&tag](const Entry &e) { return e.tag == tag; });
    }

    void notify(Args... args) { notifyWhere([](const Entry &) { return true; }, args...); }
    void notifyTagged(const QString &tag, Args... args)
    {
        notifyWhere([&tag](const Entry &e) { return e.tag == tag; }, args...);
    }

private:
    struct Entry {
        Token token;
        QString tag;
        Callback callback;
    };
    struct State {
        std::vector<Entry> entries;
        Token nextToken = 1;

        void remove(Token token)
        {
            std::erase_if(entries, [token](const Entry &e) { return e.token == token; });
        }
    };

    template <typename Pred>
    void notifyWhere(Pred pred, Args... args)
    {
        if (m_state->entries.empty())
            return;
        // Held for the round: a callback may destroy the object that owns this list.
        const std::shared_ptr<State> state = m_state;
        std::vector<Token> tokens;
        for (const Entry &e : state->entries)
            if (pred(e))
                tokens.push_back(e.token);
        for (Token token : tokens) {
            auto it = std::find_if(state->entries.begin(), state->entries.end(),
                                   [token](const Entry &e) { return e.token == token; });
            if (it == state->entries.end())
                continue;
            Callback callback = it->callback; // the entry may go away during the call
            callback(args...);
        }
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace platform
