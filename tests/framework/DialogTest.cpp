// Dialogs from templates: placement in pixels from the font's base units, the modal loop and
// the ways it ends, the buttons' pressed look, and what the dialog gives back when it goes.
#include <gtest/gtest.h>

#include <functional>

#include "RecordingWindow.h"
#include "framework/window/CDC.h"
#include "framework/window/Dialog.h"
#include "framework/window/DialogUnits.h"

namespace kestrix {

namespace {

constexpr UINT kYes = 6;
constexpr UINT kNo = 7;
constexpr UINT kIcon = 5;

DialogTemplate ChooserTemplate() {
  DialogTemplate t;
  t.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  t.rect = {0, 0, 200, 60};
  t.title = "Choose";
  t.items = {
      {DialogItemKind::Icon, IDC_STATIC, {7, 7, 20, 20}, "", kIcon},
      {DialogItemKind::StaticText, IDC_STATIC, {35, 7, 100, 16}, "Keep the text you typed in the box?", 0},
      {DialogItemKind::DefaultPushButton, kYes, {143, 7, 50, 14}, "&Yes", 0},
      {DialogItemKind::PushButton, kNo, {143, 25, 50, 14}, "&No", 0},
      {DialogItemKind::PushButton, static_cast<UINT>(IDCANCEL), {143, 43, 50, 14}, "Cancel", 0},
  };
  return t;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateTop(owner, CRect(0, 0, 800, 600)));
    owner.SetFocus();
    resources.AddIcon(kIcon, ImageFromRows({".##", "###", "###"}, {{'.', kTransparentPixel}, {'#', OpaquePixel(0xFF0000)}}));
  }

  // Runs the dialog modally; each step is given as input 10 ms after the one before, while
  // the dialog's loop waits.
  INT_PTR RunWith(CDialog& dialog, const std::vector<std::function<void()>>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) display.ScheduleInput(10 * (i + 1), steps[i]);
    return dialog.DoModal();
  }

  // A click in the middle of the topmost dialog's button, if a dialog is still open. A step
  // that would end the dialog differently shows that the steps before it did not end it.
  void ClickButton(const std::string& label) {
    if (!CDialog::TopmostDialog()) return;
    CPushButton* button = CDialog::TopmostDialog()->FindButton(label);
    ASSERT_NE(button, nullptr);
    CRect r;
    button->GetClientRect(&r);
    display.Click(button->GetSafeHwnd(), r.Width() / 2, r.Height() / 2);
  }

  Display display{800, 600};
  RecordingWindow owner;
  ResourceTable resources{LANG_ENGLISH_US};
};

TEST(DialogUnits, ConvertOriginAndSizeEachWithRounding) {
  // The classic 8-point base units: 6 pixels across, 13 down.
  DialogBaseUnits classic{6, 13};
  EXPECT_EQ(DialogRectToPixels({221, 7, 32, 14}, classic), CRect(332, 11, 380, 34));
  EXPECT_EQ(DialogRectToPixels({40, 25, 170, 8}, classic), CRect(60, 41, 315, 54));
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(5, 1, 0), 0);
}

TEST(DialogFontTest, BaseUnitsComeFromTheLettersAndMeasuringMatchesDrawing) {
  auto font = DialogFont::Get("MS Sans Serif", 8);
  ASSERT_FALSE(font->FilePath().empty()) << "no sans font installed";
  EXPECT_EQ(font->PixelSize(), 11);
  DialogBaseUnits base = font->BaseUnits();
  int letters = font->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(base.x, (letters / 26 + 1) / 2);
  EXPECT_EQ(base.y, font->Height());
  EXPECT_GE(base.x, 4);
  EXPECT_LE(base.x, 10);
  EXPECT_GE(base.y, 11);
  EXPECT_LE(base.y, 20);

  Surface surface(200, 40);
  DeviceContext dc(&surface, POINT{0, 0}, {CRect(0, 0, 200, 40)});
  EXPECT_EQ(font->Draw(dc, 3, 0, "Kestrix"), 3 + font->TextWidth("Kestrix"));
}

