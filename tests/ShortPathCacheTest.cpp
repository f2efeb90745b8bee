// The batch run's fast short paths must be exactly what asking the system for each path gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Module1.h"
#include "ShortPathCache.h"
#include "TestFiles.h"

using namespace testing_support;

namespace {

const wchar_t* const kNames[] = {
    L"a.gz", L"A.GZ2", L"Ab.Gz", L"abcdefgh.gz", L"abcdefghi.gz", L"long name with blanks.gz", L"x.tar.gz",
    L"\u00fcmlaut \u00df.gz", L"a+b;c.gz", L"a[1].gz", L".gz", L"trailing.gzz", L"TILDE~1.GZ", L"Tom & Jerry.gz",
    L"\u03A9\u03BC\u03AD\u03B3\u03B1.gz", L"\u4E2D\u6587.gz", L"100%.gz", L"NOEXT", L"many.dots.in.name.gz",
    L"\u00c4RGER.GZ", L"ab cd.gz", L"abc.", L"x..gz", L"a.b", L"UPPER.GZ", L"lower.gz", L"eightchr.abc",
};

const wchar_t* const kFolders[] = {L"short", L"Long Folder Name", L"d.o.t.s", L"\u00c4rger & Co", L"x", L"\u00c4RGER",
                                   L"ab cd", L"SUB.DIR"};

void Walk(const std::wstring& folder, std::vector<std::wstring>& paths) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> folders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        paths.push_back(folder + L"\\" + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(folder + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const auto& sub : folders)
        Walk(sub, paths);
}

TEST(ShortPathCache, SameAsAskingTheSystemForEveryPath) {
    TempFolder temp;
    // Three levels of folders with long, short, blank, umlaut and dotted names, each full of files.
    std::wstring level = temp.Path();
    for (int depth = 0; depth < 3; ++depth) {
        for (const wchar_t* folder : kFolders) {
            const std::wstring path = level + L"\\" + folder;
            MakeFolder(path);
            for (const wchar_t* name : kNames)
                WriteBytes(path + L"\\" + name, "");
        }
        level += std::wstring(L"\\") + kFolders[depth + 1];
    }
    std::vector<std::wstring> paths;
    Walk(temp.Path(), paths);
    ASSERT_GT(paths.size(), 250u);
    // Paths the cache cannot answer from a folder: missing, a drive root, no folder at all.
    paths.insert(paths.end(), {temp / L"missing.gz", temp / L"short\\missing.gz", L"C:\\windows", L"C:\\",
                               L"relative.gz", L""});

    // In the order a listing gives, and shuffled so that folders come back after others.
    std::vector<std::wstring> shuffled = paths;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (const auto* order : {&paths, &shuffled}) {
        batch::ShortPathCache cache;
        for (const std::wstring& path : *order) {
            SCOPED_TRACE(testing::Message() << "path of " << path.size() << " characters, index "
                                            << (&path - order->data()));
            EXPECT_EQ(cache.Of(path), Module1::ShortPath(path));
        }
    }
}

// The batch run hands the cache paths as the listing spells them. Spelled in another case, a valid short
// name is kept as given, where the system answers with the case on disk: the same file all the same.
TEST(ShortPathCache, AnotherCaseNamesTheSameFile) {
    TempFolder temp;
    MakeFolder(temp / L"short");
    WriteBytes(temp / L"short\\a.gz", "");
    batch::ShortPathCache cache;
    const std::wstring fromCache = cache.Of(temp / L"SHORT\\A.GZ");
    const std::wstring fromSystem = Module1::ShortPath(temp / L"SHORT\\A.GZ");
    EXPECT_EQ(CompareStringOrdinal(fromCache.c_str(), -1, fromSystem.c_str(), -1, TRUE), CSTR_EQUAL)
        << "cache and system name different files";
}

}  // namespace
