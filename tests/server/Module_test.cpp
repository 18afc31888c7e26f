// The class factory, the module's lock count, registration and the registry stand-in.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "quantrel/automation.h"
#include "server/Registry.h"

namespace quantrel {
namespace {

namespace fs = std::filesystem;

TEST(ClassFactory, HandsOutObjectsForTheOneClassOnly) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject(&CLSID_Quantrel, &IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(DllGetClassObject(&IID_IDispatch, &IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(DllGetClassObject(&CLSID_Quantrel, &IID_IDispatch, &out), E_NOINTERFACE);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(
      DllGetClassObject(&CLSID_Quantrel, &IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      S_OK);
  IClassFactory* again = nullptr;
  ASSERT_EQ(DllGetClassObject(&CLSID_Quantrel, &IID_IUnknown, reinterpret_cast<void**>(&again)),
            S_OK);
  EXPECT_EQ(static_cast<void*>(factory), static_cast<void*>(again));  // made once

  IQuantrel* object = nullptr;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IQuantrel,
                                    reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQuantrel, reinterpret_cast<void**>(&object)),
            S_OK);
  double value = 0;
  EXPECT_EQ(object->ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, 1, 0, 0, &value),
            S_OK);
  EXPECT_GT(value, 0);
  object->Release();
  factory->Release();
  again->Release();
}

TEST(ClassFactory, TheModuleMayUnloadOnlyWithNoObjectsOrLocks) {
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  IQuantrel* object = nullptr;
  ASSERT_EQ(CreateQuantrel(&object), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  object->AddRef();
  object->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  object->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(
      DllGetClassObject(&CLSID_Quantrel, &IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      S_OK);
  factory->LockServer(true);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  factory->LockServer(false);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  factory->Release();
}

// A scratch registry file per test.
class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quantrel-registry-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    file_ = dir_ / "classes_root.reg";
    SetRegistryFile(file_.string());
  }
  void TearDown() override {
    SetRegistryFile("");
    fs::remove_all(dir_);
  }
  server::Registry Read() {
    server::Registry r;
    EXPECT_EQ(server::Registry::Read(r), S_OK);
    return r;
  }
  fs::path dir_, file_;
};

TEST_F(Registration, WritesTheClassAndProgIdKeysInOrder) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const server::Registry r = Read();
  const std::string clsid = ToString(CLSID_Quantrel);
  const std::string c = "CLSID\\" + clsid;
  EXPECT_EQ(r.GetValue(c), "Evaluate Exotic Options with this library");
  EXPECT_EQ(r.GetValue(c + "\\InprocServer32"), ModuleFileName());
  EXPECT_EQ(r.GetValue(c + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(r.GetValue("Quantrelix.Quantrel"), "Evaluate Exotic Options with this library");
  EXPECT_EQ(r.GetValue("Quantrelix.Quantrel\\CLSID"), clsid);
  EXPECT_EQ(r.GetValue(c + "\\ProgID"), "Quantrelix.Quantrel");
  EXPECT_EQ(r.GetValue(c + "\\Version"), "1.0");
  EXPECT_EQ(r.GetValue(c + "\\Typelib"), ToString(LIBID_Quantrelix));
  EXPECT_TRUE(clsid.front() == '{' && clsid.back() == '}');

  // The keys come in the order registration writes them.
  std::vector<std::string> order;
  for (const auto& k : r.Keys()) order.push_back(k.path);
  const std::vector<std::string> expected = {"CLSID",
                                             c,
                                             c + "\\InprocServer32",
                                             "Quantrelix.Quantrel",
                                             "Quantrelix.Quantrel\\CLSID",
                                             c + "\\ProgID",
                                             c + "\\Version",
                                             c + "\\Typelib"};
  ASSERT_GE(order.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + expected.size()), expected);

  // The type library is recorded, with the module's folder as help directory.
  TypeLibraryAttributes attributes{};
  ASSERT_EQ(LoadRegisteredTypeLibrary(LIBID_Quantrelix, 1, 0, &attributes), S_OK);
  EXPECT_EQ(attributes.classId, CLSID_Quantrel);
  EXPECT_EQ(attributes.major, 1);
  EXPECT_EQ(attributes.minor, 0);
  const std::string lib = "TypeLib\\" + ToString(LIBID_Quantrelix) + "\\1.0";
  EXPECT_EQ(r.GetValue(lib), "Quantrelix 2.0 Type Library");
  EXPECT_EQ(r.GetValue(lib + "\\HELPDIR"), fs::path(ModuleFileName()).parent_path().string());
}

TEST_F(Registration, RegisteringTwiceChangesNothing) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string once = Read().Serialise();
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(Read().Serialise(), once);
}

TEST_F(Registration, UnregisteringRemovesClassAndProgIdButKeepsTheTypeLibrary) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  const server::Registry r = Read();
  const std::string c = "CLSID\\" + ToString(CLSID_Quantrel);
  for (const auto& k : r.Keys()) {
    EXPECT_FALSE(k.path.starts_with(c)) << k.path;
    EXPECT_FALSE(k.path.starts_with("Quantrelix.Quantrel")) << k.path;
  }
  EXPECT_EQ(LoadRegisteredTypeLibrary(LIBID_Quantrelix, 1, 0, nullptr), S_OK);
  EXPECT_EQ(LoadRegisteredTypeLibrary(LIBID_Quantrelix, 2, 0, nullptr), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(Registration, TheTypeLibraryLoadsOnlyFromTheModule) {
  EXPECT_EQ(LoadTypeLibrary(ModuleFileName(), nullptr), S_OK);
  EXPECT_EQ(LoadTypeLibrary((dir_ / "other.so").string(), nullptr), TYPE_E_CANTLOADLIBRARY);
  EXPECT_EQ(LoadTypeLibrary("", nullptr), TYPE_E_CANTLOADLIBRARY);
}

TEST_F(Registration, AModuleInAFolderWithABlankIsRegisteredWithoutBlanks) {
  const fs::path folder = dir_ / "with blank";
  fs::create_directories(folder);
  const fs::path copy = folder / fs::path(QUANTREL_LIBRARY).filename();
  fs::copy_file(QUANTREL_LIBRARY, copy);
  // The copy reads the registry location from the environment: its settings are its own.
  ::setenv("QUANTREL_REGISTRY", file_.c_str(), 1);
  void* module = ::dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << ::dlerror();
  auto reg = reinterpret_cast<HRESULT (*)()>(::dlsym(module, "DllRegisterServer"));
  ASSERT_NE(reg, nullptr);
  SetRegistryFile("");  // this module too, so both read the same file
  EXPECT_EQ(reg(), S_OK);
  const std::string written =
      *Read().GetValue("CLSID\\" + ToString(CLSID_Quantrel) + "\\InprocServer32");
  EXPECT_EQ(written.find(' '), std::string::npos) << written;
  EXPECT_TRUE(written.starts_with("file://")) << written;
  EXPECT_NE(written.find("with%20blank"), std::string::npos) << written;
  EXPECT_EQ(PathFromRegisteredModulePath(written), fs::weakly_canonical(copy).string());
  ::dlclose(module);
  ::unsetenv("QUANTREL_REGISTRY");
}

// The registry file reached through a symbolic link is the file updated, in place of the link;
// its mode is kept.
TEST_F(Registration, ALinkedRegistryFileIsUpdatedWhereItLiesWithItsMode) {
  const fs::path real = dir_ / "real" / "classes_root.reg";
  fs::create_directories(real.parent_path());
  std::ofstream(real) << "; classes root\n";
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(fs::path("real") / "classes_root.reg", file_);  // relative to its folder
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(Read().HasKey("CLSID\\" + ToString(CLSID_Quantrel)));  // read through the link

  // A link to a file not yet there creates that file.
  fs::remove(file_);
  fs::create_symlink(dir_ / "later.reg", file_);
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_TRUE(fs::is_regular_file(dir_ / "later.reg"));
}

// Anything but a regular file (or none) is refused at once with a description, and left as it
// is: a folder, a pipe (which must not stall registration), a device, a file with other names.
TEST_F(Registration, ARegistryFileThatIsNoPlainFileIsRefusedAndLeftAlone) {
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* described;
  };
  const Case cases[] = {
      {"a folder", [&] { fs::create_directory(file_); }, "is not a regular file"},
      {"a pipe", [&] { ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0); }, "is not a regular file"},
      {"a device", [&] { fs::create_symlink("/dev/null", file_); }, "is not a regular file"},
      {"a file with another name",
       [&] {
         std::ofstream(dir_ / "other.reg") << "; classes root\n";
         fs::create_hard_link(dir_ / "other.reg", file_);
       },
       "has other hard links"},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    c.make();
    const auto type = fs::symlink_status(file_).type();
    EXPECT_EQ(DllRegisterServer(), REGDB_E_WRITEREGDB) << c.what;
    ErrorInfo info;
    ASSERT_EQ(GetErrorInfo(info), S_OK) << c.what;
    EXPECT_NE(info.description.find(c.described), std::string::npos) << info.description;
    server::Registry r;
    EXPECT_EQ(server::Registry::Read(r), REGDB_E_READREGDB) << c.what;
    EXPECT_EQ(fs::symlink_status(file_).type(), type) << c.what;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
  }
  EXPECT_EQ(fs::file_size(dir_ / "other.reg"), 15u);  // the hard link's contents are untouched
}

