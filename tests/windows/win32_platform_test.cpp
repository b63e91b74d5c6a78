// The Win32 backend against the real system (Wine, with Mesa behind WGL,
// when run by tests/windows/wine-test.sh): the registry, window classes
// and the message thunk, waiting, the saver's pixel-format attempts on the
// system's own formats, the swap interval, and file replacement.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/test_screensaver.h"
#include "platform/file.h"
#include "platform/native_platform.h"
#include "platform/platform.h"
#include "render/rendering.h"
#include "tests/support/host_fixture.h"
#include "tests/support/test_support.h"

// <windows.h> defines macros with the names of plat's hives and functions:
// what the tests need of plat is named before it comes in.
namespace {
const plat::Hive kUserHive = plat::HKEY_CURRENT_USER;
const plat::Hive kMachineHive = plat::HKEY_LOCAL_MACHINE;
}  // namespace

#include <windows.h>

#include <GL/gl.h>

#undef RegisterClass
#undef CreateWindow
#undef PeekMessage
#undef DispatchMessage
#undef SendMessage
#undef DefWindowProc
#undef ReplaceFile

namespace {

// The native platform installed for one test.
class NativePlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcess();
        plat::Install(platform.get());
    }
    void TearDown() override {
        plat::Install(nullptr);
        ResetProcess();
    }
    std::unique_ptr<plat::Platform> platform{plat::CreateNativePlatform()};
};

const char kTestKey[] = "Software\\CorvelScreenSavers\\WavendellWin32Test";

class Win32Registry : public NativePlatformTest {
protected:
    void SetUp() override {
        NativePlatformTest::SetUp();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        Set(key, "Dir", REG_SZ, "C:\\Fountains", 13);
        const std::string longValue(600, 'x');
        Set(key, "Long", REG_SZ, longValue.c_str(), (DWORD)longValue.size() + 1);
        Set(key, "Bare", REG_SZ, "D:\\Show", 7);  // stored without its terminator
        const DWORD number = 7;
        Set(key, "Number", REG_DWORD, &number, sizeof number);
        // As administrators deploy it, and a folder outside the code page.
        SetWide(key, L"Expand", REG_EXPAND_SZ, L"%SystemRoot%\\Fountains");
        SetWide(key, L"Wide", REG_SZ, L"C:\\Program Files\\\u5674\u6c34 Test");
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        NativePlatformTest::TearDown();
    }
    static void Set(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size));
    }
    static void SetWide(HKEY key, const wchar_t* name, DWORD type, const wchar_t* text) {
        const DWORD bytes = (DWORD)((wcslen(text) + 1) * sizeof(wchar_t));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, (const BYTE*)text, bytes));
    }
    std::string Read(const char* name, size_t size = 512) {
        std::vector<char> buf(size, '?');
        if (!platform->ReadRegistryValue(kUserHive, kTestKey, name, buf.data(), size))
            return "(none)";
        return buf.data();
    }
};

TEST_F(Win32Registry, ReadsStringValuesOfTheKeyUnderEachHive) {
    EXPECT_TRUE(platform->OpenRegistryKey(kUserHive, kTestKey));
    EXPECT_FALSE(platform->OpenRegistryKey(kMachineHive, kTestKey));
    EXPECT_FALSE(platform->OpenRegistryKey(kUserHive, "Software\\CorvelScreenSavers\\Absent"));
    EXPECT_EQ("C:\\Fountains", Read("Dir"));
    EXPECT_EQ("D:\\Show", Read("Bare"));
    EXPECT_EQ("C:\\Fountains", Read("dir"));  // names compare without case
    // Values that do not fit, are not text or are missing read as absent.
    EXPECT_EQ("(none)", Read("Long"));
    EXPECT_EQ("(none)", Read("Dir", 12));  // no room for the terminator
    EXPECT_EQ("C:\\Fountains", Read("Dir", 13));
    EXPECT_EQ("(none)", Read("Number"));
    EXPECT_EQ("(none)", Read("Absent"));
    // Expanded, and in UTF-8.
    char root[MAX_PATH] = "";
    ASSERT_NE(0u, GetEnvironmentVariableA("SystemRoot", root, sizeof root));
    EXPECT_EQ(std::string(root) + "\\Fountains", Read("Expand"));
    EXPECT_EQ("C:\\Program Files\\\xe5\x99\xb4\xe6\xb0\xb4 Test", Read("Wide"));
}

