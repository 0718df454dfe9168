#include "platform/UndoManager.h"

#include "platform/Log.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace platform {

namespace {

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : m_f(std::move(f)) {}
    ~ScopeExit() { m_f(); }
    ScopeExit(const ScopeExit &) = delete;
    ScopeExit &operator=(const ScopeExit &) = delete;

private:
    F m_f;
};

} // namespace

UndoManager::UndoManager(QObject *parent) : QObject(parent) {}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(const void *target, Action action)
{
    if (m_disableCount > 0 || !action)
        return;
    if (m_openGroups.empty()) {
        if (!m_groupsByEvent) {
            writeLog(QStringLiteral("UndoManager: registration outside any group ignored"));
            return;
        }
        m_openGroups.emplace_back();
        m_eventGroupOpen = true;
        watchEventLoop();
    }
    if (!m_undoing && !m_redoing)
        m_redoStack.clear();
    m_openGroups.back().entries.push_back({target, std::move(action)});
}

void UndoManager::beginUndoGrouping()
{
    const bool nested = !m_openGroups.empty();
    m_openGroups.emplace_back();
    if (nested)
        sendCheckpoint();
}

void UndoManager::endUndoGrouping()
{
    // Undo and redo own the outermost group while they run.
    const size_t floor = (m_undoing || m_redoing) ? 1 : 0;
    if (m_openGroups.size() <= floor) {
        writeLog(QStringLiteral("UndoManager: endUndoGrouping without a matching beginUndoGrouping"));
        return;
    }
    closeInnermostGroup();
}

int UndoManager::groupingLevel() const
{
    return static_cast<int>(m_openGroups.size());
}

void UndoManager::setGroupsByEvent(bool on)
{
    m_groupsByEvent = on;
}

bool UndoManager::groupsByEvent() const
{
    return m_groupsByEvent;
}

void UndoManager::closeEventGroup()
{
    // A nested group still open belongs to code that is not done yet; try again next time.
    if (m_eventGroupOpen && m_openGroups.size() == 1)
        closeInnermostGroup();
}

void UndoManager::disableUndoRegistration()
{
    ++m_disableCount;
}

void UndoManager::enableUndoRegistration()
{
    if (m_disableCount == 0) {
        writeLog(QStringLiteral("UndoManager: enableUndoRegistration without a matching disable"));
        return;
    }
    --m_disableCount;
}

bool UndoManager::isUndoRegistrationEnabled() const
{
    return m_disableCount == 0;
}

bool UndoManager::canUndo() const
{
    return !m_undoStack.empty() || (!m_undoing && openGroupsHaveActions());
}

bool UndoManager::canRedo() const
{
    return !m_redoStack.empty();
}

void UndoManager::undo()
{
    replay(Direction::Undo);
}

void UndoManager::redo()
{
    replay(Direction::Redo);
}

bool UndoManager::isUndoing() const
{
    return m_undoing;
}

bool UndoManager::isRedoing() const
{
    return m_redoing;
}

void UndoManager::setActionName(const QString &name)
{
    if (!m_openGroups.empty())
        m_openGroups.back().name = name;
    else if (m_undoing && !m_redoStack.empty())
        m_redoStack.back().name = name;
    else if (!m_undoing && !m_undoStack.empty())
        m_undoStack.back().name = name;
}

QString UndoManager::undoActionName() const
{
    if (!m_undoing && openGroupsHaveActions()) {
        // Nested names fold outward only into unnamed parents, so the outermost name is the one kept.
        for (const Group &group : m_openGroups)
            if (!group.name.isEmpty())
                return group.name;
        return {};
    }
    return m_undoStack.empty() ? QString() : m_undoStack.back().name;
}

QString UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back().name;
}

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    for (Group &group : m_openGroups)
        group.entries.clear();
    if (m_replaying)
        for (Entry &entry : *m_replaying)
            entry.action = nullptr;
}

