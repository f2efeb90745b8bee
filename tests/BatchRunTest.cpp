// The batch run on small trees in the Wine C: drive: exact do.bat bytes, messages, status texts, failures.
#include <gtest/gtest.h>

#include <algorithm>

#include "BatchLine.h"
#include "BatchRun.h"
#include "Module1.h"
#include "TestFiles.h"

using namespace testing_support;

namespace {

const std::wstring kListed = L"Dateiliste list.tmp wurde erstellt. Ausführung wird nun gestartet...";

std::wstring Closing(const std::wstring& programFolder) {
    return L"Die Datei " + programFolder + L"\\do.bat wurde erzeugt und kann nun ausgeführt werden";
}

std::string Oem(const std::wstring& text) {
    return Encode(text, GetOEMCP());
}

std::vector<std::wstring> ListPieces(const std::wstring& path) {
    Module1::ListFileReader reader(path);
    std::vector<std::wstring> pieces;
    std::wstring piece;
    while (reader.Next(piece))
        pieces.push_back(piece);
    return pieces;
}

// A tree with matches at two depths, a folder that carries the extension, and near misses.
struct Fixture {
    TempFolder home;   // the program folder
    TempFolder tree;   // the start folder
    TempFolder out;    // the output folder

    Fixture() {
        WriteBytes(tree / L"a.gz", "");
        WriteBytes(tree / L"b.txt", "");
        WriteBytes(tree / L"f.tar.gz", "");  // its extension is .tar
        MakeFolder(tree / L"sub");
        WriteBytes(tree / L"sub\\c.gz", "");
        WriteBytes(tree / L"sub\\D.GZ", "");  // the match is case-sensitive
        MakeFolder(tree / L"x.gz");           // a folder is listed and matched like a file
        WriteBytes(tree / L"x.gz\\e.txt", "");
    }

    batch::RunInputs Inputs(bool toOutput = false) const {
        batch::RunInputs in;
        in.startFolder = tree.Path();
        in.outputFolder = out.Path();
        in.extension = L"gz";
        in.command = L"test";
        in.targetIsOutputFolder = toOutput;
        in.programFolder = home.Path();
        return in;
    }

