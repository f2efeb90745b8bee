// recorder.exe: a stand-in command for do.bat in tests. Appends its command line and its arguments, as
// the C runtime splits them, to the UTF-8 file named by TRESKEL_RECORDER_LOG, one record per start.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t logPath[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TRESKEL_RECORDER_LOG", logPath, MAX_PATH) == 0)
        return 2;
    std::wstring record = L"CALL\t" + std::wstring(GetCommandLineW()) + L"\n";
    for (int i = 1; i < argc; ++i)
        record += L"ARG\t" + std::wstring(argv[i]) + L"\n";
    const std::string bytes = Utf8(record);
    // Several starts may follow each other quickly: append under an exclusive open, retrying while busy.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) {
            Sleep(10);
            continue;
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(log);
        return ok && written == bytes.size() ? 0 : 3;
    }
    return 4;
}
