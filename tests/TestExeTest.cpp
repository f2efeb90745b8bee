// test.exe from outside: started with the arguments a line of do.bat gives it, it shows its window for about
// a second and ends by itself; closed earlier, it ends at once.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "BatchLine.h"
#include "TestFiles.h"
#include "WindowTesting.h"

using namespace testing_support;
using namespace window_testing;

namespace {

std::wstring BuildFolder() {
    return Environment(L"TRESKEL_BUILD_DIR");
}

std::wstring TestExe() {
    return BuildFolder() + L"\\testprogram\\test.exe";
}

// A started test.exe; ended by force if a test leaves it running.
class Started {
public:
    explicit Started(const std::wstring& arguments) {
        const std::wstring exe = TestExe();
        std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startTick = GetTickCount64();
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
        }
    }
    ~Started() {
        if (!process.hProcess)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    bool Running() const { return process.hProcess != nullptr; }
    HWND WaitForWindow() const {
        HWND window = nullptr;
        WaitFor([&] { return (window = FindTopWindow(process.dwProcessId, L"TreskelForm", L"Test")) != nullptr; });
        return window;
    }
    // Milliseconds from the start until the process ended, or -1 when it is still running after timeoutMs.
    long long WaitForEnd(DWORD timeoutMs) const {
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        return static_cast<long long>(GetTickCount64() - startTick);
    }

    PROCESS_INFORMATION process{};
    ULONGLONG startTick = 0;
};

// The window as laid out: caption, client area 4680 x 5160 twips (312 x 344 pixels at 96 DPI), "TEST" and
// the picture.
void ExpectTestWindow(HWND window) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window), L"Test");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 312);
    EXPECT_EQ(client.bottom, 344);
    HWND label = FindChild(window, L"TreskelLabel", L"TEST");
    ASSERT_NE(label, nullptr);
    RECT rect = RectInParent(label);
    EXPECT_EQ(rect.left, 56);
    EXPECT_EQ(rect.top, 15);
    EXPECT_EQ(rect.right - rect.left, 197);
    EXPECT_EQ(rect.bottom - rect.top, 46);
    HWND image = FindChild(window, L"TreskelImage", L"");
    ASSERT_NE(image, nullptr);
    rect = RectInParent(image);
    EXPECT_EQ(rect.left, 21);
    EXPECT_EQ(rect.top, 69);
    EXPECT_EQ(rect.right - rect.left, 268);
    EXPECT_EQ(rect.bottom - rect.top, 267);
}

// Whatever the arguments, the same window, gone by itself after about a second (the timer ticks 1000 ms after
// the load; Wine needs a moment to start the process, hence the upper bound).
TEST(TestExe, ShowsItsWindowAndEndsByItselfWhateverTheArguments) {
    struct Case {
        const char* name;
        std::wstring arguments;
    };
    const Case cases[] = {
        {"no arguments", L""},
        {"a batch line's short path and folder with blanks",
         L"C:\\USERS\\TESTER~1\\DATEIEN\\ARCHIV~1.GZ \"C:\\Mein Ordner mit Leerzeichen\\Ausgabe\\\\\""},
        {"anything else", L"/? -h --version \"\" ^& %PATH% ü"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Started test(c.arguments);
        ASSERT_TRUE(test.Running()) << "test.exe did not start";
        ExpectTestWindow(test.WaitForWindow());
        const long long ended = test.WaitForEnd(5000);
        ASSERT_NE(ended, -1) << "still running after five seconds";
        EXPECT_GE(ended, 950) << "gone before its second was over";
        EXPECT_LE(ended, 2500);
        DWORD exitCode = 1;
        GetExitCodeProcess(test.process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }
}

// Closed from its title bar before the tick, it ends at once; no tick comes after.
TEST(TestExe, ClosedByTheUserItEndsAtOnce) {
    Started test(L"");
    ASSERT_TRUE(test.Running());
    HWND window = test.WaitForWindow();
    ASSERT_NE(window, nullptr);
    const ULONGLONG closed = GetTickCount64();
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_NE(test.WaitForEnd(5000), -1);
    EXPECT_LT(GetTickCount64() - closed, 500u);
    EXPECT_FALSE(IsWindow(window));
}

// A do.bat made with the default command "test": each line starts its own window, which closes by itself.
TEST(TestExe, RunByTheLinesOfABatchFile) {
    TempFolder folder;
    MakeFolder(folder / L"Ordner mit Leerzeichen");
    WriteBytes(folder / L"a.gz", "");
    const std::wstring lines = batch::ComposeLine(L"test", folder / L"a.gz", folder / L"Ordner mit Leerzeichen") +
                               L"\r\n" + batch::ComposeLine(L"test", folder / L"a.gz", folder.Path()) + L"\r\n";
    WriteBytes(folder / L"do.bat", std::string(lines.begin(), lines.end()));

    // As the user runs it: from the program folder, where test.exe lies beside the batch file's maker.
    std::wstring commandLine = L"cmd /c \"" + (folder / L"do.bat") + L"\"";
    const std::wstring home = BuildFolder() + L"\\testprogram";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION cmd{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               home.c_str(), &startup, &cmd));
    CloseHandle(cmd.hThread);

    // Each start shows a window of its own; the lines run one after the other.
    std::vector<HWND> seen;
    bool gap = true;  // no window since the last one seen
    WaitFor(
        [&] {
            HWND window = nullptr;
            EnumWindows(
                [](HWND w, LPARAM data) -> BOOL {
                    wchar_t name[64] = {};
                    GetClassNameW(w, name, 64);
                    if (IsWindowVisible(w) && wcscmp(name, L"TreskelForm") == 0 && Text(w) == L"Test")
                        *reinterpret_cast<HWND*>(data) = w;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&window));
            if (window && (gap || seen.back() != window))
                seen.push_back(window);
            gap = window == nullptr;
            return WaitForSingleObject(cmd.hProcess, 0) == WAIT_OBJECT_0;
        },
        20000);
    EXPECT_EQ(WaitForSingleObject(cmd.hProcess, 0), WAIT_OBJECT_0) << "do.bat did not finish";
    if (WaitForSingleObject(cmd.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(cmd.hProcess, 1);
    CloseHandle(cmd.hProcess);
    EXPECT_EQ(seen.size(), 2u);
    for (HWND window : seen)
        EXPECT_FALSE(IsWindow(window));
}

// Not a check: a picture of the test window while it shows, for looking at. Runs when TRESKEL_SCREENSHOT_DIR
// names a folder.
TEST(TestExe, Screenshot) {
    const std::wstring folder = Environment(L"TRESKEL_SCREENSHOT_DIR");
    if (folder.empty())
        GTEST_SKIP() << "set TRESKEL_SCREENSHOT_DIR to save the picture";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the picture is written with WIC
    Started test(L"");
    HWND window = test.WaitForWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    Sleep(300);  // the other process paints in its own time
    EXPECT_TRUE(SaveScreenshot(window, folder + L"\\test-window.png"));
    test.WaitForEnd(5000);
    CoUninitialize();
}

}  // namespace
