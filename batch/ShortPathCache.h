// Short (8.3) forms of the listed paths, fast: the short form of a path is the short form of its folder
// plus the short name of its last part, and all matches in one folder share the folder's.
#pragma once

#include <string>
#include <unordered_map>

namespace batch {

// Gives exactly what Module1::ShortPath gives for each path, with far fewer trips to the file system.
// A name that is a valid short name already is its own short name (the file system keeps no other), so
// it needs no lookup; another name is looked up once (its folder is enumerated once it has a second such
// name), and a folder's short form is kept for all the folders and files below it. Whatever it cannot
// answer this way goes to Module1::ShortPath.
class ShortPathCache {
public:
    std::wstring Of(const std::wstring& path);

private:
    std::wstring FolderShort(const std::wstring& folder);
    std::wstring ShortNameIn(const std::wstring& folder, const std::wstring& path, const std::wstring& name);

    std::wstring lookedUp_;    // the folder of the last single lookup
    std::wstring enumerated_;  // the folder whose entries are in names_
    std::unordered_map<std::wstring, std::wstring> names_;    // long name -> short name, one folder
    std::unordered_map<std::wstring, std::wstring> folders_;  // folder -> its short form
};

// True when the name is a valid 8.3 name of ASCII characters without blanks: the system then keeps no
// separate short name.
bool IsShortName(const std::wstring& name);

}  // namespace batch
