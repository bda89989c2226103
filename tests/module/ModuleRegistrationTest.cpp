// The module's self-registration: the values it writes, unregistration that gives back the
// registry as it was, the two failure codes, and registrations running at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "control/Guids.h"
#include "framework/ole/Registration.h"
#include "module/KestrixModule.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

class ModuleRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kestrix-module-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    SetRegistryWriteFault({});
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string dir_;
  CKestrixApp& app_ = TheKestrixApp();
  const std::string ctrl_ = "CLSID\\" + RegistryGuid(CLSID_Kestrix);
  const std::string page_ = "CLSID\\" + RegistryGuid(CLSID_KestrixPropPage);
};

std::string Value(const RegistryTree& tree, const std::string& key, const std::string& name = "") {
  const std::string* text = tree.FindString(key, name);
  return text ? *text : "<missing>";
}

TEST_F(ModuleRegistrationTest, WritesTheClassesAndTypeLibraryAndUnregistersToTheStart) {
  RegistryFile file(dir_ + "/registry");
  // Entries of other programs, one of them inside a key the control uses.
  ASSERT_EQ(file.Update([&](RegistryTree& t) {
              t.SetString("CLSID\\{11111111-2222-3333-4444-555555555555}", "", "Other");
              t.SetString(ctrl_ + "\\InprocServer32", "Note", "kept by someone else");
              t.SetString(".txt", "", "txtfile");
              // Named no IID, this key was not written by a library's registration, though it
              // names ours.
              const std::string stray = "Interface\\{5B1E2C70-not-an-iid}\\TypeLib";
              t.SetString(stray, "", RegistryGuid(LIBID_KESTRIXLib));
              t.SetString(stray, "Version", "1.0");
              return ERROR_SUCCESS;
            }),
            ERROR_SUCCESS);
  std::string before = ReadText(file.Path());

  ASSERT_EQ(app_.RegisterServer(file), S_OK);
  RegistryTree t = file.Read().tree;
  const std::string path = app_.Instance().path;
  const std::string lib = RegistryGuid(LIBID_KESTRIXLib);
  EXPECT_EQ(Value(t, ctrl_), "Velor Control");
  EXPECT_EQ(Value(t, ctrl_ + "\\InprocServer32"), path);
  EXPECT_EQ(Value(t, ctrl_ + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Value(t, ctrl_ + "\\ProgID"), "KESTRIX.KestrixCtrl.1");
  EXPECT_TRUE(t.HasKey(ctrl_ + "\\Control"));
  EXPECT_FALSE(t.HasKey(ctrl_ + "\\Insertable"));
  EXPECT_EQ(Value(t, ctrl_ + "\\ToolboxBitmap32"), path + ", 1");
  EXPECT_EQ(Value(t, ctrl_ + "\\MiscStatus\\1"), "131473");
  EXPECT_EQ(Value(t, ctrl_ + "\\TypeLib"), lib);
  EXPECT_EQ(Value(t, ctrl_ + "\\Version"), "1.0");
  EXPECT_EQ(Value(t, "KESTRIX.KestrixCtrl.1\\CLSID"), RegistryGuid(CLSID_Kestrix));
  EXPECT_EQ(Value(t, page_), "Kestrix Property Page");
  EXPECT_EQ(Value(t, page_ + "\\InprocServer32"), path);
  EXPECT_FALSE(t.HasKey(page_ + "\\ProgID"));
  EXPECT_EQ(Value(t, "TypeLib\\" + lib + "\\1.0\\0\\linux64"), path);
  EXPECT_EQ(Value(t, "Interface\\" + RegistryGuid(IID_DKestrix)), "_DKestrix");
  EXPECT_EQ(Value(t, "Interface\\" + RegistryGuid(IID_DKestrixEvents) + "\\TypeLib"), lib);

  // Registering again changes nothing.
  std::string registered = ReadText(file.Path());
  ASSERT_EQ(app_.RegisterServer(file), S_OK);
  EXPECT_EQ(ReadText(file.Path()), registered);

  ASSERT_EQ(app_.UnregisterServer(file), S_OK);
  EXPECT_EQ(ReadText(file.Path()), before);
}

TEST_F(ModuleRegistrationTest, AnUnwritableRegistryFailsAtTheTypeLibraryAndRegistersNoClass) {
  std::ofstream(dir_ + "/file") << "x";
  RegistryFile blocked(dir_ + "/file/registry");
  EXPECT_EQ(app_.RegisterServer(blocked), SELFREG_E_TYPELIB);
  EXPECT_FALSE(blocked.Read().tree.HasKey("CLSID"));

  // A registry from a newer version is not written either.
  RegistryFile newer(dir_ + "/newer");
  std::ofstream(newer.Path()) << "KESTRIX REGISTRY 7\n";
  EXPECT_EQ(app_.RegisterServer(newer), SELFREG_E_TYPELIB);
  EXPECT_EQ(ReadText(newer.Path()), "KESTRIX REGISTRY 7\n");
}

TEST_F(ModuleRegistrationTest, AFailureInTheClassesStepLeavesTheRegistryAsItWas) {
  RegistryFile file(dir_ + "/registry");
  // The write that would add the property page's class fails, as a full disk would: the type
  // library, registered in the same transaction, is not left behind without its classes.
  const std::string page = page_;
  SetRegistryWriteFault([page](const RegistryTree& before, const RegistryTree& after) {
    return before.HasKey(page) != after.HasKey(page) ? ERROR_DISK_FULL : ERROR_SUCCESS;
  });
  EXPECT_NE(app_.RegisterServer(file), S_OK);
  EXPECT_TRUE(file.Read().tree == RegistryTree());
  // Unregistering fails the same way after a complete registration, which stays whole: no
  // classes naming a type library that is gone.
  SetRegistryWriteFault({});
  ASSERT_EQ(app_.RegisterServer(file), S_OK);
  const RegistryTree registered = file.Read().tree;
  SetRegistryWriteFault([page](const RegistryTree& before, const RegistryTree& after) {
    return before.HasKey(page) != after.HasKey(page) ? ERROR_DISK_FULL : ERROR_SUCCESS;
  });
  EXPECT_NE(app_.UnregisterServer(file), S_OK);
  EXPECT_TRUE(file.Read().tree == registered);
  EXPECT_TRUE(registered.HasKey("TypeLib"));
  EXPECT_TRUE(registered.HasKey(page_));
}

TEST_F(ModuleRegistrationTest, AReadOnlyRegistryIsNotReplaced) {
  RegistryFile file(dir_ + "/registry");
  std::ofstream(file.Path()) << "KESTRIX REGISTRY 1\n";
  ASSERT_EQ(chmod(file.Path().c_str(), 0444), 0);
  EXPECT_EQ(file.CheckWritable(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(app_.RegisterServer(file), SELFREG_E_TYPELIB);
  EXPECT_EQ(ReadText(file.Path()), "KESTRIX REGISTRY 1\n");
  // One write bit is enough, whoever runs the tool.
  ASSERT_EQ(chmod(file.Path().c_str(), 0644), 0);
  EXPECT_EQ(app_.RegisterServer(file), S_OK);
}

TEST_F(ModuleRegistrationTest, RegistrationsAtOnceLeaveOneCompleteRegistration) {
  const std::string path = dir_ + "/registry";
  std::vector<std::thread> threads;
  std::vector<HRESULT> results(4, E_FAIL);
  for (size_t i = 0; i < results.size(); ++i)
    threads.emplace_back([&, i] {
      RegistryFile file(path);
      results[i] = app_.RegisterServer(file);
    });
  threads.emplace_back([&] {
    RegistryFile file(path);
    for (int v = 0; v < 20; ++v)
      file.Update([&](RegistryTree& t) {
        return t.SetDword("Other", std::to_string(v), 1) ? ERROR_SUCCESS : ERROR_BADDB;
      });
  });
  for (std::thread& t : threads) t.join();
  for (HRESULT hr : results) EXPECT_EQ(hr, S_OK);
  RegistryTree t = RegistryFile(path).Read().tree;
  EXPECT_EQ(Value(t, "KESTRIX.KestrixCtrl.1\\CLSID"), RegistryGuid(CLSID_Kestrix));
  EXPECT_EQ(Value(t, page_), "Kestrix Property Page");
  for (int v = 0; v < 20; ++v) EXPECT_NE(t.Find("Other", std::to_string(v)), nullptr);
}

}  // namespace

}  // namespace kestrix