    std::wstring BatchFile() const { return home / L"do.bat"; }
    std::wstring ListFile() const { return home / L"list.tmp"; }
};

TEST(BatchRun, ExactLinesForBothTargetChoices) {
    Fixture f;
    const std::wstring t = f.tree.Path();
    const struct {
        bool toOutput;
        std::wstring outputText;
        std::vector<std::pair<std::wstring, std::wstring>> lines;  // listed path -> line
    } cases[] = {
        {false, f.out.Path(),
         {{t + L"\\a.gz", L"cmd /c test " + t + L"\\a.gz " + t + L"\\"},
          {t + L"\\sub\\c.gz", L"cmd /c test " + t + L"\\sub\\c.gz " + t + L"\\sub\\"},
          {t + L"\\x.gz", L"cmd /c test " + t + L"\\x.gz " + t + L"\\"}}},
        {true, f.out.Path(),
         {{t + L"\\a.gz", L"cmd /c test " + t + L"\\a.gz " + f.out.Path()},
          {t + L"\\sub\\c.gz", L"cmd /c test " + t + L"\\sub\\c.gz " + f.out.Path()},
          {t + L"\\x.gz", L"cmd /c test " + t + L"\\x.gz " + f.out.Path()}}},
        // An output folder typed with its trailing backslash keeps it.
        {true, f.out.Path() + L"\\",
         {{t + L"\\a.gz", L"cmd /c test " + t + L"\\a.gz " + f.out.Path() + L"\\"},
          {t + L"\\sub\\c.gz", L"cmd /c test " + t + L"\\sub\\c.gz " + f.out.Path() + L"\\"},
          {t + L"\\x.gz", L"cmd /c test " + t + L"\\x.gz " + f.out.Path() + L"\\"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "to output " << c.toOutput << ", typed length " << c.outputText.size());
        DeleteFileW(f.BatchFile().c_str());
        RecordingHost host;
        batch::RunInputs in = f.Inputs(c.toOutput);
        in.outputFolder = c.outputText;
        const batch::RunResult result = batch::RunBatch(in, host);
        EXPECT_TRUE(result.completed);
        EXPECT_EQ(result.processed, 3);

        // The lines come in the order of the list file.
        std::string expected;
        std::vector<std::wstring> statuses;
        for (const std::wstring& listed : ListPieces(f.ListFile())) {
            const auto line = std::find_if(c.lines.begin(), c.lines.end(),
                                           [&](const auto& l) { return l.first == listed; });
            if (line == c.lines.end())
                continue;
            expected += Oem(line->second) + "\r\n";
            statuses.push_back(listed);
        }
        EXPECT_EQ(statuses.size(), 3u);
        EXPECT_EQ(ReadBytes(f.BatchFile()), expected);
        statuses.push_back(L" 3 Dateien wurden verarbeitet");
        EXPECT_EQ(host.statuses, statuses);
        EXPECT_EQ(host.messages, (std::vector<std::wstring>{kListed, Closing(f.home.Path())}));
        EXPECT_GE(host.refreshes, 1);
    }
}

TEST(BatchRun, TwoRunsAccumulate) {
    Fixture f;
    RecordingHost first, second;
    batch::RunBatch(f.Inputs(), first);
    const std::string once = ReadBytes(f.BatchFile());
    batch::RunBatch(f.Inputs(), second);
    EXPECT_EQ(ReadBytes(f.BatchFile()), once + once);
}

TEST(BatchRun, NoMatchLeavesTheBatchFileAsItWas) {
    Fixture f;
    const wchar_t* extensions[] = {L"Gz", L".gz", L"", L"g", L"tar.gz"};
    for (const wchar_t* extension : extensions) {
        SCOPED_TRACE(testing::Message() << "extension length " << wcslen(extension));
        for (bool existing : {false, true}) {
            DeleteFileW(f.BatchFile().c_str());
            if (existing)
                WriteBytes(f.BatchFile(), "cmd /c old\r\n");
            RecordingHost host;
            batch::RunInputs in = f.Inputs();
            in.extension = extension;
            const batch::RunResult result = batch::RunBatch(in, host);
            EXPECT_TRUE(result.completed);
            EXPECT_EQ(result.processed, 0);
            EXPECT_EQ(FileExists(f.BatchFile()), existing);
            if (existing) {
                EXPECT_EQ(ReadBytes(f.BatchFile()), "cmd /c old\r\n");
            }
            EXPECT_EQ(host.statuses, std::vector<std::wstring>{L" 0 Dateien wurden verarbeitet"});
            EXPECT_EQ(host.messages.back(), Closing(f.home.Path()));
        }
    }
}

TEST(BatchRun, EmptyStartFolderGivesNoLines) {
    Fixture f;
    TempFolder empty;
    RecordingHost host;
    batch::RunInputs in = f.Inputs();
    in.startFolder = empty.Path();
    EXPECT_TRUE(batch::RunBatch(in, host).completed);
    EXPECT_FALSE(FileExists(f.BatchFile()));
    EXPECT_TRUE(FileExists(f.ListFile()));
    EXPECT_EQ(ReadBytes(f.ListFile()), "");
}

TEST(BatchRun, EmptyCommandTextLeavesTwoBlanks) {
    Fixture f;
    RecordingHost host;
    batch::RunInputs in = f.Inputs();
    in.command = L"";
    in.extension = L"tar";
    batch::RunBatch(in, host);
    const std::wstring t = f.tree.Path();
    const std::wstring shortPath = Module1::ShortPath(t + L"\\f.tar.gz");  // two dots: not an 8.3 name
    EXPECT_EQ(ReadBytes(f.BatchFile()), Oem(L"cmd /c  " + shortPath + L" " + t + L"\\") + "\r\n");
}

// Unquoted, "Tom & Jerry" would list the folder "Tom" and then run "Jerry"; "Meine Daten" would list
// "Meine" and a folder "Daten" relative to the current folder.
TEST(BatchRun, StartFolderWithBlankOrAmpersandListsTheRightTree) {
    Fixture f;
    for (const wchar_t* name : {L"Tom & Jerry", L"Meine Daten"}) {
        SCOPED_TRACE(testing::Message() << "case " << (name[0] == L'T' ? "ampersand" : "blank"));
        TempFolder parent;
        const std::wstring start = parent / name;
        MakeFolder(start);
        WriteBytes(start + L"\\right.gz", "");
        const std::wstring firstWord = parent / std::wstring(name).substr(0, std::wstring(name).find(L' '));
        MakeFolder(firstWord);
        WriteBytes(firstWord + L"\\wrong.gz", "");

        DeleteFileW(f.BatchFile().c_str());
        RecordingHost host;
        batch::RunInputs in = f.Inputs();
        in.startFolder = start;
        const batch::RunResult result = batch::RunBatch(in, host);
        EXPECT_EQ(result.processed, 1);
        EXPECT_EQ(ListPieces(f.ListFile()), (std::vector<std::wstring>{start + L"\\right.gz", L""}));
        const std::string bat = ReadBytes(f.BatchFile());
        EXPECT_NE(bat.find(Oem(L" \"" + start + L"\\\\\"\r\n")), std::string::npos) << bat;
    }
}

TEST(BatchRun, ProgramFolderAtADriveRoot) {
    Fixture f;
    const std::wstring root = L"C:\\";
    DeleteFileW(L"C:\\do.bat");
    RecordingHost host;
    batch::RunInputs in = f.Inputs();
    in.programFolder = root;
    const batch::RunResult result = batch::RunBatch(in, host);
    EXPECT_EQ(result.processed, 3);
    EXPECT_TRUE(FileExists(L"C:\\list.tmp"));
    EXPECT_TRUE(FileExists(L"C:\\do.bat"));
    // The closing message joins the long folder and "\do.bat" as they are.
    EXPECT_EQ(host.messages.back(), L"Die Datei C:\\\\do.bat wurde erzeugt und kann nun ausgeführt werden");
    DeleteFileW(L"C:\\do.bat");
    DeleteFileW(L"C:\\list.tmp");
}

TEST(BatchRun, FolderCheckFailureNamesWhatIsMissingAndDoesNothing) {
    Fixture f;
    const std::wstring missing = f.tree / L"gone";
    const struct {
        std::wstring start, output;
        bool toOutput;
        std::wstring message;
    } cases[] = {
        {missing, f.out.Path(), false, L"Start Verzeichnis nicht gefunden: " + missing},
        {f.tree.Path(), missing, false, L"Ausgabe-Verzeichnis nicht gefunden: " + missing},
        {f.tree.Path(), L"", true, L"Ausgabe-Verzeichnis nicht gefunden: "},
        {L"", missing, true,
         L"Start Verzeichnis nicht gefunden: \r\nAusgabe-Verzeichnis nicht gefunden: " + missing},
        {f.tree / L"a.gz", f.out.Path(), false, L"Start Verzeichnis nicht gefunden: " + (f.tree / L"a.gz")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        RecordingHost host;
        batch::RunInputs in = f.Inputs(c.toOutput);
        in.startFolder = c.start;
        in.outputFolder = c.output;
        const batch::RunResult result = batch::RunBatch(in, host);
        EXPECT_FALSE(result.completed);
        EXPECT_EQ(host.messages, std::vector<std::wstring>{c.message});
        EXPECT_TRUE(host.statuses.empty());
        EXPECT_FALSE(FileExists(f.ListFile()));
        EXPECT_FALSE(FileExists(f.BatchFile()));
    }
}

// A run that cannot write stops with a message that names the file and the system's reason; what was in
// do.bat stays, and the status line does not report success.
TEST(BatchRun, PlatformFailuresStopTheRunAndLoseNothing) {
    Fixture f;
    struct Case {
        const char* name;
        void (*prepare)(const Fixture&);
        const wchar_t* named;
    } cases[] = {
        // Wine run as root ignores the read-only attribute on writes; a folder in the way fails everywhere.
        {"do.bat cannot be opened",
         [](const Fixture& fx) { MakeFolder(fx.BatchFile()); },
         L"do.bat"},
        {"list.tmp cannot be replaced",
         [](const Fixture& fx) {
             WriteBytes(fx.BatchFile(), "cmd /c keep\r\n");
             MakeFolder(fx.ListFile());
         },
         L"list.tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture fx;
        c.prepare(fx);
        RecordingHost host;
        const batch::RunResult result = batch::RunBatch(fx.Inputs(), host);
        EXPECT_FALSE(result.completed);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_NE(host.messages.back().find(c.named), std::wstring::npos);
        EXPECT_NE(host.messages.back().find(L"\r\n\r\n"), std::wstring::npos) << "the system's reason follows";
        ASSERT_FALSE(host.statuses.empty());
        EXPECT_EQ(host.statuses.back().find(L"Dateien wurden verarbeitet"), std::wstring::npos);
        if (FileExists(fx.BatchFile())) {
            EXPECT_EQ(ReadBytes(fx.BatchFile()), "cmd /c keep\r\n");
        }
    }
}

TEST(BatchRun, LockedBatchFileIsReported) {
    Fixture f;
    WriteBytes(f.BatchFile(), "cmd /c keep\r\n");
    HANDLE lock = CreateFileW(f.BatchFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    RecordingHost host;
    const batch::RunResult result = batch::RunBatch(f.Inputs(), host);
    CloseHandle(lock);
    EXPECT_FALSE(result.completed);
    EXPECT_NE(host.messages.back().find(L"do.bat"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(f.BatchFile()), "cmd /c keep\r\n");
}

}  // namespace
