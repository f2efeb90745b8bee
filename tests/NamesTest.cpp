// Hostile and international names: a whole batch run over them, then do.bat run by cmd with a recorder
// as the command. Every matching file must arrive as exactly two arguments, and nothing else may run.
//
// Wine differs from Windows in two ways that matter here: its short names are hashed ASCII (Windows keeps
// OEM letters such as ü in 8.3 names, or has no short names where they are switched off), and its cmd
// re-expands % inside a batch script's %~1. The lines are written for documented Windows behaviour; the
// checks below hold for both, since they compare long paths and never use %~1.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "BatchLine.h"
#include "BatchRun.h"
#include "Module1.h"
#include "TestFiles.h"

using namespace testing_support;

namespace {

struct Call {
    std::wstring commandLine;
    std::vector<std::wstring> args;
};

std::wstring FromUtf8(const std::string& bytes) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
    return text;
}

std::vector<Call> ReadLog(const std::wstring& path) {
    std::vector<Call> calls;
    if (!FileExists(path))
        return calls;
    const std::wstring text = FromUtf8(ReadBytes(path));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        if (line.rfind(L"CALL\t", 0) == 0)
            calls.push_back({line.substr(5), {}});
        else if (line.rfind(L"ARG\t", 0) == 0 && !calls.empty())
            calls.back().args.push_back(line.substr(4));
        start = end + 1;
    }
    return calls;
}

std::wstring LongPath(const std::wstring& path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length == 0)
        return L"<no long path for " + path + L">";
    std::wstring result(length, L'\0');
    result.resize(GetLongPathNameW(path.c_str(), result.data(), length));
    return result;
}

std::wstring WithBackslash(std::wstring path) {
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
}

// Runs do.bat the way a user would, with cmd, in the given current folder; its own output is discarded.
void RunBatchFile(const std::wstring& batchPath, const std::wstring& currentFolder) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    std::wstring commandLine = L"cmd /c " + batchPath;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    startup.hStdInput = nul;
    PROCESS_INFORMATION process{};
    // Under heavy load Wine has been seen to refuse a start once; a user would simply run do.bat again.
    BOOL started = FALSE;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 currentFolder.c_str(), &startup, &process);
        if (!started) {
            error = GetLastError();
            Sleep(500);
        }
    }
    CloseHandle(nul);
    ASSERT_TRUE(started) << "cmd does not start, error " << error;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Relative paths below the start folder whose extension is ".gz", at several depths; folders included.
const wchar_t* const kMatches[] = {
    L"Meine Dateien\\a b.gz",
    L"Meine Dateien\\Sub Dir\\deep & deeper\\z.gz",
    L"Tom & Jerry\\t&j.gz",
    L"Angebot (2)\\x(1).gz",
    L"100%\\p%q.gz",
    L"%OS%\\v.gz",
    L"a,b;c=d\\e^f.gz",
    L"Bang!\\bang!.gz",
    L"Grüße\\Straße.gz",
    L"Ärger\\öl ß.gz",
    L"\u03A9\u03BC\u03AD\u03B3\u03B1\\\u03B1.gz",
    L"\u4E2D\u6587\\\u6587\u4EF6.gz",
    L"dir.gz",
    L"dir.gz\\inner.gz",
    L"x y.gz",
    L"a & mkdir INJECTED & b.gz",
    L"^caret^ %PATH%.gz",
};

struct NamesFixture {
    TempFolder root;
    std::wstring tree = root / L"Baum";
    std::wstring home = root / L"prog";
    std::wstring output = root / L"Ziel Ordner & Co";
    std::wstring quotedRecorder;
    std::wstring plainRecorder;
    std::wstring log = root / L"calls.log";
    std::wstring current = root / L"cwd";

