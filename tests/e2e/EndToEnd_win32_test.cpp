// The end-to-end cases only Windows has: quoting on the raw command line, as an administrator's
// logon script writes it, the usage window, and the exe's own resources.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/EndToEnd.h"
#include "support/EventLog_win32.h"
#include "testlib/WindowProbe.h"
#include "ui/ExplanationFormUnit_win32.h"
#include "ui/resources/ResourceIds.h"

#include "Version.h"

namespace wmtest {
namespace {

std::string LogonName() {
  char name[1000] = {};
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) ? std::string(name) : std::string();
}

TEST_F(EndToEnd, QuotingOnTheRawCommandLine) {
  struct Case {
    const char* arguments;
    std::string mailbox;
    std::string server;
  };
  const std::string logon = LogonName();
  const Case cases[] = {
      {"'exchange one' 'John Smith'", "'John", "exchange one"},
      {"server1 'John Smith' RUNONCE", "John Smith", "server1"},
      {"\"server1\" \"\" RUNONCE", logon, "server1"},
      {"server1\t\"O'Brien\"", "O'Brien", "server1"},
      {"server1 runonce", logon, "server1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::filesystem::remove(PrfPath());
    ClearRegistry();
    ProcessResult run = Run({c.arguments});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner + kSuccessLine);
    std::vector<std::string> lines = PrfLines();
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[42], "MailboxName=" + c.mailbox);
    EXPECT_EQ(lines[43], "HomeServer=" + c.server);
  }
}

// No server name, or a help request: Windows users ask for help with /?,
// which must show the usage, not become the name of an Exchange server in a
// profile that replaces the user's own. The cases run side by side, each
// program with its own window, so that one wait shows them all waiting.
TEST_F(EndToEnd, NoServerOrAHelpRequestShowsTheUsageWindowUntilItIsClosed) {
  struct Case {
    const char* arguments;
    bool byCloseBox;
  };
  const Case cases[] = {{"", false},
                        {"' '", false},
                        {"\" \"", true},
                        {"\"\" \"\"", false},
                        {"/?", false},
                        {"-H", true},
                        {"--help server1 RUNONCE", false}};
  std::vector<std::unique_ptr<WindowProbe>> programs;
  std::vector<WindowHandle> windows;
  for (const Case& c : cases) {
    programs.push_back(std::make_unique<WindowProbe>("\"" + ProgramPath() + "\" " + c.arguments));
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].arguments);
    windows.push_back(programs[i]->WaitForWindow(wm::kExplanationFormClass));
    ASSERT_NE(windows[i], nullptr) << programs[i]->failure();
  }
  // 200 ms after the last window appeared, every program is still running.
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.arguments);
    EXPECT_TRUE(programs[i]->StillRunningAfter(i == 0 ? 200 : 0))
        << "the program waits for the window";
    EXPECT_TRUE(c.byCloseBox ? programs[i]->PressClose(windows[i])
                             : programs[i]->PressOk(windows[i]));
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].arguments);
    ProcessResult run = programs[i]->Wait();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, kBanner) << "the banner and nothing else";
  }
  EXPECT_FALSE(std::filesystem::exists(PrfPath()));
  ExpectNothingRegistered();
}

TEST_F(EndToEnd, LineBreakInAnArgumentIsRefused) {
  WriteFileBytes(PrfPath(), "earlier profile");
  for (const char* arguments : {"\"server\n1\" jsmith", "server1 \"j\rsmith\""}) {
    SCOPED_TRACE(arguments);
    ProcessResult run = Run({arguments});
    EXPECT_EQ(run.exitCode, 1);
    const std::string error = run.output.substr(kBanner.size());
    EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
    EXPECT_EQ(run.output.find(kSuccessLine), std::string::npos);
    EXPECT_EQ(ReadFileBytes(PrfPath()), "earlier profile");
    ExpectNothingRegistered();
  }
}

