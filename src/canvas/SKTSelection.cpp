#include "canvas/SKTSelection.h"

SKTSelection::SKTSelection(SKTGraphicList &list) : m_list(list)
{
    m_listSubscription = m_list.subscribe([this](const SKTGraphicList::Change &change) { listChanged(change); });
}

SKTSelection::~SKTSelection() = default;

platform::IndexSet SKTSelection::indexes() const
{
    platform::IndexSet result;
    if (m_selected.isEmpty())
        return result;
    for (int i = 0; i < m_list.count(); ++i)
        if (m_selected.contains(m_list.at(i).get()))
            result.add(i);
    return result;
}

GraphicList SKTSelection::graphics() const
{
    GraphicList result;
    if (m_selected.isEmpty())
        return result;
    for (const SKTGraphicPtr &graphic : m_list.items())
        if (m_selected.contains(graphic.get()))
            result << graphic;
    return result;
}

void SKTSelection::setIndexes(const platform::IndexSet &indexes)
{
    QSet<const SKTGraphic *> selected;
    for (int index : indexes)
        if (index >= 0 && index < m_list.count())
            selected.insert(m_list.at(index).get());
    replace(selected);
}

void SKTSelection::replace(const QSet<const SKTGraphic *> &selected)
{
    if (selected == m_selected)
        return;
    GraphicList left;
    GraphicList entered;
    for (const SKTGraphicPtr &graphic : m_list.items()) {
        const bool was = m_selected.contains(graphic.get());
        const bool is = selected.contains(graphic.get());
        if (was && !is)
            left << graphic;
        else if (is && !was)
            entered << graphic;
    }
    m_selected = selected;
    m_observers.notify(left, entered);
}

void SKTSelection::listChanged(const SKTGraphicList::Change &change)
{
    if (change.type != SKTGraphicList::Change::Removed || m_selected.isEmpty())
        return;
    GraphicList left;
    for (const SKTGraphicPtr &graphic : change.graphics) {
        // The same object may stand twice in a list; it stays selected while one copy remains.
        if (m_selected.contains(graphic.get()) && !m_list.contains(graphic.get())) {
            m_selected.remove(graphic.get());
            left << graphic;
        }
    }
    if (!left.isEmpty())
        m_observers.notify(left, GraphicList());
}