    NamesFixture() {
        for (const std::wstring& folder : {tree, home, output, current, root / L"Rec Ord", root / L"rec"})
            MakeFolder(folder);
        for (const wchar_t* folder : {L"Meine Dateien", L"Meine Dateien\\Sub Dir", L"Meine Dateien\\Sub Dir\\deep & deeper",
                                      L"Tom & Jerry", L"Angebot (2)", L"100%", L"%OS%", L"a,b;c=d", L"Bang!", L"Grüße",
                                      L"Ärger", L"\u03A9\u03BC\u03AD\u03B3\u03B1", L"\u4E2D\u6587", L"dir.gz", L"x y.gz"})
            MakeFolder(tree + L"\\" + folder);
        for (const wchar_t* file : kMatches) {
            const std::wstring path = tree + L"\\" + file;
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
                WriteBytes(path, "");
        }
        WriteBytes(tree + L"\\Tom & Jerry\\skip.txt", "");
        WriteBytes(tree + L"\\Grüße\\UPPER.GZ", "");

        const std::wstring built = Environment(L"TRESKEL_BUILD_DIR") + L"\\tests\\recorder.exe";
        const std::wstring quotedExe = root / L"Rec Ord\\recorder.exe";
        const std::wstring plainExe = root / L"rec\\recorder.exe";
        EXPECT_TRUE(CopyFileW(built.c_str(), quotedExe.c_str(), FALSE)) << "recorder.exe is built beside the tests";
        EXPECT_TRUE(CopyFileW(built.c_str(), plainExe.c_str(), FALSE));
        quotedRecorder = L"\"" + quotedExe + L"\"";
        plainRecorder = plainExe;
        SetEnvironmentVariableW(L"TRESKEL_RECORDER_LOG", log.c_str());
    }

    batch::RunInputs Inputs(const std::wstring& command, bool toOutput, const std::wstring& outputText) const {
        batch::RunInputs in;
        in.startFolder = tree;
        in.outputFolder = outputText;
        in.extension = L"gz";
        in.command = command;
        in.targetIsOutputFolder = toOutput;
        in.programFolder = home;
        return in;
    }
};

