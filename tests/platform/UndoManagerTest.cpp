#include "platform/UndoManager.h"

#include "fixtures/EventLoop.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using platform::UndoManager;

namespace {

// The usual client: a setter registers the old value through itself, so undo yields redo.
struct Property {
    UndoManager &undo;
    int value = 0;
    void set(int v)
    {
        const int old = value;
        undo.registerUndo(this, [this, old] { set(old); });
        value = v;
    }
};

class UndoManagerTest : public ::testing::Test {
protected:
    UndoManagerTest() { undo.setGroupsByEvent(false); }
    UndoManager::Action record(int tag)
    {
        return [this, tag] { ran.push_back(tag); };
    }
    void step(const std::function<void()> &body)
    {
        undo.beginUndoGrouping();
        body();
        undo.endUndoGrouping();
    }

    UndoManager undo;
    std::vector<int> ran;
};

TEST_F(UndoManagerTest, InverseRegisteringActionsUndoRedoAndUndoAgain)
{
    Property p{undo};
    step([&] {
        p.set(1);
        undo.setActionName(QStringLiteral("Set"));
    });
    step([&] { p.set(2); });

    undo.undo();
    undo.undo();
    EXPECT_EQ(p.value, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Set"));

    undo.redo();
    EXPECT_EQ(p.value, 1);
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Set"));
    EXPECT_TRUE(undo.canRedo()); // redoing must not clear the rest of the redo stack
    undo.redo();
    EXPECT_EQ(p.value, 2);
    EXPECT_FALSE(undo.canRedo());

    undo.undo();
    undo.undo();
    undo.redo();
    EXPECT_EQ(p.value, 1);

    step([&] { p.set(5); });
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoManagerTest, NestedGroupsFoldIntoOneStepReplayedInReverse)
{
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, record(1));
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, record(2));
    undo.setActionName(QStringLiteral("Inner"));
    undo.endUndoGrouping();
    undo.registerUndo(nullptr, record(3));
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_TRUE(undo.canUndo());
    undo.endUndoGrouping();
    step([] {}); // an empty step leaves nothing to undo

    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Inner"));
    undo.undo();
    EXPECT_EQ(ran, (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(UndoManagerTest, UndoClosesATopLevelGroupButRefusesInsideANestedOne)
{
    LogCapture log;
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, record(1));
    undo.beginUndoGrouping();
    undo.undo();
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(undo.groupingLevel(), 2);
    EXPECT_EQ(log.lines().size(), 1);

    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(ran, std::vector<int>{1});
    EXPECT_EQ(undo.groupingLevel(), 0);
}

TEST_F(UndoManagerTest, DisablingRegistrationNests)
{
    LogCapture log;
    undo.enableUndoRegistration(); // unmatched: must not bank credit for a later disable
    EXPECT_EQ(log.lines().size(), 1);

    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    undo.enableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    step([&] { undo.registerUndo(nullptr, record(1)); });
    EXPECT_FALSE(undo.canUndo());

    undo.enableUndoRegistration();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    step([&] { undo.registerUndo(nullptr, record(2)); });
    EXPECT_TRUE(undo.canUndo());
}

TEST_F(UndoManagerTest, RemovingATargetsActions)
{
    int a = 0;
    int b = 0;
    step([&] {
        undo.registerUndo(&a, record(1));
        undo.registerUndo(&b, record(2));
    });
    step([&] { undo.registerUndo(&a, record(3)); });
    undo.removeAllActionsWithTarget(&a);
    undo.undo();
    EXPECT_EQ(ran, std::vector<int>{2});
    EXPECT_FALSE(undo.canUndo());

    // A target that goes away while its group is being undone is not reached.
    ran.clear();
    step([&] {
        undo.registerUndo(&a, record(1));
        undo.registerUndo(&b, [&] { undo.removeAllActionsWithTarget(&a); });
    });
    undo.undo();
    EXPECT_TRUE(ran.empty());

    Property p{undo};
    step([&] { p.set(1); });
    undo.undo();
    ASSERT_TRUE(undo.canRedo());
    undo.removeAllActionsWithTarget(&p);
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoManagerTest, CheckpointsSeeEachGroupComplete)
{
    Property p{undo};
    QStringList seen; // grouping level, canUndo, canRedo, isUndoing
    const quint64 token = undo.addCheckpointObserver([&] {
        seen << QStringLiteral("%1%2%3%4").arg(undo.groupingLevel()).arg(undo.canUndo()).arg(undo.canRedo())
                    .arg(undo.isUndoing());
    });
    undo.beginUndoGrouping();
    p.set(1);
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    undo.endUndoGrouping();
    EXPECT_EQ(seen, QStringList({"2100", "1100", "0100"}));

    seen.clear();
    undo.undo();
    EXPECT_EQ(seen, QStringList({"0100", "0011"}));

    undo.removeCheckpointObserver(token);
    undo.redo();
    EXPECT_EQ(seen.size(), 2);
}

TEST_F(UndoManagerTest, EventGroupClosesByHandAndWhenTheLoopIdles)
{
    undo.setGroupsByEvent(true);
    undo.closeEventGroup();
    undo.registerUndo(nullptr, record(1));
    undo.registerUndo(nullptr, record(2));
    EXPECT_EQ(undo.groupingLevel(), 1);
    undo.closeEventGroup();
    EXPECT_EQ(undo.groupingLevel(), 0);
    undo.undo();
    EXPECT_EQ(ran, (std::vector<int>{2, 1}));

    undo.beginUndoGrouping(); // opened by hand: not the event's to close
    undo.registerUndo(nullptr, record(3));
    undo.closeEventGroup();
    EXPECT_EQ(undo.groupingLevel(), 1);
    undo.endUndoGrouping();

    // The loop announces it is about to block only when allowed to wait, so wait on a real timer.
    undo.registerUndo(nullptr, record(4));
    spinFor(10);
    EXPECT_EQ(undo.groupingLevel(), 0);
}

TEST_F(UndoManagerTest, ThrowingActionsLeaveTheManagerUsable)
{
    step([&] { undo.registerUndo(nullptr, [] { throw std::runtime_error("undo"); }); });
    EXPECT_THROW(undo.undo(), std::runtime_error);
    EXPECT_FALSE(undo.isUndoing());
    EXPECT_EQ(undo.groupingLevel(), 0);

    step([&] {
        undo.registerUndo(nullptr, [&] { undo.registerUndo(nullptr, [] { throw std::runtime_error("redo"); }); });
    });
    undo.undo();
    EXPECT_THROW(undo.redo(), std::runtime_error);
    EXPECT_FALSE(undo.isRedoing());

    step([&] { undo.registerUndo(nullptr, record(1)); });
    undo.undo();
    EXPECT_EQ(ran, std::vector<int>{1});
}

} // namespace
