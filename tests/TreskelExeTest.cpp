// Treskel.exe from outside, as a user meets it: started under Wine, driven through window messages, its
// message boxes answered, its files and saved settings read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "WindowTesting.h"

using namespace testing_support;
using namespace window_testing;

namespace {

constexpr wchar_t kSection[] = L"Software\\Treskel\\Optionen";
const wchar_t* const kKeys[] = {L"StartDir", L"txtOptDir", L"dir2", L"dir3"};

bool ReadKey(const wchar_t* key, std::wstring& value) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, kSection, key, RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

void WriteKey(const wchar_t* key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSection, key, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The saved folders of whoever runs the test are put back afterwards.
class SavedSettings {
public:
    SavedSettings() {
        for (const wchar_t* key : kKeys) {
            std::wstring value;
            saved_.push_back({key, ReadKey(key, value), value});
        }
    }
    ~SavedSettings() {
        for (const auto& entry : saved_) {
            if (entry.present)
                WriteKey(entry.key, entry.value);
            else
                RegDeleteKeyValueW(HKEY_CURRENT_USER, kSection, entry.key);
        }
    }

private:
    struct Entry {
        const wchar_t* key;
        bool present;
        std::wstring value;
    };
    std::vector<Entry> saved_;
};

// Answers the next message box of the process with OK and returns its text.
std::wstring ConfirmMessageBox(DWORD processId) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindTopWindow(processId, L"#32770")) != nullptr; }))
        return L"(keine Meldung)";
    std::wstring text;
    for (HWND child : Descendants(box)) {
        if (GetDlgCtrlID(child) == 0xFFFF)  // the box's text
            text = Text(child);
    }
    EXPECT_EQ(Text(box), L"Treskel");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}

TEST(TreskelExe, RestoresRunsTheBatchAndSavesOnClosing) {
    const std::wstring build = Environment(L"TRESKEL_BUILD_DIR");
    ASSERT_FALSE(build.empty()) << "TRESKEL_BUILD_DIR names the build folder";
    const std::wstring exe = build + L"\\mainwindow\\Treskel.exe";
    const std::wstring home = build + L"\\mainwindow";
    SavedSettings keep;
    TempFolder start, output, typed;
    WriteBytes(typed / L"x.gz", "");
    WriteKey(L"StartDir", start.Path());
    WriteKey(L"txtOptDir", output.Path());
    const std::wstring batchFile = home + L"\\do.bat";
    const size_t before = FileExists(batchFile) ? ReadBytes(batchFile).size() : 0;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, home.c_str(),
                               &startup, &process));
    CloseHandle(process.hThread);
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopWindow(process.dwProcessId, L"TreskelForm")) != nullptr; }));
    EXPECT_EQ(Text(window), L"Treskel");

    // The folders saved last are back in their text boxes.
    HWND startBox = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (startBox = FindChild(window, L"Edit", start.Path())) != nullptr; }));
    EXPECT_NE(FindChild(window, L"Edit", output.Path()), nullptr);

    // The user types another start folder and starts the batch run.
    SendMessageW(startBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.Path().c_str()));
    HWND run = FindChild(window, L"Button", L"Kommando für alle Unterordner jetzt starten");
    ASSERT_NE(run, nullptr);
    PostMessageW(run, BM_CLICK, 0, 0);
    EXPECT_EQ(ConfirmMessageBox(process.dwProcessId),
              L"Dateiliste list.tmp wurde erstellt. Ausführung wird nun gestartet...");
    EXPECT_EQ(ConfirmMessageBox(process.dwProcessId),
              L"Die Datei " + home + L"\\do.bat wurde erzeugt und kann nun ausgeführt werden");
    const std::string added = ReadBytes(batchFile).substr(before);
    EXPECT_NE(added.find("x.gz"), std::string::npos) << added;
    EXPECT_NE(FindChild(window, L"TreskelLabel", L" 1 Dateien wurden verarbeitet"), nullptr);

    // Closing the only window ends the program and saves the four keys.
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hProcess);
    std::wstring value;
    const std::pair<const wchar_t*, std::wstring> kSaved[] = {
        {L"StartDir", typed.Path()}, {L"dir2", start.Path()}, {L"txtOptDir", output.Path()}, {L"dir3", output.Path()}};
    for (const auto& [key, expected] : kSaved) {
        SCOPED_TRACE(std::string(key, key + wcslen(key)));
        ASSERT_TRUE(ReadKey(key, value));
        EXPECT_EQ(value, expected);
    }
}

// The info window keeps the program running after the main window is gone; the last window ends it.
TEST(TreskelExe, AnOpenInfoWindowOutlivesTheMainWindow) {
    const std::wstring build = Environment(L"TRESKEL_BUILD_DIR");
    ASSERT_FALSE(build.empty()) << "TRESKEL_BUILD_DIR names the build folder";
    const std::wstring exe = build + L"\\mainwindow\\Treskel.exe";
    const std::wstring home = build + L"\\mainwindow";
    SavedSettings keep;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, home.c_str(),
                               &startup, &process));
    CloseHandle(process.hThread);
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = FindTopWindow(process.dwProcessId, L"TreskelForm", L"Treskel")) != nullptr; }));
    HWND info = FindChild(main, L"Button", L"INFO");
    ASSERT_NE(info, nullptr);
    PostMessageW(info, BM_CLICK, 0, 0);
    HWND infoWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (infoWindow = FindTopWindow(process.dwProcessId, L"TreskelForm", L"INFO")) != nullptr; }));
    EXPECT_EQ(GetWindow(infoWindow, GW_OWNER), nullptr);

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(main); }));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 1500), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(infoWindow));

    PostMessageW(infoWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
}

}  // namespace
