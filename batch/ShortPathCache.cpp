// The per-folder short-path cache of the batch run.
#include "ShortPathCache.h"

#include <windows.h>

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

// The name the short form uses for a directory entry: its short name, or its own name when that is
// already a valid short name (the system then keeps no separate one).
std::wstring ShortNameOf(const WIN32_FIND_DATAW& found) {
    return found.cAlternateFileName[0] != L'\0' ? found.cAlternateFileName : found.cFileName;
}

}  // namespace

std::wstring ShortPathCache::Of(const std::wstring& path) {
    const std::wstring folder = ParentOf(path);
    if (folder.empty())
        return Module1::ShortPath(path);
    if (folder != enumerated_)
        Enumerate(folder);
    const auto name = names_.find(path.substr(path.rfind(L'\\') + 1));
    if (!enumeratedOk_ || name == names_.end())
        return Module1::ShortPath(path);
    const std::wstring shortFolder = FolderShort(folder);
    if (shortFolder.empty())
        return Module1::ShortPath(path);
    return Join(shortFolder, name->second);
}

void ShortPathCache::Enumerate(const std::wstring& folder) {
    enumerated_ = folder;
    names_.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoStandard, &found, FindExSearchNameMatch,
                                     nullptr, 0);
    enumeratedOk_ = search != INVALID_HANDLE_VALUE;
    if (!enumeratedOk_)
        return;
    do {
        names_.emplace(found.cFileName, ShortNameOf(found));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring ShortPathCache::FolderShort(const std::wstring& folder) {
    if (const auto known = folders_.find(folder); known != folders_.end())
        return known->second;
    std::wstring result;
    const std::wstring parent = ParentOf(folder);
    WIN32_FIND_DATAW found;
    HANDLE search = INVALID_HANDLE_VALUE;
    if (!IsDriveRoot(folder) && !parent.empty() && folder.find_first_of(L"*?") == std::wstring::npos)
        search = FindFirstFileW(folder.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        const std::wstring shortParent = FolderShort(parent);
        if (!shortParent.empty())
            result = Join(shortParent, ShortNameOf(found));
    }
    if (result.empty())
        result = Module1::ShortPath(folder);
    if (folders_.size() >= kMaxCachedFolders)
        folders_.clear();
    folders_.emplace(folder, result);
    return result;
}

}  // namespace batch
