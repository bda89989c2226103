// The history's memory: it never holds more bytes than its limit, dropping its oldest steps,
// and what it keeps still undoes in order; a step that could be redone goes with a new edit.
#include <gtest/gtest.h>

#include <string>

#include "ControlHost.h"
#include "text/UndoHistory.h"

namespace kestrix {

namespace {

UndoStep Inserting(int64_t at, const std::string& text) { return UndoStep{at, "", text, {}, {}}; }

TEST(UndoHistory, KeepsItsNewestStepsWithinItsByteLimit) {
  const size_t stepBytes = sizeof(UndoStep) + 100;
  UndoHistory history(10 * stepBytes);
  for (int i = 0; i < 25; ++i) {
    history.Push(Inserting(i * 100, std::string(100, static_cast<char>('a' + i))), false);
    EXPECT_LE(history.Bytes(), history.ByteLimit());
  }
  EXPECT_EQ(history.Count(), 10u);
  // The ten newest, newest first.
  for (int i = 24; i >= 15; --i) {
    ASSERT_TRUE(history.CanUndo());
    EXPECT_EQ(history.ToUndo()->inserted[0], static_cast<char>('a' + i));
    history.Undone();
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Count(), 10u);

  // A lower limit drops more of the oldest done steps; once none is left, the steps to redo
  // cannot be redone without them, so none is kept.
  for (int i = 0; i < 6; ++i) history.Redone();
  history.SetByteLimit(5 * stepBytes);
  EXPECT_EQ(history.Count(), 5u);
  EXPECT_EQ(history.ToUndo()->inserted[0], 'u');
  EXPECT_EQ(history.ToRedo()->inserted[0], 'v');
  history.SetByteLimit(2 * stepBytes);
  EXPECT_EQ(history.Count(), 0u);
  EXPECT_EQ(history.Bytes(), 0u);

  // One step larger than the whole limit is not kept.
  history.Push(Inserting(0, std::string(3 * stepBytes, 'x')), false);
  EXPECT_EQ(history.Count(), 0u);
  EXPECT_FALSE(history.CanUndo());
}

TEST(UndoHistory, TheSavedStepIsLostWithTheStepsThatReachIt) {
  UndoHistory history(4 * (sizeof(UndoStep) + 1));
  history.Push(Inserting(0, "a"), false);
  history.MarkSaved();
  history.Push(Inserting(1, "b"), false);
  EXPECT_FALSE(history.AtSaved());
  history.Undone();
  EXPECT_TRUE(history.AtSaved());
  // The saved text lay behind the step a new edit ends.
  history.Undone();
  history.Push(Inserting(0, "c"), false);
  history.Undone();
  EXPECT_FALSE(history.AtSaved());
  // Dropped from the front, it cannot be reached either.
  history.Redone();
  history.MarkSaved();
  for (int i = 0; i < 5; ++i) history.Push(Inserting(i, "d"), false);
  while (history.CanUndo()) history.Undone();
  EXPECT_FALSE(history.AtSaved());
}

// Typed through the control with a small limit: each word a step, only the newest kept, and
// undoing them all leaves the words typed before them.
TEST(UndoHistory, ALongTypingSessionKeepsItsNewestWords) {
  ControlHost host(CRect(0, 0, 320, 200));
  CKestrixCtrl& c = *host.ctrl;
  c.ActivateEdit(L"", L"");
  c.SetFocus();
  c.m_History.SetByteLimit(8 * (sizeof(UndoStep) + 4));
  for (int word = 0; word < 40; ++word) {
    host.display.KeyDown(0x20);
    host.display.Char(' ');
    host.display.KeyUp(0x20);
    host.display.TypeText("abc");
  }
  EXPECT_LE(c.m_History.Bytes(), c.m_History.ByteLimit());
  EXPECT_EQ(c.GetText().size(), 160u);
  int undone = 0;
  while (c.Undo()) ++undone;
  EXPECT_EQ(undone, static_cast<int>(c.m_History.Count()));
  EXPECT_GE(undone, 7);
  EXPECT_EQ(c.GetText().size(), 160u - 4u * static_cast<size_t>(undone));
}

}  // namespace

}  // namespace kestrix