TEST(DialogFontTest, WrapsAtBlanksWithinTheWidth) {
  auto font = DialogFont::Get("MS Sans Serif", 8);
  const std::string text = "TODO: Place controls to manipulate properties of Kestrix Control on this dialog.";
  int width = font->TextWidth("TODO: Place controls to manipulate");
  std::vector<std::string> lines = WrapText(*font, text, width);
  ASSERT_GE(lines.size(), 2u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(font->TextWidth(line), width) << line;
    EXPECT_FALSE(line.empty() || line.front() == ' ' || line.back() == ' ') << '"' << line << '"';
    joined += (joined.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(joined, text);
  // A word wider than the width stands alone rather than being lost.
  EXPECT_EQ(WrapText(*font, "a Unbreakable b", font->TextWidth("Unbr")),
            (std::vector<std::string>{"a", "Unbreakable", "b"}));
  EXPECT_EQ(WrapText(*font, "", 50), std::vector<std::string>{""});
}

TEST_F(DialogTest, ItemsArePlacedInPixelsFromTheBaseUnits) {
  CDialog dialog(ChooserTemplate(), &resources, &owner);
  ASSERT_TRUE(dialog.Create(&owner));
  DialogBaseUnits base = dialog.BaseUnits();
  CRect client;
  dialog.GetClientRect(&client);
  EXPECT_EQ(client, DialogRectToPixels({0, 0, 200, 60}, base));
  ASSERT_EQ(dialog.Items().size(), 5u);
  for (const auto& item : dialog.Items()) {
    CRect placed;
    item->GetWindowRect(&placed);
    CRect expected = DialogRectToPixels(item->Template().rect, base);
    // An icon keeps its own size at the place the template gives.
    if (item->Template().kind == DialogItemKind::Icon)
      expected = CRect(expected.left, expected.top, expected.left + 3, expected.top + 3);
    EXPECT_EQ(placed, expected) << item->Text();
  }
  // The caption bar and frame surround the client area; the popup stands centred on its owner.
  CRect window;
  dialog.GetWindowRect(&window);
  EXPECT_EQ(window.Width(), client.Width() + 6);
  EXPECT_EQ(window.Height(), client.Height() + 6 + Display::kCaptionHeight);
  EXPECT_NEAR(window.left + window.Width() / 2, 400, 1);
  EXPECT_NEAR(window.top + window.Height() / 2, 300, 1);

  // The default button's outer ring is dark, the others' light; the icon's transparent corner
  // shows the face.
  Surface shot = display.CaptureClient(dialog.GetSafeHwnd());
  CRect yes = DialogRectToPixels({143, 7, 50, 14}, base), no = DialogRectToPixels({143, 25, 50, 14}, base);
  EXPECT_EQ(shot.Pixel(yes.left, yes.top), 0x000000u);
  EXPECT_EQ(shot.Pixel(no.left, no.top), 0xFFFFFFu);
  CRect icon = DialogRectToPixels({7, 7, 20, 20}, base);
  EXPECT_EQ(shot.Pixel(icon.left, icon.top), XrgbFromColorRef(kDialogFaceColor));
  EXPECT_EQ(shot.Pixel(icon.left + 1, icon.top), 0xFF0000u);
  EXPECT_EQ(CDialog::TopmostDialog(), &dialog);
}

TEST_F(DialogTest, AWindowUnderADialogDrawsOnlyWhereItShows) {
  CDialog dialog(ChooserTemplate(), &resources, &owner);
  ASSERT_TRUE(dialog.Create(&owner));
  CDC* dc = owner.GetDC();
  CRect all(0, 0, 800, 600);
  dc->FillSolidRect(&all, RGB(255, 0, 0));
  owner.ReleaseDC(dc);
  CRect window = display.WindowRectOnSurface(dialog.GetSafeHwnd());
  Surface& surface = display.GetSurface();
  EXPECT_EQ(surface.Pixel(window.left + window.Width() / 2, window.bottom - 4), XrgbFromColorRef(kDialogFaceColor));
  EXPECT_EQ(surface.Pixel(window.left - 1, window.top), 0xFF0000u);
}

TEST_F(DialogTest, ReturnPressesTheDefaultButtonEscapeCancelsAndALetterItsButton) {
  CDialog first(ChooserTemplate(), &resources);
  // The disabled owner cannot take the keyboard back while the dialog runs.
  EXPECT_EQ(RunWith(first, {[&] { owner.SetFocus(); }, [&] { display.KeyDown(VK_RETURN); }}),
            static_cast<INT_PTR>(kYes));
  CDialog second(ChooserTemplate(), &resources);
  EXPECT_EQ(RunWith(second, {[&] { display.KeyDown(VK_ESCAPE); }, [&] { ClickButton("No"); }}), IDCANCEL);
  // A button's access key presses it; a letter no button has does nothing.
  CDialog third(ChooserTemplate(), &resources);
  EXPECT_EQ(RunWith(third, {[&] { display.KeyDown('C'); }, [&] { display.KeyDown('N'); }}),
            static_cast<INT_PTR>(kNo));
  EXPECT_EQ(CDialog::TopmostDialog(), nullptr);
  // The keys went to the dialog, never to the window that had the keyboard before.
  EXPECT_TRUE(owner.Only({WM_KEYDOWN}).empty());
  EXPECT_EQ(display.GetFocus(), owner.GetSafeHwnd());
}

TEST_F(DialogTest, AClickOnAButtonEndsWithItsIdAndClicksElsewhereAreDropped) {
  CDialog dialog(ChooserTemplate(), &resources);
  size_t before = owner.Only({WM_LBUTTONDOWN}).size();
  bool ownerDisabled = false;
  EXPECT_EQ(RunWith(dialog,
                    {[&] {
                       ownerDisabled = !owner.IsWindowEnabled();
                       display.Click(owner.GetSafeHwnd(), 5, 5);
                     },
                     [&] { ClickButton("no"); }}),
            static_cast<INT_PTR>(kNo));
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(owner.Only({WM_LBUTTONDOWN}).size(), before);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTest, AButtonLooksPressedOnlyWhileHeldOverIt) {
  CDialog dialog(ChooserTemplate(), &resources);
  HWND button = nullptr;
  bool pressedWhileHeld = false, pressedWhenOff = true, openAfterReleaseOff = false;
  uint32_t heldCorner = 0;
  INT_PTR result = RunWith(
      dialog, {[&] {
                 button = dialog.FindButton("No")->GetSafeHwnd();
                 display.MouseDown(button, 10, 5);
               },
               [&] {
                 pressedWhileHeld = dialog.FindButton("No")->IsPressed();
                 heldCorner = display.CaptureClient(button).Pixel(0, 0);
                 display.MouseMove(button, 500, 5);
               },
               [&] {
                 pressedWhenOff = dialog.FindButton("No")->IsPressed();
                 display.MouseUp(button, 500, 5);
               },
               [&] {
                 openAfterReleaseOff = CDialog::TopmostDialog() == &dialog;
                 display.KeyDown(VK_ESCAPE);
               }});
  EXPECT_TRUE(pressedWhileHeld);
  EXPECT_EQ(heldCorner, XrgbFromColorRef(kDialogShadowColor));
  EXPECT_FALSE(pressedWhenOff);
  EXPECT_TRUE(openAfterReleaseOff);
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogTest, TheCaptionsCloseBoxCancels) {
  CDialog dialog(ChooserTemplate(), &resources);
  INT_PTR result = RunWith(dialog, {[&] {
                             CRect client;
                             dialog.GetClientRect(&client);
                             display.Click(dialog.GetSafeHwnd(), client.right - 9, -Display::kCaptionHeight / 2);
                           },
                           [&] { ClickButton("No"); }});
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogTest, WithNoInputToComeTheDialogIsCancelledAndTheScreenPutBack) {
  Surface& surface = display.GetSurface();
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x) surface.SetPixel(x, y, static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFF);
  Surface before = surface.Crop(CRect(0, 0, 800, 600));
  CDialog dialog(ChooserTemplate(), &resources);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(surface.Pixels(), before.Pixels());
  EXPECT_EQ(display.WindowCount(), 1u);
}

TEST_F(DialogTest, AMissingTemplateCannotBeShown) {
  CDialog dialog(resources, 999);
  EXPECT_EQ(dialog.Template(), nullptr);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogTest, ADialogTheWindowSystemTakesRunsThereAndOneItLeavesRunsOnTheDisplay) {
  constexpr UINT kChooser = 30;
  resources.AddDialog(kChooser, ChooserTemplate());
  std::vector<std::pair<const ResourceTable*, UINT>> offered;
  display.SetDialogRunner([&](CDialog& dialog) -> std::optional<intptr_t> {
    offered.emplace_back(dialog.TemplateResources(), dialog.TemplateId());
    if (dialog.TemplateId() == 0) return std::nullopt;
    // Shown elsewhere: nothing of it is on the display, and the owner is left to the system.
    EXPECT_EQ(display.WindowCount(), 1u);
    EXPECT_TRUE(owner.IsWindowEnabled());
    return kNo;
  });
  CDialog fromResources(resources, kChooser, &owner);
  EXPECT_EQ(fromResources.DoModal(), kNo);
  EXPECT_EQ(fromResources.GetSafeHwnd(), nullptr);
  CDialog ownTemplate(ChooserTemplate(), &resources, &owner);
  EXPECT_EQ(RunWith(ownTemplate, {[&] { display.KeyDown(VK_ESCAPE); }}), IDCANCEL);
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0], std::make_pair(static_cast<const ResourceTable*>(&resources), kChooser));
  EXPECT_EQ(offered[1], std::make_pair(static_cast<const ResourceTable*>(nullptr), 0u));
  // A template the resources lack is no dialog to offer.
  CDialog missing(resources, 999, &owner);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_EQ(offered.size(), 2u);
}

TEST_F(DialogTest, AChildDialogLivesInsideItsParentAtTheGivenRect) {
  DialogTemplate page;
  page.style = DS_SETFONT | WS_CHILD;
  page.rect = {0, 0, 100, 40};
  page.items = {{DialogItemKind::StaticText, IDC_STATIC, {4, 4, 90, 8}, "Inside", 0}};
  CDialog child(page, nullptr, &owner);
  const CRect at(10, 20, 210, 120);
  ASSERT_TRUE(child.Create(&owner, &at));
  CRect placed;
  child.GetWindowRect(&placed);
  EXPECT_EQ(placed, CRect(10, 20, 210, 120));
  EXPECT_EQ(child.GetParent(), &owner);
  EXPECT_EQ(CDialog::TopmostDialog(), nullptr);  // a child is no dialog of its own
  child.DestroyWindow();
  EXPECT_EQ(display.ChildrenOf(owner.GetSafeHwnd()).size(), 0u);
}

}  // namespace

}  // namespace kestrix
