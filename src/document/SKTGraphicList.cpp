#include "document/SKTGraphicList.h"

#include "core/MessageBoxes.h"


int SKTGraphicList::indexOf(const SKTGraphic *graphic) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items.at(i).get() == graphic)
            return i;
    return -1;
}

GraphicList SKTGraphicList::objectsAtIndexes(const platform::IndexSet &indexes) const
{
    GraphicList result;
    for (int index : indexes)
        if (index >= 0 && index < m_items.size())
            result << m_items.at(index);
    return result;
}

bool SKTGraphicList::insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes)
{
    if (graphics.size() != indexes.count()) {
        Show_NSLog_Message(QStringLiteral("Graphic list: %1 graphics for %2 positions").arg(graphics.size()).arg(indexes.count()));
        return false;
    }
    int size = count();
    for (int index : indexes) {
        if (index < 0 || index > size) {
            Show_NSLog_Message(QStringLiteral("Graphic list: insertion position %1 beyond %2").arg(index).arg(size));
            return false;
        }
        ++size;
    }
    if (graphics.isEmpty())
        return true;
    int k = 0;
    for (int index : indexes)
        m_items.insert(index, graphics.at(k++));
    m_observers.notify({Change::Inserted, indexes, graphics});
    return true;
}

bool SKTGraphicList::removeGraphicsAtIndexes(const platform::IndexSet &indexes)
{
    if (indexes.isEmpty())
        return true;
    if (indexes.first() < 0 || indexes.last() >= count()) {
        Show_NSLog_Message(QStringLiteral("Graphic list: removal position outside 0..%1").arg(count() - 1));
        return false;
    }
    const GraphicList removed = objectsAtIndexes(indexes);
    for (auto it = indexes.end(); it != indexes.begin();) {
        --it;
        m_items.removeAt(*it);
    }
    m_observers.notify({Change::Removed, indexes, removed});
    return true;
}

