// An edit costs what it touches. With the caret on line 3, put there with keys, each edit
// (and its undo and redo) moves exactly as many lines in the line list whether 200 or 2,000
// paragraphs follow, and leaves the two controls showing the same lines at the top.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ControlHost.h"

namespace kestrix {

namespace {

struct Edit {
  const char* name;
  std::function<void(Display&)> keys;
  bool movesLines = true;  // typing that does not wrap only changes its own line
  std::function<void(CKestrixCtrl&)> then = nullptr;  // what the host does after the keys
};

void Press(Display& display, int key) {
  display.KeyDown(key);
  display.KeyUp(key);
}

void PressWithControl(Display& display, int key, uint8_t ch = 0) {
  display.SetKeyState(VK_CONTROL, true);
  display.KeyDown(key);
  if (ch) display.Char(ch);
  display.KeyUp(key);
  display.SetKeyState(VK_CONTROL, false);
}

// The lines moved by the second of two like edits (the first brings the gap to the caret),
// and the first lines then shown.
std::pair<int64_t, std::string> Cost(int paragraphs, const Edit& edit) {
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  host.display.SetFocus(c.GetSafeHwnd());
  std::string text;
  for (int i = 0; i < paragraphs; ++i) text += "alpha beta gamma delta epsilon zeta eta theta iota\r";
  c.SetText(text);
  host.display.PutClipboardText("kappa lambda\rmu nu xi omicron pi rho sigma");
  PressWithControl(host.display, VK_HOME);
  Press(host.display, VK_DOWN);
  Press(host.display, VK_DOWN);
  Press(host.display, VK_END);
  auto run = [&] {
    edit.keys(host.display);
    if (edit.then) edit.then(c);
  };
  run();
  const int64_t before = c.m_Lines.SlotsMoved();
  run();
  std::string shown;
  for (int n = 1; n <= 6; ++n) shown += c.m_Lines.At(n)->m_Chars + "|";
  return {c.m_Lines.SlotsMoved() - before, shown};
}

TEST(EditCost, AnEditMovesTheSameLinesWhateverTheTextAfterIt) {
  const Edit edits[] = {
      {"Backspace", [](Display& d) { Press(d, VK_BACK); }},
      {"Delete", [](Display& d) { Press(d, VK_DELETE); }},
      {"Return", [](Display& d) { Press(d, VK_RETURN); }},
      {"typing", [](Display& d) { d.Char('x'); }, false},
      {"paste", [](Display& d) { PressWithControl(d, 'V', 0x16); }},
      {"deleting a selection", [](Display& d) {
         d.SetKeyState(VK_SHIFT, true);
         for (int i = 0; i < 4; ++i) Press(d, VK_DOWN);
         d.SetKeyState(VK_SHIFT, false);
         Press(d, VK_DELETE);
       }},
      {"a paste undone", [](Display& d) { PressWithControl(d, 'V', 0x16); }, true,
       [](CKestrixCtrl& c) { ASSERT_TRUE(c.Undo()); }},
      {"a paste undone and redone", [](Display& d) { PressWithControl(d, 'V', 0x16); }, true,
       [](CKestrixCtrl& c) {
         ASSERT_TRUE(c.Undo());
         ASSERT_TRUE(c.Redo());
       }},
  };
  for (const Edit& edit : edits) {
    const auto [small, smallShown] = Cost(200, edit);
    const auto [large, largeShown] = Cost(2000, edit);
    EXPECT_TRUE(!edit.movesLines || small > 0) << edit.name;
    EXPECT_EQ(small, large) << edit.name;
    EXPECT_EQ(smallShown, largeShown) << edit.name;
  }
}

}  // namespace

}  // namespace kestrix
