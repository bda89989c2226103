// The control's verbs as a container lists them (IOleObject::EnumVerbs): the module's own
// list, nothing from the registry, and every verb listed is one DoVerb carries out.
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "Container.h"

namespace kestrix {

namespace {

struct ListedVerb {
  LONG id;
  std::wstring name;
  DWORD attributes;
};

// The rest of what the enumerator gives, one verb at a time; the names are freed.
std::vector<ListedVerb> TakeAll(IEnumOLEVERB* verbs) {
  std::vector<ListedVerb> listed;
  OLEVERB verb{};
  ULONG fetched = 0;
  while (verbs->Next(1, &verb, &fetched) == S_OK && fetched == 1) {
    listed.push_back({verb.lVerb, verb.lpszVerbName, verb.grfAttribs});
    CoTaskMemFree(verb.lpszVerbName);
  }
  return listed;
}

class ControlVerbs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(container.Create(), S_OK);
    ASSERT_EQ(
        container.Control()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)),
        S_OK);
    ASSERT_EQ(object->EnumVerbs(&verbs), S_OK);
  }
  void TearDown() override {
    if (verbs) verbs->Release();
    if (object) object->Release();
  }
  HRESULT Do(LONG verb) {
    RECT rect{0, 0, Container::kWidth, Container::kHeight};
    return object->DoVerb(verb, nullptr, nullptr, 0, container.Form(), &rect);
  }

  Container container;
  IOleObject* object = nullptr;
  IEnumOLEVERB* verbs = nullptr;
};

TEST_F(ControlVerbs, PropertiesAndThePrimaryVerbAreOnTheContainersMenuAndEveryVerbListedRuns) {
  const std::vector<ListedVerb> listed = TakeAll(verbs);
  std::vector<LONG> onMenu;
  for (const ListedVerb& verb : listed) {
    EXPECT_FALSE(verb.name.empty()) << verb.id;
    if (verb.attributes & OLEVERBATTRIB_ONCONTAINERMENU) onMenu.push_back(verb.id);
  }
  EXPECT_EQ(onMenu, (std::vector<LONG>{OLEIVERB_PRIMARY, OLEIVERB_PROPERTIES}));
  // Properties opens a modal frame (PropertyPageTest); every other verb listed is carried out.
  for (const ListedVerb& verb : listed) {
    if (verb.id == OLEIVERB_PROPERTIES) continue;
    EXPECT_EQ(Do(verb.id), S_OK) << verb.id;
  }
  ASSERT_GE(listed.size(), 6u);
  // Hide and show do what they say to the control's window.
  ASSERT_EQ(Do(OLEIVERB_HIDE), S_OK);
  EXPECT_FALSE(IsWindowVisible(container.ControlWindow()));
  ASSERT_EQ(Do(OLEIVERB_SHOW), S_OK);
  EXPECT_TRUE(IsWindowVisible(container.ControlWindow()));
}

TEST_F(ControlVerbs, TheEnumeratorStepsSkipsResetsAndClonesWhereItStands) {
  const std::vector<ListedVerb> all = TakeAll(verbs);
  ASSERT_GE(all.size(), 3u);
  ASSERT_EQ(verbs->Reset(), S_OK);
  // Two at a time; more than one asked for needs the count fetched.
  OLEVERB two[2] = {};
  EXPECT_EQ(verbs->Next(2, two, nullptr), E_POINTER);
  ULONG fetched = 0;
  ASSERT_EQ(verbs->Next(2, two, &fetched), S_OK);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(two[1].lVerb, all[1].id);
  CoTaskMemFree(two[0].lpszVerbName);
  CoTaskMemFree(two[1].lpszVerbName);
  // A clone goes on from where its original stands, each on its own.
  IEnumOLEVERB* clone = nullptr;
  ASSERT_EQ(verbs->Clone(&clone), S_OK);
  const std::vector<ListedVerb> rest = TakeAll(clone);
  clone->Release();
  ASSERT_EQ(rest.size(), all.size() - 2);
  EXPECT_EQ(rest.front().id, all[2].id);
  EXPECT_EQ(verbs->Skip(1), S_OK);
  EXPECT_EQ(TakeAll(verbs).size(), all.size() - 3);
  // Past the end: nothing more, and a skip too far says so.
  OLEVERB none{};
  EXPECT_EQ(verbs->Next(1, &none, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(verbs->Skip(1), S_FALSE);
  ASSERT_EQ(verbs->Reset(), S_OK);
  ASSERT_EQ(verbs->Next(1, &none, nullptr), S_OK);
  EXPECT_EQ(none.lVerb, all[0].id);
  CoTaskMemFree(none.lpszVerbName);
}

}  // namespace

}  // namespace kestrix
