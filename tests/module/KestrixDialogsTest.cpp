// The about box and the property page as the framework lays them out from their templates, and
// a picture of each for the documentation.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "framework/ole/PropertyFrame.h"
#include "framework/ole/PropertyPageObject.h"
#include "framework/window/Dialog.h"
#include "framework/window/DialogUnits.h"
#include "resources/KestrixPropPage.h"
#include "resources/KestrixResources.h"

namespace kestrix {

namespace {

class KestrixDialogs : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(owner.CreateEx(0, WS_VISIBLE, CRect(0, 0, 640, 400), nullptr)); }

  CRect PlacedRect(CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    return r;
  }

  Display display{640, 400};
  CWnd owner;
};

TEST_F(KestrixDialogs, AboutBoxLayoutInPixels) {
  CDialog about(KestrixResources(), IDD_ABOUTBOX_KESTRIX, &owner);
  ASSERT_TRUE(about.Create(&owner));
  EXPECT_EQ(about.Title(), "About Kestrix Control");
  DialogBaseUnits base = about.BaseUnits();
  EXPECT_EQ(base.x, DialogFont::Get("MS Sans Serif", 8)->BaseUnits().x);
  CRect client;
  about.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, MulDiv(260, base.x, 4), MulDiv(55, base.y, 8)));

  ASSERT_EQ(about.Items().size(), 4u);
  const auto& items = about.Items();
  // The icon at (10, 10) du, at its own 32 x 32 pixels.
  EXPECT_EQ(PlacedRect(*items[0]), CRect(MulDiv(10, base.x, 4), MulDiv(10, base.y, 8),
                                         MulDiv(10, base.x, 4) + 32, MulDiv(10, base.y, 8) + 32));
  EXPECT_EQ(items[1]->Text(), "Kestrix Control, Version 1.0");
  EXPECT_EQ(PlacedRect(*items[1]), DialogRectToPixels({40, 10, 170, 8}, base));
  EXPECT_EQ(PlacedRect(*items[2]), DialogRectToPixels({40, 25, 170, 8}, base));
  CPushButton* ok = about.DefaultButton();
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok, about.GetDlgItem(1));
  EXPECT_EQ(ok->Text(), "OK");
  EXPECT_EQ(PlacedRect(*ok), DialogRectToPixels({221, 7, 32, 14}, base));
  // Both lines of text fit their one-line rectangles.
  auto font = DialogFont::Get("MS Sans Serif", 8);
  for (int i : {1, 2}) EXPECT_LE(font->TextWidth(items[i]->Text()), PlacedRect(*items[i]).Width()) << i;

  EXPECT_TRUE(display.WriteWindowPng(about.GetSafeHwnd(), TestOutputPath("about-box.png")));
}