void UndoManager::removeAllActionsWithTarget(const void *target)
{
    const auto matches = [target](const Entry &e) { return e.target == target; };
    for (std::vector<Group> *stack : {&m_undoStack, &m_redoStack}) {
        for (Group &group : *stack)
            std::erase_if(group.entries, matches);
        std::erase_if(*stack, [](const Group &g) { return g.entries.empty(); });
    }
    for (Group &group : m_openGroups)
        std::erase_if(group.entries, matches);
    // The target is usually going away: the rest of a group being replayed must not reach it.
    if (m_replaying)
        for (Entry &entry : *m_replaying)
            if (entry.target == target)
                entry.action = nullptr;
}

Subscription UndoManager::subscribeToCheckpoints(CheckpointObserver observer)
{
    return m_checkpointObservers.subscribe(std::move(observer));
}

quint64 UndoManager::addCheckpointObserver(CheckpointObserver observer)
{
    return m_checkpointObservers.add(std::move(observer));
}

void UndoManager::removeCheckpointObserver(quint64 token)
{
    m_checkpointObservers.remove(token);
}

void UndoManager::replay(Direction direction)
{
    const bool undoing = direction == Direction::Undo;
    const char *what = undoing ? "undo" : "redo";
    if (m_undoing || m_redoing) {
        writeLog(QStringLiteral("UndoManager: %1 refused while already replaying").arg(QLatin1String(what)));
        return;
    }
    if (m_openGroups.size() == 1)
        closeInnermostGroup();
    if (!m_openGroups.empty()) {
        writeLog(QStringLiteral("UndoManager: %1 refused with a nested group open").arg(QLatin1String(what)));
        return;
    }
    sendCheckpoint();

    std::vector<Group> &source = undoing ? m_undoStack : m_redoStack;
    if (source.empty())
        return;
    Group group = std::move(source.back());
    source.pop_back();

    bool &flag = undoing ? m_undoing : m_redoing;
    flag = true;
    m_openGroups.emplace_back();
    m_replaying = &group.entries;
    bool finished = false;
    const ScopeExit cleanup([&] {
        m_replaying = nullptr;
        flag = false;
        if (!finished) {
            // The half-built inverse is unusable; drop it rather than leave a group open.
            m_openGroups.clear();
            m_eventGroupOpen = false;
        }
    });

    for (size_t i = group.entries.size(); i-- > 0;) {
        // Moved out so that removing actions from inside an action never destroys the running one.
        Action action = std::move(group.entries[i].action);
        group.entries[i].action = nullptr;
        if (action)
            action();
    }
    m_replaying = nullptr;
    if (m_openGroups.size() > 1) {
        writeLog(QStringLiteral("UndoManager: %1 action left groups open").arg(QLatin1String(what)));
        while (m_openGroups.size() > 1)
            closeInnermostGroup();
    }
    if (!group.name.isEmpty())
        m_openGroups.front().name = group.name;
    finished = true;
    closeInnermostGroup();
}

void UndoManager::closeInnermostGroup()
{
    Group group = std::move(m_openGroups.back());
    m_openGroups.pop_back();
    if (!m_openGroups.empty()) {
        Group &parent = m_openGroups.back();
        for (Entry &entry : group.entries)
            parent.entries.push_back(std::move(entry));
        if (parent.name.isEmpty())
            parent.name = group.name;
    } else {
        m_eventGroupOpen = false;
        if (!group.entries.empty())
            (m_undoing ? m_redoStack : m_undoStack).push_back(std::move(group));
    }
    sendCheckpoint();
}

void UndoManager::sendCheckpoint()
{
    m_checkpointObservers.notify();
}

void UndoManager::watchEventLoop()
{
    if (m_watchingEventLoop || !QCoreApplication::instance())
        return;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    if (!dispatcher)
        return;
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &UndoManager::closeEventGroup);
    m_watchingEventLoop = true;
}

bool UndoManager::openGroupsHaveActions() const
{
    return std::any_of(m_openGroups.begin(), m_openGroups.end(),
                       [](const Group &g) { return !g.entries.empty(); });
}

} // namespace platform
