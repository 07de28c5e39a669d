// The folder lookup against what the shell itself reports.
#include "support/SpecialFolder.h"
#include "support/SpecialFolder_win32.h"

#include <filesystem>
#include <set>
#include <string>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "testlib/TestSupport.h"

namespace {

// The shell's own answer for a folder identifier, with a backslash.
std::string ShellFolder(int identifier) {
  char path[MAX_PATH] = {};
  HRESULT result = SHGetFolderPathA(nullptr, identifier, nullptr, SHGFP_TYPE_CURRENT, path);
  EXPECT_TRUE(SUCCEEDED(result)) << "identifier " << identifier;
  return std::string(path) + "\\";
}

struct Case {
  const char* name;
  int identifier;
};

class ShellFolderName : public ::testing::TestWithParam<Case> {};

TEST_P(ShellFolderName, MatchesTheShell) {
  std::string expected = ShellFolder(GetParam().identifier);
  ASSERT_GT(expected.size(), 1u);
  EXPECT_EQ(wm::GetSpecialFolder(GetParam().name).path, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellFolderName,
    ::testing::Values(Case{"APPLICATION_DATA", CSIDL_APPDATA}, Case{"DESKTOP", CSIDL_DESKTOP},
                      Case{"PROGRAMS", CSIDL_PROGRAMS}, Case{"STARTMENU", CSIDL_STARTMENU},
                      Case{"COMMON_PROGRAMS", CSIDL_COMMON_PROGRAMS},
                      Case{"PROGRAM_FILES", CSIDL_PROGRAM_FILES},
                      // Names are compared exactly; anything else is the desktop.
                      Case{"application_data", CSIDL_DESKTOP}, Case{"", CSIDL_DESKTOP},
                      Case{"APPLICATION_DATA ", CSIDL_DESKTOP},
                      Case{"NO_SUCH_FOLDER", CSIDL_DESKTOP}));

TEST(SpecialFolder, ApplicationDataIsTheRoamingFolder) {
  std::string folder = wm::GetSpecialFolder("APPLICATION_DATA").path;
  ASSERT_GT(folder.size(), 1u);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_NE(folder.find("\\AppData\\Roaming\\"), std::string::npos) << folder;
}

TEST(SpecialFolder, SystemAndWindowsDirectories) {
  char system[MAX_PATH] = {};
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  EXPECT_EQ(wm::GetSpecialFolder("SYSTEM").path, std::string(system) + "\\");
  EXPECT_EQ(wm::GetSpecialFolder("WINDOWS").path, std::string(windows) + "\\");
  EXPECT_EQ(wm::GetSpecialFolder("system").path, ShellFolder(CSIDL_DESKTOP));
}

using wm::AnsiPath;
using wm::FolderStatus;
using wm::ShellFolderPath;

// Watches the COM task allocator, which the shell's item lists come from and
// go back to: what was allocated while it watched and not freed since. (The
// interface is a private base: COM objects are never deleted through it.)
class AllocationWatch final : private IMallocSpy {
 public:
  AllocationWatch() { registered_ = SUCCEEDED(CoRegisterMallocSpy(this)); }
  ~AllocationWatch() {
    if (registered_) {
      CoRevokeMallocSpy();
    }
  }
  bool registered() const { return registered_; }
  size_t Live() const { return live_.size(); }

 private:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IMallocSpy) {
      *object = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
    if (actual != nullptr) {
      live_.insert(actual);
    }
    return actual;
  }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
    live_.erase(request);
    return request;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                      BOOL) override {
    live_.erase(request);
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return PostAlloc(actual); }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

  bool registered_ = false;
  std::set<void*> live_;
};

// The item list is freed whether or not it could be turned into a path:
// "My Computer" is a folder of the shell with no path at all.
TEST(ShellFolderPath, FreesTheItemListWhenThereIsNoPathAndWhenThereIsOne) {
  // Once beforehand, so that whatever the shell keeps for itself is made.
  (void)ShellFolderPath(CSIDL_DRIVES);
  (void)ShellFolderPath(CSIDL_APPDATA);
  {
    AllocationWatch watch;
    ASSERT_TRUE(watch.registered());
    EXPECT_FALSE(ShellFolderPath(CSIDL_DRIVES));
    EXPECT_EQ(watch.Live(), 0u) << "the item list of a folder without a path was not freed";
    EXPECT_TRUE(ShellFolderPath(CSIDL_APPDATA));
    EXPECT_EQ(watch.Live(), 0u) << "the item list of a folder with a path was not freed";
  }
}

// A folder whose name the ANSI code page (1252 here) cannot hold.
class NonAnsiFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 1252) {
      GTEST_SKIP() << "written for code page 1252; this system's is " << GetACP();
    }
    folder_ = dir_.path().wstring() + L"\\\u0394\u03bf\u03ba\u03b9\u03bc\u03ae";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  wmtest::TempDir dir_;
  std::wstring folder_;
};

TEST_F(NonAnsiFolder, IsGivenAsItsShortPathWhichReachesTheSameFolder) {
  wm::SpecialFolder found = AnsiPath(folder_);
  ASSERT_EQ(found.status, FolderStatus::Found);
  const std::string& ansi = found.path;
  EXPECT_EQ(ansi.find('?'), std::string::npos) << ansi;
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(folder_.c_str(), shortPath, MAX_PATH), 0u);
  std::wstring expected(shortPath);
  EXPECT_EQ(std::wstring(ansi.begin(), ansi.end()), expected) << "ASCII, so widened byte for byte";
  // A file made through the ANSI path is in the folder of the wide one.
  HANDLE file = CreateFileA((ansi + "\\made.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_NE(GetFileAttributesW((folder_ + L"\\made.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(NonAnsiFolder, WhenTheShortPathCannotBeReadTheSystemSaysWhy) {
  // A folder that does not exist has no short path to read.
  std::wstring missing = folder_ + L"\\\u03b1\u03b2\u03b3";
  wm::SpecialFolder found = AnsiPath(missing);
  EXPECT_EQ(found.status, FolderStatus::NoAnsiPath);
  EXPECT_EQ(found.path, std::string(dir_.path().string()) + "\\??????\\???");
  EXPECT_EQ(found.reason.rfind("its short (8.3) path cannot be read: ", 0), 0u) << found.reason;
  EXPECT_NE(found.reason.find("(error 2)"), std::string::npos) << found.reason;
}

TEST(AnsiPath, APathTheCodePageHoldsIsKeptAsItIs) {
  wm::SpecialFolder found = AnsiPath(L"C:\\windows");
  EXPECT_EQ(found.status, FolderStatus::Found);
  EXPECT_EQ(found.path, "C:\\windows");
  // A character of code page 1252 that is not ASCII stays itself, not a
  // short name.
  if (GetACP() == 1252) {
    found = AnsiPath(L"C:\\users\\J\u00f6rg");
    EXPECT_EQ(found.status, FolderStatus::Found);
    EXPECT_EQ(found.path, "C:\\users\\J\xf6rg");
  }
}

}  // namespace
