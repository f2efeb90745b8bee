// The batch run behind "Kommando für alle Unterordner jetzt starten": lists the start folder into list.tmp
// and appends one command line per matching entry to do.bat, both in the program folder.
#pragma once

#include <string>
#include <vector>

namespace batch {

// The fields of the main window at the moment of the click, and the program's own folder.
struct RunInputs {
    std::wstring startFolder;       // StartDir
    std::wstring outputFolder;      // txtOptDir
    std::wstring extension;         // txtExtension, without the dot
    std::wstring command;           // txtDosCmd
    bool targetIsOutputFolder = false;  // Check1 ticked
    std::wstring programFolder;     // long form, no trailing backslash except at a drive root
};

// What the run needs of its window. The window implements it; tests record it.
class RunHost {
public:
    virtual void SetStatus(const std::wstring& text) = 0;    // status line, painted before returning
    virtual void RefreshWindow() = 0;                         // the whole window, painted before returning
    virtual void ShowMessage(const std::wstring& text) = 0;  // modal, OK only, returns when confirmed

protected:
    ~RunHost() = default;
};

struct RunResult {
    bool completed = false;              // reached the closing message
    int processed = 0;                   // lines written to do.bat
    std::vector<std::wstring> unwritten; // matching entries whose line could not be written exactly
};

RunResult RunBatch(const RunInputs& inputs, RunHost& host);

// The folder of the running program in its long form, as RunInputs::programFolder wants it.
std::wstring ProgramFolder();

}  // namespace batch
