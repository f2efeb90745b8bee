// The short-path cache of the batch run.
#include "ShortPathCache.h"

#include <windows.h>
#include <winternl.h>

#include "Module1.h"

namespace batch {

namespace {

constexpr size_t kMaxCachedFolders = 4096;  // a listing goes depth first: the ancestors of the current folder are what counts

bool IsDriveRoot(const std::wstring& folder) {
    return folder.size() == 3 && folder[1] == L':' && folder[2] == L'\\';
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// The folder that holds the last part of a path: "C:\a" for "C:\a\b", "C:\" for "C:\b"; empty when the
// path has no folder part of that kind.
std::wstring ParentOf(const std::wstring& path) {
    const size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos || cut + 1 == path.size() || cut < 2)
        return L"";
    if (cut == 2 && path[1] == L':')
        return path.substr(0, 3);
    return path.substr(0, cut);
}

// The name the short form uses for a directory entry: its short name, or its own name when it has none.
std::wstring ShortNameOf(const WIN32_FIND_DATAW& found) {
    return found.cAlternateFileName[0] != L'\0' ? found.cAlternateFileName : found.cFileName;
}

// The short name of exactly this entry; empty when it is not found under exactly this name.
std::wstring LookUp(const std::wstring& path, const std::wstring& name) {
    if (path.find_first_of(L"*?") != std::wstring::npos)
        return L"";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return L"";
    FindClose(search);
    return name == found.cFileName ? ShortNameOf(found) : L"";
}

}  // namespace

bool IsShortName(const std::wstring& name) {
    if (name.empty() || name.size() > 12)
        return false;
    // Letters beyond ASCII are judged differently by file systems (Wine hashes a name such as "ÄRGER",
    // Windows keeps it): such a name is looked up instead.
    for (wchar_t c : name) {
        if (c >= 0x80)
            return false;
    }
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(name.c_str());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    BOOLEAN spaces = FALSE;
    return RtlIsNameLegalDOS8Dot3(&text, nullptr, &spaces) && !spaces;
}

std::wstring ShortPathCache::Of(const std::wstring& path) {
    const std::wstring folder = ParentOf(path);
    // The system gives no short form for what does not exist: neither does the cache.
    if (folder.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Module1::ShortPath(path);
    const std::wstring shortFolder = FolderShort(folder);
    const std::wstring shortName = ShortNameIn(folder, path, path.substr(path.rfind(L'\\') + 1));
    if (shortFolder.empty() || shortName.empty())
        return Module1::ShortPath(path);
    return Join(shortFolder, shortName);
}

std::wstring ShortPathCache::ShortNameIn(const std::wstring& folder, const std::wstring& path,
                                         const std::wstring& name) {
    if (IsShortName(name))
        return name;
    if (folder != enumerated_ && folder != lookedUp_) {
        lookedUp_ = folder;
        return LookUp(path, name);
    }
    // A second name to look up in the same folder: read the whole folder once.
    if (folder != enumerated_) {
        enumerated_ = folder;
        names_.clear();
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoStandard, &found,
                                         FindExSearchNameMatch, nullptr, 0);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                names_.emplace(found.cFileName, ShortNameOf(found));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    const auto known = names_.find(name);
    return known != names_.end() ? known->second : L"";
}

std::wstring ShortPathCache::FolderShort(const std::wstring& folder) {
    if (const auto known = folders_.find(folder); known != folders_.end())
        return known->second;
    std::wstring result;
    const std::wstring parent = ParentOf(folder);
    if (!IsDriveRoot(folder) && !parent.empty()) {
        const std::wstring name = folder.substr(folder.rfind(L'\\') + 1);
        const std::wstring shortParent = FolderShort(parent);
        const std::wstring shortName = IsShortName(name) ? name : LookUp(folder, name);
        if (!shortParent.empty() && !shortName.empty())
            result = Join(shortParent, shortName);
    }
    if (result.empty())
        result = Module1::ShortPath(folder);
    if (folders_.size() >= kMaxCachedFolders)
        folders_.clear();
    folders_.emplace(folder, result);
    return result;
}

}  // namespace batch