TEST_F(KestrixDialogs, PropertyPageLayoutCaptionAndActivation) {
  CKestrixPropPage page;
  EXPECT_EQ(page.Caption(), "General");
  DialogBaseUnits base = DialogFont::Get("MS Sans Serif", 8)->BaseUnits();
  CSize size = page.PageSize();
  EXPECT_EQ(size.cx, MulDiv(250, base.x, 4));
  EXPECT_EQ(size.cy, MulDiv(62, base.y, 8));

  const CRect at(12, 30, 12 + size.cx, 30 + size.cy);
  ASSERT_TRUE(page.Activate(owner.GetSafeHwnd(), at));
  EXPECT_FALSE(page.Activate(owner.GetSafeHwnd(), at));  // once at a time
  CDialog* dialog = page.PageDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->GetParent(), &owner);
  EXPECT_EQ(PlacedRect(*dialog), at);
  ASSERT_EQ(dialog->Items().size(), 2u);
  auto* box = dynamic_cast<CCheckBox*>(dialog->Items()[0].get());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(VisibleLabel(box->Text()), "Caret where the characters are drawn");
  EXPECT_EQ(PlacedRect(*box), DialogRectToPixels({7, 25, 229, 12}, base));
  auto* standard = dynamic_cast<CCheckBox*>(dialog->Items()[1].get());
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(VisibleLabel(standard->Text()), "Editing keys and clicks as in other editors");
  EXPECT_EQ(PlacedRect(*standard), DialogRectToPixels({7, 41, 229, 12}, base));
  // A click turns it; with no object to edit, the page fills and writes nothing.
  display.Click(box->GetSafeHwnd(), 3, 3);
  EXPECT_TRUE(box->IsChecked());
  EXPECT_EQ(box->SendMessage(BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  display.Click(box->GetSafeHwnd(), 3, 3);
  EXPECT_FALSE(box->IsChecked());

  EXPECT_TRUE(display.WriteWindowPng(dialog->GetSafeHwnd(), TestOutputPath("property-page.png")));
  EXPECT_TRUE(page.UpdateData(TRUE));

  page.Deactivate();
  EXPECT_FALSE(page.IsActive());
  EXPECT_EQ(page.PageDialog(), nullptr);
  EXPECT_TRUE(display.ChildrenOf(owner.GetSafeHwnd()).empty());
  EXPECT_FALSE(page.UpdateData(TRUE));
  // It can be shown again, but only inside a window of ours.
  EXPECT_TRUE(page.Activate(owner.GetSafeHwnd(), at));
  page.Deactivate();
  EXPECT_FALSE(page.Activate(nullptr, at));
}

// The frame the Properties verb opens, over the page as its class factory hands it out: the
// page inside, OK applying and closing, Escape cancelling, the objects given back.
TEST_F(KestrixDialogs, PropertyFrameShowsThePageAndClosesWithOkOrCancel) {
  auto* object = new PropertyPageObject(std::make_unique<CKestrixPropPage>(), {});
  object->AddRef();
  COlePropertyPage& page = object->Page();
  const std::string name = LoadResourceString(KestrixResources(), IDS_KESTRIX);
  std::string title, buttons;
  CRect pageRect, expectedRect;
  HWND parentOfPage = nullptr, frameHwnd = nullptr;
  display.ScheduleInput(10, [&] {
    CDialog* frame = CDialog::TopmostDialog();
    ASSERT_NE(frame, nullptr);
    title = frame->Title();
    frameHwnd = frame->GetSafeHwnd();
    for (const auto& item : frame->Items()) buttons += VisibleLabel(item->Text()) + " ";
    ASSERT_NE(page.PageDialog(), nullptr);
    page.PageDialog()->GetWindowRect(&pageRect);
    parentOfPage = page.PageDialog()->GetParent()->GetSafeHwnd();
    expectedRect = static_cast<CPropertyFrame*>(frame)->PageRect();
    display.WriteWindowPng(frameHwnd, TestOutputPath("property-frame.png"));
  });
  display.ScheduleInput(20, [&] { display.KeyDown(VK_RETURN); });
  EXPECT_EQ(ShowPropertyFrame(&owner, name, {object}, {}), IDOK);
  EXPECT_EQ(title, "Velor Control Properties");
  EXPECT_EQ(buttons, "OK Cancel Apply ");
  EXPECT_EQ(parentOfPage, frameHwnd);
  EXPECT_EQ(pageRect, expectedRect);
  // The page area holds the page at its own size.
  EXPECT_GE(expectedRect.Width(), page.PageSize().cx);
  EXPECT_GE(expectedRect.Height(), page.PageSize().cy);
  EXPECT_FALSE(page.IsActive());

  // The object being edited is held by the page only while the frame runs.
  struct Edited : IUnknown {
    ULONG refs = 1;
    ULONG peak = 1;
    HRESULT QueryInterface(REFIID, void** out) override {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG AddRef() override {
      peak = std::max(peak, ++refs);
      return refs;
    }
    ULONG Release() override { return --refs; }
  } edited;
  display.ScheduleInput(10, [&] { display.KeyDown(VK_ESCAPE); });
  EXPECT_EQ(ShowPropertyFrame(&owner, name, {object}, {&edited}), IDCANCEL);
  EXPECT_EQ(edited.peak, 2u);
  EXPECT_EQ(edited.refs, 1u);
  EXPECT_FALSE(page.IsActive());
  // The frame held the page only while it ran.
  EXPECT_EQ(object->Release(), 0u);
}

}  // namespace

}  // namespace kestrix