// Event Viewer shows an event's description as the exe's message table
// gives it, looked up by the event's whole identifier: for every failure
// class, it is the event's string itself, the error line, and nothing else.
TEST(MessageTable, EachEventIdShowsTheErrorLineAsItIs) {
  const std::string program = ProgramPath();
  const std::wstring exe(program.begin(), program.end());
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "error " << GetLastError();
  const std::wstring line =
      L"Error: The user name \"\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\" has 100% of it; %2 stays.";
  for (const wm::FailureClassEntry& entry : wm::kFailureClasses) {
    const unsigned long identifier = wm::EventIdentifier(entry.failureClass);
    SCOPED_TRACE(entry.eventId);
    EXPECT_EQ(identifier & 0xFFFF, entry.eventId);
    EXPECT_EQ(identifier >> 30, 3u) << "the Error severity";
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(line.c_str())};
    wchar_t text[1024] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module,
                       identifier, 0, text, 1024, reinterpret_cast<va_list*>(inserts));
    ASSERT_NE(length, 0u) << "no message for this ID: error " << GetLastError();
    EXPECT_TRUE(std::wstring(text, length) == line) << "the description differs from the line";
  }
  FreeLibrary(module);
}

// The shipped program's own resources, read from its file.
class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << ProgramPath();
  }
  void TearDown() override {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  std::string Resource(LPCSTR type, int id) {
    HRSRC info = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) {
      return {};
    }
    HGLOBAL data = LoadResource(module_, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return bytes != nullptr ? std::string(bytes, SizeofResource(module_, info)) : std::string();
  }
  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, VersionInformationNamesTheProductAndItsVersion) {
  std::string path = ProgramPath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
  auto text = [&](const char* name) {
    std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), key.c_str(), &value, &length) || value == nullptr) {
      return std::string("(missing)");
    }
    return std::string(static_cast<const char*>(value));
  };
  EXPECT_EQ(text("ProductName"), "Wendelmarquistone");
  EXPECT_EQ(text("CompanyName"), "Brackenhulme");
  EXPECT_EQ(text("FileVersion"), WM_VERSION_DATE);
  EXPECT_EQ(text("ProductVersion"), WM_VERSION_DATE);
  EXPECT_EQ(text("FileDescription"), "Outlook profile generator for Exchange");
  EXPECT_EQ(text("OriginalFilename"), "Wendelmarquistone.exe");
  EXPECT_EQ(text("LegalCopyright"), "Copyright (C) The Wendelmarquistone authors. MIT License.");
  void* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", &fixed, &length));
  auto* version = static_cast<VS_FIXEDFILEINFO*>(fixed);
  const unsigned numbers[] = {WM_VERSION_NUMBERS};
  EXPECT_EQ(version->dwFileVersionMS, (numbers[0] << 16) | numbers[1]);
  EXPECT_EQ(version->dwFileVersionLS, (numbers[2] << 16) | numbers[3]);
  EXPECT_EQ(std::string(WM_VERSION_DATE),
            std::to_string(numbers[0]) + (numbers[1] < 10 ? "0" : "") + std::to_string(numbers[1]) +
                (numbers[2] < 10 ? "0" : "") + std::to_string(numbers[2]))
      << "the two forms of the version agree";
}

TEST_F(ProgramResources, ManifestAsksForTheInvokersRightsDpiAwarenessAndCommonControls6) {
  std::string manifest = Resource(RT_MANIFEST, 1);  // the process's own
  ASSERT_FALSE(manifest.empty());
  for (const char* part : {
           "level=\"asInvoker\"",
           "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true",
           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
           "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
       }) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

TEST_F(ProgramResources, BannerIsAJpegOf371By85Pixels) {
  std::string jpeg = Resource(RT_RCDATA, WM_RESOURCE_BANNER);
  ASSERT_GT(jpeg.size(), 3u);
  EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, jpeg.size());
  ASSERT_NE(copy, nullptr);
  std::memcpy(GlobalLock(copy), jpeg.data(), jpeg.size());
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(copy, TRUE, &stream), S_OK);
  IPicture* picture = nullptr;
  HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(jpeg.size()), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&picture));
  stream->Release();
  ASSERT_EQ(loaded, S_OK);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  picture->Release();
  // HIMETRIC is hundredths of a millimetre; 2540 of them make an inch.
  EXPECT_EQ(MulDiv(width, 96, 2540), 371);
  EXPECT_EQ(MulDiv(height, 96, 2540), 85);
}

}  // namespace
}  // namespace wmtest
