// The batch run: folder check, listing into list.tmp, one pass over the list, lines appended to do.bat.
#include "BatchRun.h"

#include <windows.h>

#include "BatchLine.h"
#include "Module1.h"
#include "ShortPathCache.h"

namespace batch {

using Module1::Failure;
using Module1::UniqueHandle;

namespace {

constexpr size_t kMaxLineLength = 8191;  // the longest command line cmd accepts
constexpr size_t kMaxListedUnwritten = 30;

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) {
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring SystemCmd() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        throw Failure{L"Der Systemordner mit cmd.exe wurde nicht gefunden.", GetLastError()};
    return InFolder(folder, L"cmd.exe");
}

// Has cmd write the bare recursive listing as UTF-16 (/u) into the list file, in a normal window.
// Returns the process so the run can wait for the listing to end.
UniqueHandle StartListing(const std::wstring& startFolder, const std::wstring& listPath) {
    // An old list that cannot be replaced would be read as if it were new: remove it first.
    if (!DeleteFileW(listPath.c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            throw Failure{L"Die Dateiliste \"" + listPath + L"\" kann nicht ersetzt werden.", error};
    }
    const std::wstring application = SystemCmd();
    std::wstring commandLine =
        L"cmd /u /c  dir " + ListingPiece(startFolder) + L" /b /s >" + ListingPiece(listPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &process))
        throw Failure{L"Die Dateiliste kann nicht erstellt werden: \"" + application + L"\" startet nicht.",
                      GetLastError()};
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// Appends lines to do.bat. Opens the file at the first line (a run without matches leaves it as it was),
// keeps it open for the run and writes each line with one write, so it is in the file before the next
// entry is looked at. A write that fails halfway is cut back: no half line stays behind.
class BatchFileWriter {
public:
    explicit BatchFileWriter(std::wstring path) : path_(std::move(path)) {}

    void Append(const std::string& bytes) {
        if (!file_.Valid())
            Open();
        DWORD written = 0;
        if (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            const DWORD error = written != bytes.size() && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL
                                                                                            : GetLastError();
            LARGE_INTEGER back{};
            back.QuadPart = end_;
            if (SetFilePointerEx(file_.Get(), back, nullptr, FILE_BEGIN))
                SetEndOfFile(file_.Get());
            throw Failure{L"In die Batchdatei \"" + path_ + L"\" kann nicht geschrieben werden.", error};
        }
        end_ += written;
    }

private:
    void Open() {
        file_ = UniqueHandle(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_.Valid())
            throw Failure{L"Die Batchdatei \"" + path_ + L"\" kann nicht geöffnet werden.", GetLastError()};
        LARGE_INTEGER zero{}, end{};
        if (!SetFilePointerEx(file_.Get(), zero, &end, FILE_END))
            throw Failure{L"Das Ende der Batchdatei \"" + path_ + L"\" ist nicht erreichbar.", GetLastError()};
        end_ = end.QuadPart;
    }

    std::wstring path_;
    UniqueHandle file_;
    long long end_ = 0;
};

std::wstring CharacterName(const std::wstring& character) {
    wchar_t code[16] = {};
    unsigned value = character[0];
    if (character.size() == 2)
        value = 0x10000 + ((character[0] - 0xD800u) << 10) + (character[1] - 0xDC00u);
    wsprintfW(code, L"U+%04X", value);
    return L"\"" + character + L"\" (" + code + L")";
}

// A text that must stand in do.bat as it is (the command, the output folder as target): every character
// has to exist in the batch file's code page.
bool CheckEncodable(const std::wstring& text, const wchar_t* what, UINT codePage, RunHost& host) {
    const std::wstring bad = FirstUnencodable(text, codePage);
    if (bad.empty())
        return true;
    host.ShowMessage(L"Das Zeichen " + CharacterName(bad) + L" " + what +
                     L" kann in der Batchdatei nicht dargestellt werden (Codepage " + std::to_wstring(codePage) +
                     L").\r\n\r\nEs wurde nichts erzeugt.");
    return false;
}

std::wstring UnwrittenMessage(const std::vector<std::wstring>& entries, UINT codePage) {
    std::wstring message = L"Für " + std::to_wstring(entries.size()) +
                           L" Datei(en) wurde keine Zeile in do.bat geschrieben, weil ihr Pfad Zeichen enthält, "
                           L"die die Codepage " + std::to_wstring(codePage) +
                           L" nicht kennt, oder die Zeile länger als 8191 Zeichen wäre:\r\n";
    for (size_t i = 0; i < entries.size() && i < kMaxListedUnwritten; ++i)
        message += L"\r\n" + entries[i];
    if (entries.size() > kMaxListedUnwritten)
        message += L"\r\n... und " + std::to_wstring(entries.size() - kMaxListedUnwritten) + L" weitere";
    return message;
}

}  // namespace

RunResult RunBatch(const RunInputs& in, RunHost& host) {
    RunResult result;

    // Both folders are checked, also the output folder when the lines do not use it.
    const bool outputExists = Module1::FolderExists(in.outputFolder);
    const bool startExists = Module1::FolderExists(in.startFolder);
    if (!outputExists || !startExists) {
        std::wstring message;
        if (!startExists)
            message = L"Start Verzeichnis nicht gefunden: " + in.startFolder;
        if (!outputExists)
            message += (message.empty() ? L"" : L"\r\n") + std::wstring(L"Ausgabe-Verzeichnis nicht gefunden: ") +
                       in.outputFolder;
        host.ShowMessage(message);
        return result;
    }

    const UINT codePage = BatchFileCodePage();
    if (!CheckEncodable(in.command, L"im Kommando", codePage, host))
        return result;
    if (in.targetIsOutputFolder && !CheckEncodable(in.outputFolder, L"im Ausgabe-Verzeichnis", codePage, host))
        return result;

    std::wstring home = Module1::ShortPath(in.programFolder);
    if (home.empty())
        home = in.programFolder;
    const std::wstring listPath = InFolder(home, L"list.tmp");
    const std::wstring batchPath = InFolder(home, L"do.bat");
    const std::wstring extension = L"." + in.extension;

    try {
        UniqueHandle listing = StartListing(in.startFolder, listPath);
        host.ShowMessage(L"Dateiliste list.tmp wurde erstellt. Ausführung wird nun gestartet...");
        // Read only a finished list: a listing still running would leave entries out.
        if (WaitForSingleObject(listing.Get(), INFINITE) != WAIT_OBJECT_0)
            throw Failure{L"Das Ende der Dateiliste kann nicht abgewartet werden.", GetLastError()};

        const int32_t count = Module1::CountLines(listPath, 0);
        Module1::ListFileReader reader(listPath);
        BatchFileWriter batchFile(batchPath);
        ShortPathCache shortPaths;
        std::wstring entry;
        // Index i gets the i-th piece of the list, as ReadListLine(list, i) would; past the last piece it
        // would give the empty text, which never matches, so the loop may end there.
        for (int32_t i = 1; i <= count && reader.Next(entry); ++i) {
            if (Module1::ExtensionOfPath(entry) != extension)
                continue;
            const std::wstring shortPath = shortPaths.Of(entry);
            const std::wstring target = in.targetIsOutputFolder ? in.outputFolder : Module1::FolderOfPath(entry);
            std::wstring line = ComposeLine(in.command, shortPath, target);
            std::optional<std::string> bytes = EncodeExactly(line, codePage);
            if (!bytes && !in.targetIsOutputFolder) {
                // A folder name the code page lacks may still have a short form it can hold.
                const std::wstring shortTarget = Module1::ShortPath(target);
                if (!shortTarget.empty()) {
                    line = ComposeLine(in.command, shortPath, shortTarget);
                    bytes = EncodeExactly(line, codePage);
                }
            }
            if (!bytes || line.size() > kMaxLineLength) {
                result.unwritten.push_back(entry);
                continue;
            }
            batchFile.Append(*bytes + "\r\n");
            ++result.processed;
            host.SetStatus(entry);
        }
    } catch (const Failure& failure) {
        host.SetStatus(L"Abgebrochen nach " + std::to_wstring(result.processed) +
                       L" Zeilen: " + failure.what);
        host.RefreshWindow();
        host.ShowMessage(Module1::Describe(failure));
        return result;
    }

    host.SetStatus(L" " + std::to_wstring(result.processed) + L" Dateien wurden verarbeitet");
    host.RefreshWindow();
    if (!result.unwritten.empty())
        host.ShowMessage(UnwrittenMessage(result.unwritten, codePage));
    host.ShowMessage(L"Die Datei " + in.programFolder + L"\\do.bat wurde erzeugt und kann nun ausgeführt werden");
    result.completed = true;
    return result;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const DWORD longLength = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (longLength > 0) {
        std::wstring longPath(longLength, L'\0');
        const DWORD written = GetLongPathNameW(path.c_str(), longPath.data(), longLength);
        if (written > 0 && written < longLength) {
            longPath.resize(written);
            path = longPath;
        }
    }
    path.erase(path.find_last_of(L'\\') + 1);
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();  // "C:\Tools\" -> "C:\Tools"; a root keeps its backslash
    return path;
}

}  // namespace batch
