#pragma once

#include <initializer_list>
#include <set>

namespace platform {

// A sorted set of list positions, as the list mutators take them: insertion visits the positions in
// ascending order, each object landing at its position in the growing list.
class IndexSet {
public:
    IndexSet() = default;
    IndexSet(std::initializer_list<int> indexes) : m_indexes(indexes) {}
    static IndexSet range(int first, int count)
    {
        IndexSet set;
        for (int i = 0; i < count; ++i)
            set.add(first + i);
        return set;
    }

    void add(int index) { m_indexes.insert(index); }
    void add(const IndexSet &other) { m_indexes.insert(other.m_indexes.begin(), other.m_indexes.end()); }
    void remove(int index) { m_indexes.erase(index); }
    bool contains(int index) const { return m_indexes.count(index) > 0; }
    int count() const { return static_cast<int>(m_indexes.size()); }
    bool isEmpty() const { return m_indexes.empty(); }
    int first() const { return m_indexes.empty() ? -1 : *m_indexes.begin(); }
    int last() const { return m_indexes.empty() ? -1 : *m_indexes.rbegin(); }

    auto begin() const { return m_indexes.begin(); }
    auto end() const { return m_indexes.end(); }
    bool operator==(const IndexSet &other) const { return m_indexes == other.m_indexes; }

private:
    std::set<int> m_indexes;
};

} // namespace platform
