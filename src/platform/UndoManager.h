#pragma once

#include "platform/ObserverList.h"

#include <QObject>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace platform {

// Undo and redo stacks of grouped actions, with the semantics of the Cocoa undo manager: actions
// run during undo register their inverses, which become the redo step (and the other way round).
// Main thread only.
class UndoManager : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    using CheckpointObserver = std::function<void()>;

    explicit UndoManager(QObject *parent = nullptr);
    ~UndoManager() override;

    // `target` only identifies the action for removeAllActionsWithTarget; it is never dereferenced.
    void registerUndo(const void *target, Action action);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const;

    // When on, a registration with no open group opens one, closed when the event loop goes idle.
    void setGroupsByEvent(bool on);
    bool groupsByEvent() const;
    // Closes the automatically opened group, if it is the only open one.
    void closeEventGroup();

    // A nesting counter: registration is enabled only when every disable has been matched.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const;

    // True also while an open group holds actions: undo() closes it first.
    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    bool isUndoing() const;
    bool isRedoing() const;

    void setActionName(const QString &name);
    QString undoActionName() const;
    QString redoActionName() const;

    // Removed actions never run, not even the rest of a group being undone at the time.
    void removeAllActions();
    void removeAllActionsWithTarget(const void *target);

    // Observers hear every checkpoint: a nested group opened, any group closed (after it has been
    // folded or stacked), and the start of undo() and redo().
    Subscription subscribeToCheckpoints(CheckpointObserver observer);
    quint64 addCheckpointObserver(CheckpointObserver observer);
    void removeCheckpointObserver(quint64 token);

private:
    struct Entry {
        const void *target;
        Action action;
    };
    struct Group {
        QString name;
        std::vector<Entry> entries;
    };
    enum class Direction { Undo, Redo };

    void replay(Direction direction);
    void closeInnermostGroup();
    void sendCheckpoint();
    void watchEventLoop();
    bool openGroupsHaveActions() const;

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    std::vector<Group> m_openGroups; // outermost first
    std::vector<Entry> *m_replaying = nullptr;
    int m_disableCount = 0;
    bool m_groupsByEvent = true;
    bool m_eventGroupOpen = false;
    bool m_watchingEventLoop = false;
    bool m_undoing = false;
    bool m_redoing = false;
    ObserverList<> m_checkpointObservers;
};

// Undo registration switched off for as long as it lives (nesting like the calls it stands for),
// however the scope is left. A null manager is allowed: nothing is switched.
class ScopedUndoDisabling {
public:
    explicit ScopedUndoDisabling(UndoManager *undo) : m_undo(undo)
    {
        if (m_undo)
            m_undo->disableUndoRegistration();
    }
    ~ScopedUndoDisabling()
    {
        if (m_undo)
            m_undo->enableUndoRegistration();
    }
    ScopedUndoDisabling(const ScopedUndoDisabling &) = delete;
    ScopedUndoDisabling &operator=(const ScopedUndoDisabling &) = delete;

private:
    UndoManager *m_undo;
};

} // namespace platform
