// The control's clipboard, cursor and layout requests reach the window system behind the
// display as they happen, and a paste reads what another program offers.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "control/Dispids.h"
#include "framework/ole/Variant.h"

namespace kestrix {

namespace {

class FakeWindowSystem : public DisplayPlatform {
 public:
  void ClipboardChanged(const std::optional<std::string>& text) override {
    events.push_back("clipboard " + text.value_or("(empty)"));
  }
  std::optional<std::string> ClipboardText(const std::optional<std::string>& own) override {
    return otherProgram ? otherProgram : own;
  }
  void CursorChanged(PointerShape shape) override {
    events.push_back(shape == PointerShape::Wait ? "cursor wait" : "cursor other");
  }
  void LayoutRequested(LPARAM layout) override {
    events.push_back(layout == 0x04010401 ? "layout arabic" : "layout english");
  }
  bool ClipboardAvailable() override { return !heldByAnotherProgram; }
  void InputRefused(const std::string& why) override { events.push_back("refused " + why); }
  void ShowDrawing() override { shown.push_back(Display::Current().GetSurface()); }
  std::optional<short> ModifierState(int virtualKey) override {
    if (virtualKey == VK_SHIFT && shiftHeld) return static_cast<short>(*shiftHeld ? -128 : 0);
    return std::nullopt;
  }
  std::vector<std::string> events;
  std::vector<Surface> shown;  // the screen each time what was drawn was to be seen at once
  std::optional<bool> shiftHeld;  // the system's Shift, or nothing to leave it to the display
  std::optional<std::string> otherProgram;
  bool heldByAnotherProgram = false;
};

class DisplayPlatformRoute : public ::testing::Test {
 protected:
  void SetUp() override { host.display.SetPlatform(&system); }
  void TearDown() override { host.display.SetPlatform(nullptr); }
  ControlHost host;
  CKestrixCtrl& c = *host.ctrl;
  FakeWindowSystem system;
};

TEST_F(DisplayPlatformRoute, CopyShowsTheWaitCursorAroundHandingOverTheText) {
  c.SetText("abc\rdef");
  c.SelectAll();
  c.OnEditCopy();
  std::vector<std::string> expected{"cursor wait", "clipboard (empty)", "clipboard abc\rdef",
                                    "cursor other"};
  EXPECT_EQ(system.events, expected);
}

TEST_F(DisplayPlatformRoute, PasteReadsWhatAnotherProgramOffers) {
  c.SetText("x");
  system.otherProgram = "one\rtwo";
  c.OnEditPaste();
  EXPECT_EQ(c.GetText(), "one\rtwox");
}

TEST_F(DisplayPlatformRoute, TextWithNoPlaceInTheCodePageIsNeitherPastedNorTypedAndThePersonIsTold) {
  c.SetText("abcdef");
  c.SetSelStart(1);
  c.SetSelLength(2);
  system.otherProgram = "x";
  // A window system whose clipboard offers text the code page cannot hold reads it as no text
  // and says why; the paste then changes nothing, the selection included.
  struct Refusing : FakeWindowSystem {
    std::optional<std::string> ClipboardText(const std::optional<std::string>&) override {
      Display::CurrentOrNull()->NoteClipboardRefused("U+06CC at character 2");
      return std::nullopt;
    }
  } refusing;
  host.display.SetPlatform(&refusing);
  c.SetFocus();
  host.display.KeyDown(VK_CONTROL);
  host.display.KeyDown('V');
  host.display.Char(0x16);
  host.display.KeyUp('V');
  host.display.KeyUp(VK_CONTROL);
  EXPECT_EQ(c.GetText(), "abcdef");
  EXPECT_EQ(c.GetSelLength(), 2);
  ASSERT_EQ(host.display.RefusedInputs(), 1);
  EXPECT_NE(std::find(refusing.events.begin(), refusing.events.end(), "refused Nothing was pasted: U+06CC at character 2"),
            refusing.events.end());
  // A typed character with no place is refused aloud and leaves the selection; one the code
  // page can say by meaning is typed as that.
  c.SendMessage(WM_CHAR, 0x06CC, 1);
  EXPECT_EQ(c.GetText(), "abcdef");
  EXPECT_EQ(host.display.RefusedInputs(), 2);
  EXPECT_EQ(refusing.events.back(), "refused U+06CC has no place in the Arabic code page (1256)");
  c.SendMessage(WM_CHAR, 0x0663, 1);
  EXPECT_EQ(c.GetText(), "a3def");
  EXPECT_EQ(host.display.RefusedInputs(), 2);
  host.display.SetPlatform(&system);
}

TEST_F(DisplayPlatformRoute, WhileAnotherProgramHoldsTheClipboardCutKeepsTheTextAndPasteAddsNone) {
  c.SetText("abc");
  c.SelectAll();
  system.otherProgram = "x";
  system.heldByAnotherProgram = true;
  c.CtrlCharCommand(0x18);  // Ctrl+X
  c.OnEditPaste();
  EXPECT_EQ(c.GetText(), "abc");
  system.heldByAnotherProgram = false;
  c.CtrlCharCommand(0x18);  // Ctrl+X
  EXPECT_EQ(c.GetText(), "");
  EXPECT_NE(std::find(system.events.begin(), system.events.end(), "clipboard abc"), system.events.end());
}

TEST_F(DisplayPlatformRoute, ReadingOrderChangesAskForTheLayout) {
  c.SetReadingOrder(0);
  c.SetReadingOrder(1);
  std::vector<std::string> expected{"layout english", "layout arabic"};
  EXPECT_EQ(system.events, expected);
}

// The window system's Shift decides, whatever key messages the display delivered: held where
// the display saw no key go down, let go where it saw no key go up.
TEST_F(DisplayPlatformRoute, ShiftIsWhatTheWindowSystemHolds) {
  c.SetText("abcdef");
  host.display.SetFocus(c.GetSafeHwnd());
  system.shiftHeld = true;
  host.display.KeyDown(VK_RIGHT);
  host.display.KeyDown(VK_RIGHT);
  EXPECT_EQ(c.GetSelLength(), 2);
  host.display.KeyDown(VK_SHIFT);
  system.shiftHeld = false;
  host.display.KeyDown(VK_RIGHT);
  EXPECT_EQ(c.GetSelLength(), 0);
  // Left to the display, the Shift it saw go down counts.
  system.shiftHeld.reset();
  host.display.KeyDown(VK_RIGHT);
  EXPECT_EQ(c.GetSelLength(), 1);
}

}  // namespace

}  // namespace kestrix

