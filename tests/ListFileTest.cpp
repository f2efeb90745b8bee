// The list readers on UTF-16LE files: counting modes, line selection and the streaming reader.
#include <gtest/gtest.h>

#include "Module1.h"
#include "TestFiles.h"

using namespace testing_support;

namespace {

const std::wstring kCRLF = L"\r\n";

TEST(ListFile, ThreeLinesEachEndedByCRLF) {
    TempFolder temp;
    const std::wstring list = temp / L"list.tmp";
    WriteUtf16(list, L"a\r\nb\r\nc\r\n");
    for (int mode : {0, 1, 2, -7}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(Module1::CountLines(list, mode), 3);
    }
    const struct {
        int index;
        const wchar_t* line;
    } lines[] = {{1, L"a"}, {2, L"b"}, {3, L"c"}, {4, L""}, {5, L""}, {0, L""},
                 {-1, L""}, {-2, L"c"}, {-4, L"a"}, {-5, L""}, {INT32_MIN, L""}, {INT32_MAX, L""}};
    for (const auto& l : lines) {
        SCOPED_TRACE(l.index);
        EXPECT_EQ(Module1::ReadListLine(list, l.index), l.line);
    }
}

// Rows: file text, count in mode 0 (whole read for small files), mode 1, chunked mode, then index/line pairs.
TEST(ListFile, WorkedCases) {
    struct Case {
        const wchar_t* name;
        std::wstring text;
        int whole;
        int chunked;
        std::vector<std::pair<int, std::wstring>> lines;
    } cases[] = {
        {L"last line without CR LF", L"a\r\nb", 1, 1, {{1, L"a"}, {2, L"b"}, {3, L""}, {-1, L"b"}}},
        {L"empty file", L"", -1, 0, {{1, L""}, {0, L""}, {-1, L""}}},
        {L"lone CR inside a line", L"x\ry\r\nz\r\n", 2, 3, {{1, L"x\ry"}, {2, L"z"}, {3, L""}}},
        {L"lone LF inside a line", L"x\ny\r\n", 1, 1, {{1, L"x\ny"}}},
        {L"CR at the very end", L"a\r\nb\r", 1, 2, {{2, L"b\r"}}},
        {L"umlauts and CJK survive", L"C:\\Grüße\\中文.gz\r\n", 1, 1, {{1, L"C:\\Grüße\\中文.gz"}}},
    };
    TempFolder temp;
    const std::wstring list = temp / L"list.tmp";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        WriteUtf16(list, c.text);
        EXPECT_EQ(Module1::CountLines(list, 0), c.whole);
        EXPECT_EQ(Module1::CountLines(list, 1), c.whole);
        EXPECT_EQ(Module1::CountLines(list, 2), c.chunked);
        for (const auto& [index, line] : c.lines)
            EXPECT_EQ(Module1::ReadListLine(list, index), line) << index;
    }
}

TEST(ListFile, FailuresOfCountLinesReachTheCallerReadListLineGivesEmpty) {
    TempFolder temp;
    WriteBytes(temp / L"odd.tmp", std::string("a\0\r", 3));
    MakeFolder(temp / L"folder.tmp");
    for (const std::wstring& path : {temp / L"missing.tmp", temp / L"folder.tmp", temp / L"odd.tmp"}) {
        SCOPED_TRACE(testing::Message() << path.size());
        for (int mode : {0, 1, 2})
            EXPECT_THROW(Module1::CountLines(path, mode), Module1::Failure);
        EXPECT_EQ(Module1::ReadListLine(path, 1), L"");
        EXPECT_EQ(Module1::ReadListLine(path, -1), L"");
    }
    try {
        Module1::CountLines(temp / L"missing.tmp", 0);
    } catch (const Module1::Failure& failure) {
        EXPECT_EQ(failure.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_NE(failure.what.find(L"missing.tmp"), std::wstring::npos);
    }
}

// Mode 0 reads files below 1 MiB whole and counts larger ones in chunks. A file of lone CRs shows which
// way was taken: only the chunked count sees them.
TEST(ListFile, OneMebibyteSwitch) {
    TempFolder temp;
    const std::wstring list = temp / L"list.tmp";
    const struct {
        size_t bytes;
        int mode0;
    } cases[] = {{1048576, 1048576 / 4}, {1048574, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::wstring text;
        while (text.size() * 2 < c.bytes)
            text += (text.size() % 2 == 0) ? L'\r' : L'x';
        WriteUtf16(list, text);
        EXPECT_EQ(Module1::CountLines(list, 0), c.mode0);
        EXPECT_EQ(Module1::CountLines(list, 1), 0);
        EXPECT_EQ(Module1::CountLines(list, 3), static_cast<int>((c.bytes / 2 + 1) / 2));
    }
}

// Chunks of 4096 bytes (2048 units): a CR LF split across two chunks counts once; the last chunk may be
// exactly 4096 bytes or a single unit.
TEST(ListFile, FourKibibyteChunks) {
    TempFolder temp;
    const std::wstring list = temp / L"list.tmp";
    const struct {
        size_t units;
        size_t crAt;
    } cases[] = {{2048, 2046}, {2048, 2047}, {2049, 2047}, {2049, 2048}, {4097, 2047}, {1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.units << " units, CR at " << c.crAt);
        std::wstring text(c.units, L'q');
        text[c.crAt] = L'\r';
        if (c.crAt + 1 < c.units)
            text[c.crAt + 1] = L'\n';
        WriteUtf16(list, text);
        EXPECT_EQ(Module1::CountLines(list, 2), 1);
        EXPECT_EQ(Module1::CountLines(list, 0), c.crAt + 1 < c.units ? 1 : 0);
    }
}

// The reader the batch run uses gives exactly the pieces ReadListLine gives, also across its own buffer
// boundaries (64 KiB) and with CRs in awkward places.
TEST(ListFile, StreamingReaderAgreesWithReadListLine) {
    std::wstring big;
    while (big.size() < 32767)
        big += L"C:\\a\\b.gz\r\n";
    big.resize(32767);
    big += L"\r\nnext\r\n";
    std::wstring straddle(32767, L'y');
    straddle += L"\r";  // lone CR as the last unit of the first buffer
    straddle += L"z\r\n";
    const std::wstring texts[] = {L"", L"\r\n", L"a", L"a\r\nb\r\nc\r\n", L"a\r\rb\r\n\r", big, straddle};
    TempFolder temp;
    const std::wstring list = temp / L"list.tmp";
    for (const auto& text : texts) {
        SCOPED_TRACE(text.size());
        WriteUtf16(list, text);
        Module1::ListFileReader reader(list);
        std::wstring piece;
        int index = 0;
        while (reader.Next(piece)) {
            ++index;
            ASSERT_EQ(piece, Module1::ReadListLine(list, index)) << index;
        }
        EXPECT_EQ(Module1::ReadListLine(list, index + 1), L"");
        EXPECT_FALSE(reader.Next(piece));
        EXPECT_EQ(index == 0, text.empty());
    }
}

}  // namespace
