#pragma once

#include "document/SKTGraphic.h"
#include "platform/IndexSet.h"
#include "platform/ObserverList.h"


// One side's ordered list of graphics, index 0 on top. Observers hear every insertion and removal,
// after it happened, so a canvas and its selection can follow the list.
class SKTGraphicList {
public:
    struct Change {
        enum Type { Inserted, Removed } type;
        platform::IndexSet indexes;
        GraphicList graphics; // in index order
    };
    using Observers = platform::ObserverList<const Change &>;
    using Observer = Observers::Callback;
    using Token = Observers::Token;

    SKTGraphicList() = default;
    SKTGraphicList(const SKTGraphicList &) = delete;
    SKTGraphicList &operator=(const SKTGraphicList &) = delete;

    int count() const { return static_cast<int>(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const SKTGraphicPtr &at(int index) const { return m_items.at(index); }
    const GraphicList &items() const { return m_items; }
    int indexOf(const SKTGraphic *graphic) const;
    bool contains(const SKTGraphic *graphic) const { return indexOf(graphic) >= 0; }
    GraphicList objectsAtIndexes(const platform::IndexSet &indexes) const;

    // Inserts graphics[k] at the k-th index in ascending order. Answers false and changes nothing
    // when the counts differ or an index lies beyond the list.
    bool insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes);
    // Answers false and changes nothing when an index lies outside the list.
    bool removeGraphicsAtIndexes(const platform::IndexSet &indexes);

    platform::Subscription subscribe(Observer observer) { return m_observers.subscribe(std::move(observer)); }
    Token addObserver(Observer observer) { return m_observers.add(std::move(observer)); }
    void removeObserver(Token token) { m_observers.remove(token); }

private:
    GraphicList m_items;
    Observers m_observers;
};
