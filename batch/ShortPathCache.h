// Short (8.3) forms of the listed paths, fast: the short form of a path is the short form of its folder
// plus the short name of its last part, and all matches in one folder share the folder's.
#pragma once

#include <string>
#include <unordered_map>

namespace batch {

// Gives exactly what Module1::ShortPath gives for each path, but reads each folder once (one enumeration
// for the short names of its entries, one lookup for the folder's own short name) instead of walking the
// whole path for every file. Anything it cannot answer from the folder goes to Module1::ShortPath.
class ShortPathCache {
public:
    std::wstring Of(const std::wstring& path);

private:
    std::wstring FolderShort(const std::wstring& folder);
    void Enumerate(const std::wstring& folder);

    std::wstring enumerated_;  // the folder whose entries are in names_
    bool enumeratedOk_ = false;
    std::unordered_map<std::wstring, std::wstring> names_;    // long name -> short name, one folder
    std::unordered_map<std::wstring, std::wstring> folders_;  // folder -> its short form
};

}  // namespace batch
