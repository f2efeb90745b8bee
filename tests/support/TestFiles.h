// Files and folders for tests: a fresh folder in the Wine C: drive, raw bytes in and out, a recording host.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "BatchRun.h"

namespace testing_support {

// A new, empty folder below the temporary folder, with a short (8.3-safe) name; removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void MakeFolder(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
void WriteUtf16(const std::wstring& path, const std::wstring& text);  // little endian, no byte-order mark
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);
std::wstring Environment(const wchar_t* name);

// The text in the given code page (for expected file contents).
std::string Encode(const std::wstring& text, UINT codePage);

// Records what the batch run shows; message boxes return at once.
class RecordingHost : public batch::RunHost {
public:
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    void RefreshWindow() override { ++refreshes; }
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }

    std::vector<std::wstring> statuses;
    std::vector<std::wstring> messages;
    int refreshes = 0;
};

}  // namespace testing_support