// Every message the test window's procedure saw.
struct Seen {
    uint32_t message;
    plat::WPARAM wParam;
    plat::LPARAM lParam;
};
std::vector<Seen> g_seen;

plat::LRESULT RecordingProc(plat::HWND hwnd, uint32_t message, plat::WPARAM wParam,
                            plat::LPARAM lParam) {
    g_seen.push_back(Seen{message, wParam, lParam});
    if (message == WM_USER + 1) return 42;
    return plat::Current().DefWindowProc(hwnd, message, wParam, lParam);
}

bool SawMessage(uint32_t message) {
    for (const Seen& s : g_seen)
        if (s.message == message) return true;
    return false;
}

const char kTestClass[] = "WavendellWin32TestClass";

// The test class, registered once per process as Windows keeps classes.
bool RegisterTestClass(plat::Platform& p) {
    static const bool registered =
        p.RegisterClass(kTestClass, RecordingProc, CS_OWNDC | CS_HREDRAW | CS_VREDRAW);
    return registered;
}

class Win32Windows : public NativePlatformTest {
protected:
    void SetUp() override {
        NativePlatformTest::SetUp();
        ASSERT_TRUE(RegisterTestClass(*platform));
        g_seen.clear();
    }
    plat::HWND Open(int w = 160, int h = 120) {
        return platform->CreateWindow(kTestClass, "test", WS_POPUP | WS_VISIBLE, 10, 20, w, h, 0);
    }
    void Drain() {
        plat::MSG msg;
        while (platform->PeekMessage(&msg, 0)) platform->DispatchMessage(msg);
    }
};

TEST_F(Win32Windows, ClassesAreRealWithTheirStylesArrowAndNoBrush) {
    EXPECT_FALSE(platform->RegisterClass(kTestClass, RecordingProc, 0));  // exists already
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), kTestClass, &wc));
    EXPECT_EQ((UINT)(CS_OWNDC | CS_HREDRAW | CS_VREDRAW), wc.style);
    EXPECT_EQ(LoadCursorA(nullptr, (LPCSTR)IDC_ARROW), wc.hCursor);
    EXPECT_EQ(nullptr, wc.hbrBackground);
}