TEST(Names, EveryFileArrivesAsExactlyTwoArguments) {
    NamesFixture f;
    const struct {
        const char* name;
        bool quotedCommand;
        bool toOutput;
        bool trailingBackslash;
    } cases[] = {
        {"own folder, command in quotes with blanks", true, false, false},
        {"own folder, plain command", false, false, false},
        {"output folder typed without backslash", true, true, false},
        {"output folder typed with backslash", false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW((f.home + L"\\do.bat").c_str());
        DeleteFileW(f.log.c_str());
        const std::wstring outputText = c.trailingBackslash ? f.output + L"\\" : f.output;
        RecordingHost host;
        const batch::RunResult result = batch::RunBatch(
            f.Inputs(c.quotedCommand ? f.quotedRecorder : f.plainRecorder, c.toOutput, outputText), host);
        ASSERT_TRUE(result.completed);
        EXPECT_TRUE(result.unwritten.empty());
        EXPECT_EQ(result.processed, static_cast<int>(std::size(kMatches)));

        // The status line showed every matching entry's long path exactly, in the order of the list.
        std::set<std::wstring> shown(host.statuses.begin(), host.statuses.end() - 1);
        for (const wchar_t* match : kMatches)
            EXPECT_EQ(shown.count(f.tree + L"\\" + match), 1u);

        RunBatchFile(f.home + L"\\do.bat", f.current);
        const std::vector<Call> calls = ReadLog(f.log);
        EXPECT_EQ(calls.size(), std::size(kMatches));
        std::set<std::wstring> expected;
        for (const wchar_t* match : kMatches)
            expected.insert(f.tree + L"\\" + match);
        for (const Call& call : calls) {
            SCOPED_TRACE(testing::Message() << "call " << (&call - calls.data()));
            ASSERT_EQ(call.args.size(), 2u);
            const std::wstring file = LongPath(call.args[0]);
            EXPECT_EQ(expected.erase(file), 1u) << "an unexpected or repeated file";
            if (c.toOutput) {
                EXPECT_EQ(call.args[1], outputText);
            } else {
                const std::wstring folder = Module1::FolderOfPath(file);
                // A folder name that code page 850 cannot hold is written in its short form.
                if (batch::EncodeExactly(folder, 850))
                    EXPECT_EQ(call.args[1], folder);
                else
                    EXPECT_EQ(WithBackslash(LongPath(call.args[1])), folder);
            }
        }
        EXPECT_TRUE(expected.empty());
        // No part of a name ran as a command of its own.
        for (const std::wstring& place : {f.current, f.tree, f.home})
            EXPECT_FALSE(Module1::FolderExists(place + L"\\INJECTED"));
    }
}

// The start folder goes to dir protected: blanks, &, parentheses and separators in it list exactly that tree.
TEST(Names, StartFolderWithAmpersandParenthesesAndBlanks) {
    NamesFixture f;
    const std::wstring start = f.root / L"Tom & Jerry (x), y;z";
    MakeFolder(start);
    WriteBytes(start + L"\\only.gz", "");
    MakeFolder(f.root / L"Tom");
    WriteBytes(f.root / L"Tom\\wrong.gz", "");
    RecordingHost host;
    batch::RunInputs in = f.Inputs(L"test", false, f.output);
    in.startFolder = start;
    const batch::RunResult result = batch::RunBatch(in, host);
    EXPECT_EQ(result.processed, 1);
    EXPECT_EQ(Module1::ReadListLine(f.home + L"\\list.tmp", 1), start + L"\\only.gz");
    EXPECT_EQ(Module1::CountLines(f.home + L"\\list.tmp", 0), 1);
}

// A % in the start folder reaches cmd as a plain %, without expanding a variable such as %OS%. Checked
// with echo: Wine's dir lists a folder whose name holds a % as one entry instead of its contents (Windows
// lists the contents), so dir cannot show it here.
TEST(Names, PercentInTheStartFolderReachesCmdIntact) {
    NamesFixture f;
    const std::wstring out = f.root / L"echo.txt";
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    for (const std::wstring& folder : {f.root / L"50% & %OS% (x)", f.root / L"100%", f.root / L"%PATH%"}) {
        SCOPED_TRACE(testing::Message() << "folder length " << folder.size());
        std::wstring commandLine = L"cmd /u /c  echo " + batch::ListingPiece(folder) + L">" + out;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                                   nullptr, nullptr, &startup, &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        const std::string bytes = ReadBytes(out);
        const std::wstring echoed(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        const std::wstring expected = batch::NeedsQuotes(folder) ? L"\"" + folder + L"\"" : folder;
        EXPECT_EQ(echoed, expected + L"\r\n");
    }
}

// A command text or an output folder used as target that the batch file cannot hold stops the run before
// anything is listed, naming the character.
TEST(Names, UnencodableCommandOrOutputFolderStopsBeforeTheListing) {
    NamesFixture f;
    const std::wstring chinese = f.root / L"\u4E2D";
    MakeFolder(chinese);
    const struct {
        const char* name;
        std::wstring command;
        bool toOutput;
        std::wstring output;
        const wchar_t* named;  // nullptr: the run goes on
    } cases[] = {
        {"omega in the command", L"test \u03A9", false, f.output, L"U+03A9"},
        {"full-width quote in the command", L"\uFF02test\uFF02", false, f.output, L"U+FF02"},
        {"CJK output folder as target", L"test", true, chinese, L"U+4E2D"},
        {"CJK output folder not used", L"test", false, chinese, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW((f.home + L"\\list.tmp").c_str());
        DeleteFileW((f.home + L"\\do.bat").c_str());
        RecordingHost host;
        const batch::RunResult result = batch::RunBatch(f.Inputs(c.command, c.toOutput, c.output), host);
        if (c.named == nullptr) {
            EXPECT_TRUE(result.completed);
            continue;
        }
        EXPECT_FALSE(result.completed);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].find(c.named), std::wstring::npos);
        EXPECT_FALSE(FileExists(f.home + L"\\list.tmp"));
        EXPECT_FALSE(FileExists(f.home + L"\\do.bat"));
    }
}

// A line longer than cmd's 8191 characters is not written; the run goes on and reports it.
TEST(Names, OverlongLinesAreLeftOutAndReported) {
    NamesFixture f;
    TempFolder tree;
    MakeFolder(tree / L"s");
    WriteBytes(tree / L"s\\a.gz", "");
    const std::wstring longFolder = tree / std::wstring(120, L'L');
    MakeFolder(longFolder);
    WriteBytes(longFolder + L"\\b.gz", "");

    const std::wstring shortA = Module1::ShortPath(tree / L"s\\a.gz");
    const size_t fixed = std::wstring(L"cmd /c ").size() + 1 + shortA.size() + 1 + (tree / L"s\\").size();
    const std::wstring command = L"rem " + std::wstring(8191 - fixed - 4, L'x');
    RecordingHost host;
    batch::RunInputs in = f.Inputs(command, false, f.output);
    in.startFolder = tree.Path();
    const batch::RunResult result = batch::RunBatch(in, host);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.processed, 1);
    EXPECT_EQ(result.unwritten, std::vector<std::wstring>{longFolder + L"\\b.gz"});
    const std::string bat = ReadBytes(f.home + L"\\do.bat");
    EXPECT_EQ(bat.size(), 8191u + 2u) << "the line of exactly 8191 characters is written";
    EXPECT_EQ(host.statuses.back(), L" 1 Dateien wurden verarbeitet");
    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_NE(host.messages[1].find(longFolder + L"\\b.gz"), std::wstring::npos);
    EXPECT_EQ(host.messages[2].rfind(L"Die Datei ", 0), 0u);
}

}  // namespace
