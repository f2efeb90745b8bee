// Path helpers: the right-to-left scan, the folder test and the short form.
#include <gtest/gtest.h>

#include "Module1.h"
#include "TestFiles.h"

using namespace testing_support;

namespace {

struct SplitCase {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* extension;
};

// The worked table: each row shows one consequence of the scan.
const SplitCase kSplit[] = {
    {L"C:\\a\\b.txt", L"C:\\a\\", L".txt"},       // the ordinary case
    {L"C:\\a\\b", L"C:\\a\\", L""},               // no extension
    {L"C:\\a.b\\c", L"C:\\a.b\\", L""},           // a dot in a folder name is never seen
    {L"C:\\a\\b.tar.gz", L"C:\\a\\", L".tar"},    // the leftmost dot of the name wins
    {L"C:\\a\\b..c", L"C:\\a\\", L".c"},          // a dot with nothing behind it sets nothing
    {L"C:\\a\\b.", L"C:\\a\\", L""},              // a trailing dot sets no extension
    {L"b.txt", L"b", L".txt"},                    // no backslash: the name without its extension
    {L"C:\\a\\", L"C:\\", L""},                   // trailing backslash passed over
    {L"C:\\a.b\\", L"C:\\", L".b\\"},             // then the folder's dot is seen
    {L"C:\\a\\.b", L"C:\\", L".b"},               // a name that starts with a dot
    {L"C:\\", L"C:\\", L""},                      // a root
    {L"C:", L"C:", L""},                          // only a drive prefix
    {L"", L"", L""},                              // the empty text
    {L"\\\\srv\\share\\d\\f.gz", L"\\\\srv\\share\\d\\", L".gz"},  // a network path splits like any other
    {L"7:x.gz", L"7:x", L".gz"},                  // any first character counts as a drive
    {L"C:\\Tom & Jerry\\x.gz", L"C:\\Tom & Jerry\\", L".gz"},
};

TEST(SplitPath, WorkedTable) {
    for (const auto& c : kSplit) {
        SCOPED_TRACE(testing::Message() << "path length " << wcslen(c.path) << " row " << (&c - kSplit));
        EXPECT_EQ(Module1::FolderOfPath(c.path), c.folder);
        EXPECT_EQ(Module1::ExtensionOfPath(c.path), c.extension);
    }
}

TEST(SplitPath, SixteenBitLimitIsAnErrorTheCallerSees) {
    const std::wstring atLimit = L"C:" + std::wstring(32766, L'a') + L".gz";  // 32768 behind the prefix
    const std::wstring fits = L"C:" + std::wstring(32764, L'a') + L".gz";     // 32767 behind the prefix
    EXPECT_THROW(Module1::ExtensionOfPath(atLimit), Module1::Failure);
    EXPECT_THROW(Module1::FolderOfPath(atLimit), Module1::Failure);
    EXPECT_EQ(Module1::ExtensionOfPath(fits), L".gz");
    // The prefix does not count towards the limit.
    EXPECT_EQ(Module1::ExtensionOfPath(L"C:\\" + std::wstring(32760, L'b') + L".x"), L".x");
}

TEST(FolderExists, Cases) {
    TempFolder temp;
    MakeFolder(temp / L"sub");
    WriteBytes(temp / L"file.txt", "x");
    MakeFolder(temp / L"hidden");
    SetFileAttributesW((temp / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    const std::wstring missingDrive = Environment(L"TRESKEL_MISSING_DRIVE");

    struct Case {
        std::wstring path;
        bool exists;
    } cases[] = {
        {L"", false},
        {temp / L"sub", true},
        {temp / L"sub\\", true},
        {temp / L"file.txt", false},
        {temp / L"missing", false},
        {temp / L"hidden", true},
        {L"C:\\", true},
        {L"C:", true},  // the drive's current folder
        {std::wstring(L"sub\0x", 5), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        EXPECT_EQ(Module1::FolderExists(c.path), c.exists);
    }
    ASSERT_FALSE(missingDrive.empty()) << "the test session maps a drive letter to a missing folder";
    EXPECT_FALSE(Module1::FolderExists(missingDrive + L":\\"));
}

TEST(ShortPath, FailureGivesTheEmptyText) {
    TempFolder temp;
    EXPECT_EQ(Module1::ShortPath(temp / L"does-not-exist.gz"), L"");
    EXPECT_EQ(Module1::ShortPath(L""), L"");
}

TEST(ShortPath, ShortNamesComeBackUnchanged) {
    TempFolder temp;
    WriteBytes(temp / L"a.gz", "");
    EXPECT_EQ(Module1::ShortPath(temp / L"a.gz"), Module1::ShortPath(temp.Path()) + L"\\a.gz");
}

// A short form longer than the 256-character buffer comes back whole (asked again with the size the
// system needs), never as a buffer of blanks.
TEST(ShortPath, LongerThanTheBufferComesBackWhole) {
    TempFolder temp;
    std::wstring deep = L"\\\\?\\" + temp.Path();
    for (int level = 0; level < 30; ++level) {
        wchar_t name[16];
        wsprintfW(name, L"\\D%07d", level);
        deep += name;
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << level;
    }
    const std::wstring shortForm = Module1::ShortPath(deep);
    EXPECT_GT(shortForm.size(), 256u);
    EXPECT_EQ(shortForm.find(L' '), std::wstring::npos);
    EXPECT_EQ(shortForm.substr(shortForm.size() - 9), L"\\D0000029");
    EXPECT_EQ(GetFileAttributesW(shortForm.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