TEST_F(Win32Windows, TheThunkForwardsCreationPostedSentAndDestructionMessages) {
    const plat::HWND hwnd = Open();
    ASSERT_NE(0u, hwnd);
    // Creation and the first size arrive inside CreateWindow.
    ASSERT_FALSE(g_seen.empty());
    EXPECT_TRUE(SawMessage(WM_CREATE));
    bool sized = false;
    for (const Seen& s : g_seen)
        sized = sized || (s.message == WM_SIZE && s.lParam == MAKELPARAM(160, 120));
    EXPECT_TRUE(sized);
    int w = 0, h = 0;
    ASSERT_TRUE(platform->GetClientRect(hwnd, &w, &h));
    EXPECT_EQ(160, w);
    EXPECT_EQ(120, h);
    EXPECT_TRUE(platform->IsWindowVisible(hwnd));

    // A posted monitor power-down comes out of the queue as it went in.
    Drain();
    g_seen.clear();
    ASSERT_TRUE(PostMessageA((::HWND)hwnd, WM_SYSCOMMAND, SC_MONITORPOWER, 2));
    plat::MSG msg{};
    bool found = false;
    while (!found && platform->PeekMessage(&msg, 0)) {
        found = msg.message == WM_SYSCOMMAND;
        if (!found) platform->DispatchMessage(msg);
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(hwnd, msg.hwnd);
    EXPECT_EQ((plat::WPARAM)SC_MONITORPOWER, msg.wParam);
    EXPECT_EQ(2, msg.lParam);
    platform->DispatchMessage(msg);
    EXPECT_TRUE(SawMessage(WM_SYSCOMMAND));

    EXPECT_EQ(42, platform->SendMessage(hwnd, WM_USER + 1, 0, 0));
    g_seen.clear();
    EXPECT_TRUE(platform->DestroyWindow(hwnd));
    EXPECT_TRUE(SawMessage(WM_DESTROY));
    EXPECT_TRUE(SawMessage(WM_NCDESTROY));
    EXPECT_FALSE(platform->IsWindow(hwnd));
}

TEST_F(Win32Windows, WaitingEndsWithTheTimeOrAMessage) {
    const plat::HWND hwnd = Open();
    ASSERT_NE(0u, hwnd);
    Drain();
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    platform->WaitForEvents(80);
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(idle.count(), 60);  // timer granularity allows a little less
    PostMessageA((::HWND)hwnd, WM_USER + 2, 0, 0);
    start = Clock::now();
    platform->WaitForEvents(3000);
    const auto woken = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_LT(woken.count(), 1000);
    platform->DestroyWindow(hwnd);
}

typedef const char*(WINAPI* GetExtensionsStringEXT)(void);
typedef int(WINAPI* GetSwapIntervalEXT)(void);

// The saver's three pixel-format attempts on the system's formats: the
// format set is the first attempt's that is not generic (the first format
// when all are), the trail is used only with a non-generic accumulation
// buffer, and then glAccum works.  Prints what the system offered.
TEST_F(Win32Windows, SaverPixelFormatAttemptsOnTheSystemsFormats) {
    const plat::HWND hwnd = Open(64, 64);
    ASSERT_NE(0u, hwnd);
    HDC dc = GetDC((::HWND)hwnd);
    PIXELFORMATDESCRIPTOR pfd{};
    const int count = DescribePixelFormat(dc, 1, sizeof pfd, &pfd);
    int withAccum = 0;
    for (int i = 1; i <= count; ++i)
        if (DescribePixelFormat(dc, i, sizeof pfd, &pfd) && pfd.cAccumBits) ++withAccum;
    std::printf("%d pixel formats, %d with an accumulation buffer\n", count, withAccum);

    int expected = 0;
    PIXELFORMATDESCRIPTOR last{};
    const BYTE kAccum[3] = {64, 32, 0};
    for (int attempt = 0; attempt < 3; ++attempt) {
        PIXELFORMATDESCRIPTOR want{};
        want.nSize = sizeof want;
        want.nVersion = 1;
        want.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        want.cColorBits = 32;
        want.cDepthBits = 32;
        want.cAccumBits = kAccum[attempt];
        const int index = ChoosePixelFormat(dc, &want);
        PIXELFORMATDESCRIPTOR got{};
        ASSERT_TRUE(DescribePixelFormat(dc, index, sizeof got, &got));
        std::printf(
            "attempt with %2d accumulation bits: format %d, colour %d, depth %d, "
            "accumulation %d, %s\n",
            kAccum[attempt], index, got.cColorBits, got.cDepthBits, got.cAccumBits,
            (got.dwFlags & PFD_GENERIC_FORMAT) ? "generic" : "not generic");
        last = got;
        expected = index;
        if (!(got.dwFlags & PFD_GENERIC_FORMAT)) break;
        if (attempt == 2) expected = 1;
    }
    SetupPixelFormat(hwnd);
    EXPECT_EQ(expected, GetPixelFormat(dc));
    EXPECT_EQ((last.cAccumBits && !(last.dwFlags & PFD_GENERIC_FORMAT)) ? 1 : 0, g_accumAvailable);
    std::printf("motion-blur trail: %s\n", g_accumAvailable ? "on" : "off");

    const uintptr_t context = platform->CreateContext(hwnd);
    ASSERT_NE(0u, context);
    ASSERT_TRUE(platform->MakeCurrent(hwnd, context));
    while (glGetError() != GL_NO_ERROR) {
    }
    if (g_accumAvailable) {
        glClear(GL_ACCUM_BUFFER_BIT);
        glAccum(GL_ACCUM, 0.1f);
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    }
    // Frames are paced by the saver's clock: no waiting for the display.
    auto extensions = (GetExtensionsStringEXT)(void*)wglGetProcAddress("wglGetExtensionsStringEXT");
    const std::string list = extensions ? extensions() : "";
    const bool swapControl = (" " + list + " ").find(" WGL_EXT_swap_control ") != std::string::npos;
    std::printf("WGL_EXT_swap_control %s\n", swapControl ? "offered" : "not offered");
    if (swapControl) {
        auto interval = (GetSwapIntervalEXT)(void*)wglGetProcAddress("wglGetSwapIntervalEXT");
        ASSERT_NE(nullptr, interval);
        EXPECT_EQ(0, interval());
    }
    EXPECT_TRUE(platform->SwapBuffers(hwnd));
    ReleaseDC((::HWND)hwnd, dc);
    // The window takes its contexts along.
    EXPECT_TRUE(platform->DestroyWindow(hwnd));
    EXPECT_EQ(nullptr, wglGetCurrentContext());
}

// The launch form is XScreenSaver's: on Windows its words are only text,
// and nothing here starts a saver.
class Win32Launch : public HostFixture {};

TEST_F(Win32Launch, XScreenSaverWordsAreTheConfigurationMode) {
    p.foreign[500] = plat::MemoryPlatform::Foreign{true, 200, 150};
    App().m_lpCmdLine = "--root --window-id 500";
    App().InitInstance();
    EXPECT_EQ(0, g_renderLog.setups);
    EXPECT_EQ((std::vector<bool>{true, false}), p.saverRunningCalls);
}

TEST(Win32Files, ReplaceSwapsTheContentsAndRefusesWhatItMustNotTouch) {
    TempDir dir;
    namespace fs = std::filesystem;
    const std::string path = dir.path() + "options.xml";
    ASSERT_TRUE(plat::ReplaceFile(path, "first"));  // a new file
    EXPECT_EQ("first", dir.Read("options.xml"));
    ASSERT_TRUE(plat::ReplaceFile(path, "second"));
    EXPECT_EQ("second", dir.Read("options.xml"));

    // A read-only file and a folder are left as they are.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(plat::ReplaceFile(path, "third"));
    EXPECT_EQ("second", dir.Read("options.xml"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::create_directory(dir.path() + "folder");
    EXPECT_FALSE(plat::ReplaceFile(dir.path() + "folder", "text"));
    EXPECT_TRUE(fs::is_directory(dir.path() + "folder"));

    // No temporary file is left beside them.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"folder", "options.xml"}), names);

    // A folder named outside the code page, in UTF-8; a device name is no
    // file wherever it stands.
    const std::string wide = dir.path() + "\xe5\x99\xb4\xe6\xb0\xb4\\options.xml";
    ASSERT_TRUE(fs::create_directory(fs::path(dir.path()) / L"\u5674\u6c34"));
    ASSERT_TRUE(plat::ReplaceFile(wide, "fourth"));
    std::string text;
    EXPECT_EQ(plat::FileRead::OK, plat::ReadWholeFile(wide, 100, &text));
    EXPECT_EQ("fourth", text);
    EXPECT_EQ(plat::FileRead::NOT_A_FILE, plat::ReadWholeFile(dir.path() + "NUL", 100, &text));
}

}  // namespace