TEST(RegistryFile, RoundTripsValuesWithQuotesAndBackslashes) {
  server::Registry r;
  r.SetValue("A\\B", "", "C:\\path \"quoted\"\nline");
  r.SetValue("A\\B", "Name", "x");
  r.SetValue("a\\b", "name", "y");  // same key and value: names ignore case
  const std::optional<server::Registry> back = server::Registry::Parse(r.Serialise());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetValue("A\\B"), "C:\\path \"quoted\"\nline");
  EXPECT_EQ(back->GetValue("A\\B", "NAME"), "y");
  EXPECT_EQ(back->Keys().size(), 2u);  // A and A\B
  EXPECT_FALSE(server::Registry::Parse("@=\"orphan\"\n"));
  EXPECT_FALSE(server::Registry::Parse("[Key]\n\"unterminated=\"x\"\n"));
}

TEST(RegistryFile, DeleteTreeRemovesSubkeysButNotLookalikes) {
  server::Registry r;
  r.SetValue("Root\\Child\\Grandchild", "", "1");
  r.SetValue("Root\\Child2", "", "2");
  r.SetValue("RootSibling", "", "3");
  r.DeleteTree("Root\\Child");
  EXPECT_FALSE(r.HasKey("Root\\Child"));
  EXPECT_FALSE(r.HasKey("Root\\Child\\Grandchild"));
  EXPECT_TRUE(r.HasKey("Root\\Child2"));
  EXPECT_TRUE(r.HasKey("RootSibling"));
}

TEST_F(Registration, ProcessesRegisteringAtOnceLoseNothing) {
  constexpr int kWriters = 4, kKeys = 25;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int k = 0; k < kKeys; ++k) {
        const HRESULT status = server::Registry::Update([&](server::Registry& r) {
          r.SetValue("Writer" + std::to_string(w) + "\\Key" + std::to_string(k), "", "v");
          return S_OK;
        });
        if (status != S_OK) ::_exit(1);
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const server::Registry r = Read();
  for (int w = 0; w < kWriters; ++w) {
    for (int k = 0; k < kKeys; ++k) {
      EXPECT_TRUE(r.HasKey("Writer" + std::to_string(w) + "\\Key" + std::to_string(k)));
    }
  }
  // No temporary file is left behind.
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace quantrel
