// IUnknown as the framework's objects answer it: which IIDs each answers and with which
// interface, the null out-pointer, and how each lifetime counts references.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ole/COleControl.h"
#include "framework/ole/ClassFactory.h"
#include "framework/ole/FontObject.h"
#include "framework/ole/Unknown.h"

namespace kestrix {

namespace {

inline constexpr IID IID_IFirst = {0x1, 0x2, 0x3, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr IID IID_ISecond = {0x2, 0x2, 0x3, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr IID IID_ISecondAgain = {0x3, 0x2, 0x3, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr IID IID_IElse = {0x4, 0x2, 0x3, {1, 2, 3, 4, 5, 6, 7, 8}};

class IFirst : public IUnknown {
 public:
  virtual int First() = 0;

 protected:
  ~IFirst() = default;
};

class ISecond : public IUnknown {
 public:
  virtual int Second() = 0;

 protected:
  ~ISecond() = default;
};

// Two interfaces, one of them under two IIDs; its end is recorded, and its last Release
// leaves it alone when told to, so that a Release too many can be watched.
class TwoFaces final
    : public com::Object<com::Counted, com::Answer<IFirst, IID_IUnknown, IID_IFirst>,
                         com::Answer<ISecond, IID_ISecond, IID_ISecondAgain>> {
 public:
  explicit TwoFaces(int& ends, bool deleteAtEnd = true) : ends_(ends), delete_(deleteAtEnd) {}
  ~TwoFaces() override = default;
  int First() override { return 1; }
  int Second() override { return 2; }

 private:
  void FinalRelease() override {
    ++ends_;
    if (delete_) Counted::FinalRelease();
  }
  int& ends_;
  bool delete_;
};

// Which interface a pointer answered for IID is, by calling it: 1 or 2, 0 for none.
int FaceOf(REFIID iid, void* answered) {
  if (!answered) return 0;
  if (IsEqualGUID(iid, IID_ISecond) || IsEqualGUID(iid, IID_ISecondAgain))
    return static_cast<ISecond*>(answered)->Second();
  return static_cast<IFirst*>(answered)->First();
}

TEST(Unknown, EachListedIidAnswersItsInterfaceAndAddsAReference) {
  struct Row {
    const char* name;
    const IID& iid;
    HRESULT result;
    int face;
  };
  const Row rows[] = {
      {"IUnknown is the first listed", IID_IUnknown, S_OK, 1},
      {"IFirst", IID_IFirst, S_OK, 1},
      {"ISecond", IID_ISecond, S_OK, 2},
      {"ISecond's other IID", IID_ISecondAgain, S_OK, 2},
      {"an IID not listed", IID_IElse, E_NOINTERFACE, 0},
      {"IDispatch, not listed", IID_IDispatch, E_NOINTERFACE, 0},
  };
  for (const Row& row : rows) {
    int ends = 0;
    auto* object = new TwoFaces(ends);
    void* answered = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(row.iid, &answered), row.result) << row.name;
    EXPECT_EQ(FaceOf(row.iid, answered), row.face) << row.name;
    if (row.result == S_OK) {
      EXPECT_EQ(object->Release(), 1u) << row.name;  // the answer's reference
    } else {
      EXPECT_EQ(answered, nullptr) << row.name;
    }
    EXPECT_EQ(object->QueryInterface(row.iid, nullptr), E_POINTER) << row.name;
    EXPECT_EQ(ends, 0) << row.name;
    EXPECT_EQ(object->Release(), 0u) << row.name;
    EXPECT_EQ(ends, 1) << row.name;
  }
}

TEST(Unknown, TheLastReleaseEndsACountedObjectOnceAndAReleaseTooManyDoesNothing) {
  int ends = 0;
  TwoFaces object(ends, /*deleteAtEnd=*/false);
  EXPECT_EQ(object.AddRef(), 2u);
  // Every face counts the one count.
  EXPECT_EQ(static_cast<ISecond&>(object).AddRef(), 3u);
  EXPECT_EQ(static_cast<ISecond&>(object).Release(), 2u);
  EXPECT_EQ(object.Release(), 1u);
  EXPECT_EQ(ends, 0);
  EXPECT_EQ(object.Release(), 0u);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(object.Release(), 0u);
  EXPECT_EQ(object.InternalRefCount(), 0u);
  EXPECT_EQ(ends, 1);
}

// The owner of a part: counts, and answers an IID of its own.
class Owner {
 public:
  ULONG InternalAddRef() { return ++refs; }
  ULONG InternalRelease() { return --refs; }
  HRESULT InternalQueryInterface(REFIID riid, void** object) {
    *object = nullptr;
    if (!IsEqualGUID(riid, IID_IElse)) return E_NOINTERFACE;
    *object = this;
    InternalAddRef();
    return S_OK;
  }
  ULONG refs = 1;
};

class Part final
    : public com::Object<com::PartOf<Owner>, com::Answer<IFirst, IID_IUnknown, IID_IFirst>> {
 public:
  using Object::Object;
  int First() override { return 1; }
};

class AnsweredPart final
    : public com::Object<com::AnsweredByOwner<Owner>, com::Answer<IFirst, IID_IFirst>,
                         com::Answer<ISecond>> {
 public:
  using Object::Object;
  int First() override { return 1; }
  int Second() override { return 2; }
};

class Lasting final
    : public com::Object<com::Uncounted, com::Answer<IFirst, IID_IUnknown, IID_IFirst>> {
 public:
  int First() override { return 1; }
};

TEST(Unknown, APartCountsItsOwnersReferencesAndALastingObjectCountsNone) {
  Owner owner;
  Part part(owner);
  void* answered = nullptr;
  ASSERT_EQ(part.QueryInterface(IID_IFirst, &answered), S_OK);
  EXPECT_EQ(answered, static_cast<IFirst*>(&part));
  EXPECT_EQ(owner.refs, 2u);
  EXPECT_EQ(part.Release(), 1u);
  EXPECT_EQ(part.QueryInterface(IID_IElse, &answered), E_NOINTERFACE);
  EXPECT_EQ(owner.refs, 1u);

  // What its own list does not name, the owner answers; an interface listed without an IID
  // is only the owner's to answer.
  AnsweredPart answeredPart(owner);
  ASSERT_EQ(answeredPart.QueryInterface(IID_IElse, &answered), S_OK);
  EXPECT_EQ(answered, &owner);
  EXPECT_EQ(owner.refs, 2u);
  EXPECT_EQ(answeredPart.Release(), 1u);
  EXPECT_EQ(answeredPart.QueryInterface(IID_ISecond, &answered), E_NOINTERFACE);
  EXPECT_EQ(answered, nullptr);
  ASSERT_EQ(answeredPart.QueryInterface(IID_IFirst, &answered), S_OK);
  EXPECT_EQ(owner.refs, 2u);
  EXPECT_EQ(answeredPart.Release(), 1u);

  Lasting lasting;
  ASSERT_EQ(lasting.QueryInterface(IID_IUnknown, &answered), S_OK);
  EXPECT_EQ(lasting.AddRef(), 2u);
  EXPECT_EQ(lasting.Release(), 1u);
  EXPECT_EQ(lasting.Release(), 1u);
}

// The framework's own objects, each with what it answers.
class Module final : public COleControlModule {
 public:
  const ModuleInstance& Instance() const override { return instance_; }

 private:
  ModuleInstance instance_;
};

class Factory final : public COleObjectFactory {
 public:
  explicit Factory(COleControlModule& module)
      : COleObjectFactory(module, IID_IElse, "Test.Object",
                          [](COleControlModule&) -> IUnknown* { return nullptr; }) {}
  BOOL UpdateRegistry(RegistryTree&, BOOL) override { return TRUE; }
};

class PlainControl final : public COleControl {};

TEST(Unknown, TheFrameworksObjectsAnswerTheirInterfacesAndNoOthers) {
  auto font = std::make_shared<FontObject>();
  Module module;
  Factory factory(module);
  PlainControl control;
  struct Row {
    std::string name;
    IUnknown* object;
    const IID& iid;
    void* expected;    // null: E_NOINTERFACE
    ULONG countAfter;  // what a Release of the answer returns
  };
  IUnknown* hosted = control.GetControllingUnknown();
  IDispatch* fontFace = font.get();
  IClassFactory* factoryFace = &factory;
  const std::vector<Row> rows = {
      {"font IUnknown", fontFace, IID_IUnknown, fontFace, 0},
      {"font IDispatch", fontFace, IID_IDispatch, fontFace, 0},
      {"font IFontDisp", fontFace, IID_IFontDisp, fontFace, 0},
      {"font IClassFactory", fontFace, IID_IClassFactory, nullptr, 0},
      {"factory IUnknown", factoryFace, IID_IUnknown, factoryFace, 1},
      {"factory IClassFactory", factoryFace, IID_IClassFactory, factoryFace, 1},
      {"factory IDispatch", factoryFace, IID_IDispatch, nullptr, 0},
      {"control IUnknown", hosted, IID_IUnknown, hosted, 0},
      {"control IHostedControl", hosted, IID_IHostedControl, hosted, 0},
      {"control without automation, IDispatch", hosted, IID_IDispatch, nullptr, 0},
  };
  for (const Row& row : rows) {
    void* answered = reinterpret_cast<void*>(1);
    EXPECT_EQ(row.object->QueryInterface(row.iid, &answered), row.expected ? S_OK : E_NOINTERFACE)
        << row.name;
    EXPECT_EQ(answered, row.expected) << row.name;
    if (answered) {
      EXPECT_EQ(static_cast<IUnknown*>(answered)->Release(), row.countAfter) << row.name;
    }
    EXPECT_EQ(row.object->QueryInterface(row.iid, nullptr), E_POINTER) << row.name;
  }
  EXPECT_EQ(control.InternalRefCount(), 0u);
}

}  // namespace

}  // namespace kestrix