namespace kestrix {

namespace {

// The rows and columns of the control's text rectangle on the screen.
std::vector<uint32_t> TextArea(const Surface& screen, CKestrixCtrl& c, int rows) {
  POINT origin{c.m_TextRect.left, c.m_TextRect.top};
  c.ClientToScreen(&origin);
  std::vector<uint32_t> pixels;
  for (int y = origin.y; y < origin.y + rows; ++y)
    for (int x = origin.x; x < origin.x + c.m_TextRect.Width(); ++x) pixels.push_back(screen.Pixel(x, y));
  return pixels;
}

}  // namespace

TEST_F(DisplayPlatformRoute, ALongTextShowsItsFirstScreenBeforeTheRestIsLaidOutAsTheEndDrawsIt) {
  std::u16string text;
  for (int i = 0; text.size() < 600 * 1024; ++i)
    text += u"line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
            u" \u0633\u0644\u0627\u0645 words enough to wrap in the view\r";
  VARIANT value = MakeVariantBstr(text.c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  ASSERT_EQ(c.GetIDispatch()->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr), S_OK);
  VariantClear(&value);

  ASSERT_EQ(system.shown.size(), 1u);
  const int rows = c.m_VisibleLines * c.m_LineHeight;
  const std::vector<uint32_t> early = TextArea(system.shown[0], c, rows);
  EXPECT_EQ(early, TextArea(host.display.GetSurface(), c, rows));
  EXPECT_NE(std::count(early.begin(), early.end(), early.front()), static_cast<long>(early.size())) << "nothing drawn";

  // Showing the first screen leaves the rest of the layout as it is without it.
  ControlHost hidden;
  hidden.ctrl->ShowWindow(SW_HIDE);
  hidden.ctrl->SetText(c.GetText());
  ASSERT_EQ(hidden.ctrl->LineCount(), c.LineCount());
  for (int n = 1; n <= c.LineCount(); ++n) {
    ASSERT_EQ(hidden.ctrl->m_Lines.At(n)->m_Chars, c.m_Lines.At(n)->m_Chars) << "line " << n;
    ASSERT_EQ(hidden.ctrl->m_Lines.At(n)->m_StartX, c.m_Lines.At(n)->m_StartX) << "line " << n;
  }
  EXPECT_EQ(hidden.ctrl->m_CharCount, c.m_CharCount);
}

}  // namespace kestrix
