// Path helpers and list-file readers, shared by the batch run and the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Failure.h"
#include "Handle.h"

namespace Module1 {

// Short (8.3) form of a path as the system gives it; the empty text when it gives none.
std::wstring ShortPath(std::wstring path);

// True when the text names an existing folder (directory bit 16); never fails.
bool FolderExists(const std::wstring& path);

// Outcome of the right-to-left scan that FolderOfPath and ExtensionOfPath share.
struct SplitParts {
    std::wstring drive;      // "X:" or empty
    std::wstring remaining;  // folder part, ending in a backslash when a backslash stopped the scan
    std::wstring extension;  // leftmost dot of the last name with what follows it, or empty
};

// Throws Failure when more than 32767 characters stand behind the drive prefix.
SplitParts SplitPath(const std::wstring& path);
std::wstring FolderOfPath(std::wstring path);
std::wstring ExtensionOfPath(std::wstring path);

// Lines of a UTF-16LE list file. Count mode 0 chooses by size, 1 reads whole, any other counts in chunks.
// Throws Failure when the file cannot be opened or read, or has an odd number of bytes.
int32_t CountLines(const std::wstring& path, int32_t countMode);

// Line n (from 1), or counted from the end (-1 = the piece after the last CR LF); empty text on any failure.
std::wstring ReadListLine(const std::wstring& path, int32_t lineIndex);

// Reads a UTF-16LE list file once from front to back and hands out its pieces between CR LF pairs, exactly
// as splitting the whole text at every CR LF would: a non-empty text ending with CR LF has an empty last
// piece, an empty file has none. Holds one buffer, never the whole file.
class ListFileReader {
public:
    explicit ListFileReader(const std::wstring& path);  // throws Failure

    // The next piece; false when none is left. Throws Failure when a read fails.
    bool Next(std::wstring& piece);

private:
    bool Fill();

    std::wstring path_;
    UniqueHandle file_;
    int64_t unreadBytes_ = 0;
    bool empty_ = true;
    bool done_ = false;
    std::wstring buffer_;
    size_t position_ = 0;
};

}  // namespace Module1
