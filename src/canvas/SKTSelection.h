#pragma once

#include "document/SKTGraphicList.h"
#include "platform/IndexSet.h"
#include "platform/ObserverList.h"

#include <QSet>

// The selection of one canvas. It holds graphics, not positions, so insertions and removals
// elsewhere in the list never shift it onto other objects; a graphic that leaves the list leaves
// the selection. The list must outlive the selection.
class SKTSelection {
public:
    // Told after every change with the graphics that left and those that entered the selection.
    using Observers = platform::ObserverList<const GraphicList &, const GraphicList &>;
    using Token = Observers::Token;

    explicit SKTSelection(SKTGraphicList &list);
    ~SKTSelection();
    SKTSelection(const SKTSelection &) = delete;
    SKTSelection &operator=(const SKTSelection &) = delete;

    platform::IndexSet indexes() const;
    // In list order, front-most first.
    GraphicList graphics() const;
    bool contains(const SKTGraphic *graphic) const { return m_selected.contains(graphic); }
    int count() const { return static_cast<int>(m_selected.size()); }
    bool isEmpty() const { return m_selected.isEmpty(); }

    // Positions outside the list are ignored.
    void setIndexes(const platform::IndexSet &indexes);
    void clear() { setIndexes({}); }

    platform::Subscription subscribe(Observers::Callback callback)
    {
        return m_observers.subscribe(std::move(callback));
    }
    Token addObserver(Observers::Callback callback) { return m_observers.add(std::move(callback)); }
    void removeObserver(Token token) { m_observers.remove(token); }

private:
    void replace(const QSet<const SKTGraphic *> &selected);
    void listChanged(const SKTGraphicList::Change &change);

    SKTGraphicList &m_list;
    platform::Subscription m_listSubscription;
    // Raw pointers are safe: an entry leaves as soon as its graphic leaves the list.
    QSet<const SKTGraphic *> m_selected;
    Observers m_observers;
};
