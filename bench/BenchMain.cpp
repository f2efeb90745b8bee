// treskel_bench: times, on one folder tree, the bare listing, Treskel's batch run as the main window drives
// it, and the for /r one-liner a user could type instead. After a warm-up round it runs the three in turn,
// round after round, and prints every time, the medians, the ratios and the peak working set of the run.
// Use: treskel_bench <tree> <work folder> [rounds]    (scripts/bench.sh sets up the trees and the pinning)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "Module1.h"

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

// Ends the benchmark with what failed and the system's reason.
[[noreturn]] void Fail(const std::wstring& what, DWORD error = GetLastError()) {
    const std::string reason = error == ERROR_SUCCESS ? "" : ": " + Utf8(Module1::SystemReason(error));
    std::fprintf(stderr, "treskel_bench: %s%s\n", Utf8(what).c_str(), reason.c_str());
    std::exit(1);
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return static_cast<double>(value.QuadPart) / frequency;
}

double MiB(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        Fail(L"GetProcessMemoryInfo");
    return counters.PeakWorkingSetSize;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Removes a file left by the previous round; a missing one is fine.
void RemoveFile(const std::wstring& path) {
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        Fail(L"cannot delete " + path);
}

// Lines of an 8-bit text file (its LF bytes); 0 when it is missing.
long long CountFileLines(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<char> buffer(1 << 16);
    long long lines = 0;
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        lines += std::count(buffer.begin(), buffer.begin() + got, '\n');
    CloseHandle(file);
    return lines;
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) {
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

std::wstring SystemCmd() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        Fail(L"GetSystemDirectoryW");
    return InFolder(folder, L"cmd.exe");
}

// Runs a command line in a cmd of its own, started the way the batch run starts its listing (a new console
// in a normal window), and returns the seconds from the start to its end.
double TimeCommand(const std::wstring& commandLine, const std::wstring& folder) {
    static const std::wstring cmd = SystemCmd();
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        folder.c_str(), &startup, &process))
        Fail(L"cannot start " + commandLine);
    const DWORD waited = WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = Now() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0)
        Fail(L"cannot wait for " + commandLine);
    if (exitCode != 0)
        Fail(L"exit code " + std::to_wstring(exitCode) + L" from " + commandLine, ERROR_SUCCESS);
    return seconds;
}

// The batch run's window: a frame with a bordered status label where the main window has lblStatus. Each
// status text is painted before SetStatus returns, as in the main window; message boxes are confirmed at once.
class StatusWindow : public batch::RunHost {
public:
    StatusWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = L"TreskelBenchWindow";
        if (!RegisterClassW(&windowClass))
            Fail(L"RegisterClassW");
        RECT frame{0, 0, 688, 402};   // the main window's client area at 96 DPI
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"Treskel", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        if (!window_)
            Fail(L"CreateWindowExW (window)");
        // lblStatus: 105, 5535, 9255 x 285 twips.
        label_ = CreateWindowExW(0, L"STATIC", L"Status", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_LEFTNOWORDWRAP,
                                 7, 369, 617, 19, window_, nullptr, windowClass.hInstance, nullptr);
        if (!label_)
            Fail(L"CreateWindowExW (label)");
        SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    ~StatusWindow() { DestroyWindow(window_); }
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

    void SetStatus(const std::wstring& text) override {
        SetWindowTextW(label_, text.c_str());
        UpdateWindow(label_);
        ++statusTexts;
    }
    void RefreshWindow() override {
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }

    // Handles what waits in the queue; between two timings only, never during one.
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    long long statusTexts = 0;
    std::vector<std::wstring> messages;

private:
    HWND window_ = nullptr;
    HWND label_ = nullptr;
};

struct RoundTimes {
    double listing;
    double run;
    double oneLiner;
};

struct RoundCounts {
    int listed = 0;             // lines of the listing
    int runLines = 0;           // lines the run wrote to do.bat
    long long oneLinerLines = 0;  // lines the one-liner wrote to peer.bat
    long long statusTexts = 0;  // status texts the run painted
};

class Bench {
public:
    Bench(std::wstring tree, std::wstring work) : tree_(std::move(tree)), work_(std::move(work)) {
        inputs_.startFolder = tree_;
        inputs_.outputFolder = work_;
        inputs_.extension = L"gz";
        inputs_.command = L"test";
        inputs_.targetIsOutputFolder = false;
        inputs_.programFolder = work_;
    }

