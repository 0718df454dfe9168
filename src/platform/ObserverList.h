#pragma once

#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

namespace platform {

// Callbacks told synchronously, in the order they were added. Each may carry a tag (a key name) so
// that one list serves several keys. Callbacks may add or remove callbacks while being told: a
// removed one hears nothing more, one added during a round waits for the next.
template <typename... Args>
class ObserverList {
public:
    using Callback = std::function<void(Args...)>;
    using Token = quint64;

    Token add(Callback callback, const QString &tag = QString())
    {
        const Token token = m_nextToken++;
        m_entries.push_back({token, tag, std::move(callback)});
        return token;
    }

    void remove(Token token)
    {
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [token](const Entry &e) { return e.token == token; }),
                        m_entries.end());
    }

    bool isEmpty() const { return m_entries.empty(); }
    bool hasTag(const QString &tag) const
    {
        return std::any_of(m_entries.begin(), m_entries.end(), [&tag](const Entry &e) { return e.tag == tag; });
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

    template <typename Pred>
    void notifyWhere(Pred pred, Args... args)
    {
        if (m_entries.empty())
            return;
        std::vector<Token> tokens;
        for (const Entry &e : m_entries)
            if (pred(e))
                tokens.push_back(e.token);
        for (Token token : tokens) {
            auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                   [token](const Entry &e) { return e.token == token; });
            if (it == m_entries.end())
                continue;
            Callback callback = it->callback; // the entry may go away during the call
            callback(args...);
        }
    }

    std::vector<Entry> m_entries;
    Token m_nextToken = 1;
};

} // namespace platform