    RoundTimes Round(RoundCounts& counts) {
        RoundTimes times{};
        const std::wstring listPath = InFolder(work_, L"listing.tmp");
        RemoveFile(listPath);
        window_.Pump();
        times.listing = TimeCommand(L"cmd /u /c dir " + tree_ + L" /b /s >" + listPath, work_);
        counts.listed = Module1::CountLines(listPath, 0);

        RemoveFile(InFolder(work_, L"do.bat"));
        window_.Pump();
        window_.messages.clear();
        window_.statusTexts = 0;
        const double start = Now();
        const batch::RunResult result = batch::RunBatch(inputs_, window_);
        times.run = Now() - start;
        if (!result.completed) {
            for (const auto& message : window_.messages)
                std::fprintf(stderr, "%s\n", Utf8(message).c_str());
            Fail(L"the batch run did not complete", ERROR_SUCCESS);
        }
        counts.runLines = result.processed;
        counts.statusTexts = window_.statusTexts;

        const std::wstring peerPath = InFolder(work_, L"peer.bat");
        RemoveFile(peerPath);
        window_.Pump();
        times.oneLiner =
            TimeCommand(L"cmd /c for /r " + tree_ + L" %f in (*.gz) do @echo cmd /c test %~sf %~dpf>>peer.bat", work_);
        counts.oneLinerLines = CountFileLines(peerPath);
        return times;
    }

private:
    std::wstring tree_;
    std::wstring work_;
    batch::RunInputs inputs_;
    StatusWindow window_;
};

// The warm-up round, the timed rounds and the summary.
int Measure(const std::wstring& tree, const std::wstring& work, int rounds) {
    Bench bench(tree, work);
    const SIZE_T peakBefore = PeakWorkingSet();
    RoundCounts counts;
    const RoundTimes warmUp = bench.Round(counts);
    std::printf("tree %s: %d entries listed; the run wrote %d lines and painted %lld status texts, "
                "the one-liner wrote %lld lines\n",
                Utf8(tree).c_str(), counts.listed, counts.runLines, counts.statusTexts, counts.oneLinerLines);
    std::printf("warm-up   listing %7.2f s   run %7.2f s   one-liner %7.2f s\n", warmUp.listing, warmUp.run,
                warmUp.oneLiner);
    std::fflush(stdout);

    std::vector<double> listing, run, oneLiner;
    for (int i = 1; i <= rounds; ++i) {
        const RoundTimes times = bench.Round(counts);
        listing.push_back(times.listing);
        run.push_back(times.run);
        oneLiner.push_back(times.oneLiner);
        std::printf("round %-3d listing %7.2f s   run %7.2f s   one-liner %7.2f s\n", i, times.listing, times.run,
                    times.oneLiner);
        std::fflush(stdout);
    }

    const double medianListing = Median(listing);
    const double medianRun = Median(run);
    const double medianOneLiner = Median(oneLiner);
    const SIZE_T peak = PeakWorkingSet();
    std::printf("median of %d: listing %.2f s, run %.2f s, one-liner %.2f s; run/listing %.2f, "
                "run/one-liner %.2f; peak working set %.1f MiB (%.1f MiB before the first run)\n",
                rounds, medianListing, medianRun, medianOneLiner, medianRun / medianListing,
                medianRun / medianOneLiner, MiB(peak), MiB(peakBefore));
    std::printf("RESULT entries=%d listing=%.3f run=%.3f oneliner=%.3f peak_mib=%.1f\n", counts.listed,
                medianListing, medianRun, medianOneLiner, MiB(peak));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "use: treskel_bench <tree> <work folder> [rounds]\n");
        return 2;
    }
    const std::wstring tree = argv[1];
    const std::wstring work = argv[2];
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    if (!Module1::FolderExists(tree) || !Module1::FolderExists(work))
        Fail(L"no folder " + tree + L" or " + work, ERROR_PATH_NOT_FOUND);

    try {
        return Measure(tree, work, rounds);
    } catch (const Module1::Failure& failure) {
        Fail(failure.what, failure.error);
    }
}
