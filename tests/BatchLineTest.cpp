// The line writer of do.bat and the listing command: plain lines as they always were, each protection
// rule on its own, and the exact conversion into the batch file's code page.
#include <gtest/gtest.h>

#include "BatchLine.h"

namespace {

struct LineCase {
    const char* name;
    const wchar_t* command;
    const wchar_t* shortPath;
    const wchar_t* target;
    const wchar_t* line;
};

const LineCase kLines[] = {
    {"plain, own folder", L"test", L"C:\\DATEN\\ARCHIV\\A.GZ", L"C:\\Daten\\Archiv\\",
     L"cmd /c test C:\\DATEN\\ARCHIV\\A.GZ C:\\Daten\\Archiv\\"},
    {"plain, output folder", L"test", L"C:\\DATEN\\A.GZ", L"D:\\Ziel", L"cmd /c test C:\\DATEN\\A.GZ D:\\Ziel"},
    {"command with arguments stays untouched", L"gzip -d -k", L"C:\\A.GZ", L"C:\\",
     L"cmd /c gzip -d -k C:\\A.GZ C:\\"},
    {"empty command: two blanks", L"", L"C:\\A.GZ", L"C:\\", L"cmd /c  C:\\A.GZ C:\\"},
    {"umlauts and ! need nothing", L"test", L"C:\\GRüßE\\BANG!.GZ", L"C:\\Grüße!\\",
     L"cmd /c test C:\\GRüßE\\BANG!.GZ C:\\Grüße!\\"},
    {"blank: quoted, trailing backslash doubled", L"test", L"C:\\MEINED~1\\A.GZ", L"C:\\Meine Dateien\\",
     L"cmd /c test C:\\MEINED~1\\A.GZ \"C:\\Meine Dateien\\\\\""},
    {"two trailing backslashes become four", L"test", L"C:\\A.GZ", L"C:\\a b\\\\",
     L"cmd /c test C:\\A.GZ \"C:\\a b\\\\\\\\\""},
    {"no trailing backslash, nothing doubled", L"test", L"C:\\A.GZ", L"D:\\Ziel Ordner",
     L"cmd /c test C:\\A.GZ \"D:\\Ziel Ordner\""},
    {"& in an 8.3 name", L"test", L"C:\\TOM&JE~1\\A.GZ", L"C:\\x\\", L"cmd /c test \"C:\\TOM&JE~1\\A.GZ\" C:\\x\\"},
    {"tab", L"test", L"C:\\A.GZ", L"C:\\a\tb\\", L"cmd /c test C:\\A.GZ \"C:\\a\tb\\\\\""},
    {"no-break space", L"test", L"C:\\A.GZ", L"C:\\a\u00A0b\\", L"cmd /c test C:\\A.GZ \"C:\\a\u00A0b\\\\\""},
    {"ideographic space", L"test", L"C:\\A.GZ", L"C:\\a\u3000b", L"cmd /c test C:\\A.GZ \"C:\\a\u3000b\""},
    {"empty short path stays one argument", L"test", L"", L"C:\\x\\", L"cmd /c test \"\" C:\\x\\"},
    {"percent, not quoted", L"test", L"C:\\100%\\A.GZ", L"C:\\100%\\",
     L"cmd /c test C:\\100%%%%cd:~,%%\\A.GZ C:\\100%%%%cd:~,%%\\"},
    {"a variable name between percents", L"test", L"C:\\A.GZ", L"C:\\%OS%\\",
     L"cmd /c test C:\\A.GZ C:\\%%%%cd:~,%%OS%%%%cd:~,%%\\"},
    {"percent and blank", L"test", L"C:\\A.GZ", L"C:\\50 %\\", L"cmd /c test C:\\A.GZ \"C:\\50 %%%%cd:~,%%\\\\\""},
    {"quoted command, quoted piece: @ keeps the command's quotes", L"\"C:\\Rec Ord\\r.exe\"", L"C:\\A.GZ",
     L"C:\\a b\\", L"cmd /c @\"C:\\Rec Ord\\r.exe\" C:\\A.GZ \"C:\\a b\\\\\""},
    {"quoted command, nothing quoted: no @", L"\"C:\\Rec Ord\\r.exe\"", L"C:\\A.GZ", L"C:\\ab\\",
     L"cmd /c \"C:\\Rec Ord\\r.exe\" C:\\A.GZ C:\\ab\\"},
    {"plain command, quoted piece: no @", L"test", L"C:\\A.GZ", L"C:\\a b\\",
     L"cmd /c test C:\\A.GZ \"C:\\a b\\\\\""},
    {"command text is never changed", L"echo 100% & ver", L"C:\\A.GZ", L"C:\\",
     L"cmd /c echo 100% & ver C:\\A.GZ C:\\"},
};

TEST(BatchLine, ComposeTable) {
    for (const auto& c : kLines) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(batch::ComposeLine(c.command, c.shortPath, c.target), c.line);
    }
}

TEST(BatchLine, EachSpecialCharacterQuotesOnItsOwn) {
    for (wchar_t special : std::wstring(L"&|<>^(),;= \t")) {
        SCOPED_TRACE(testing::Message() << "character " << static_cast<int>(special));
        const std::wstring target = std::wstring(L"C:\\a") + special + L"b\\";
        EXPECT_EQ(batch::BatchPiece(target), L"\"" + target + L"\\\"");
    }
    for (wchar_t plain : std::wstring(L"!'`~@#$[]{}+-_.äß")) {
        SCOPED_TRACE(testing::Message() << "character " << static_cast<int>(plain));
        const std::wstring target = std::wstring(L"C:\\a") + plain + L"b\\";
        EXPECT_EQ(batch::BatchPiece(target), target);
    }
}

TEST(BatchLine, ListingPieces) {
    const struct {
        const wchar_t* folder;
        const wchar_t* piece;
    } cases[] = {
        {L"C:\\Daten", L"C:\\Daten"},
        {L"C:\\", L"C:\\"},
        {L"C:\\Tom & Jerry", L"\"C:\\Tom & Jerry\""},
        {L"C:\\Meine Daten\\", L"\"C:\\Meine Daten\\\""},  // dir is built in: no doubling
        {L"C:\\100%", L"C:\\100%%cd:~,%"},
        {L"C:\\50 % (x)", L"\"C:\\50 %%cd:~,% (x)\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        EXPECT_EQ(batch::ListingPiece(c.folder), c.piece);
    }
}

// The tests run with a German locale: the batch file's code page is 850.
TEST(BatchLine, ExactConversionIntoTheOemCodePage) {
    ASSERT_EQ(batch::BatchFileCodePage(), 850u);
    const struct {
        const wchar_t* text;
        const char* bytes;  // nullptr: cannot be held exactly
        const wchar_t* firstBad;
    } cases[] = {
        {L"Grüße ÄÖÜ", "Gr\x81\xE1" "e \x8E\x99\x9A", L""},
        {L"", "", L""},
        {L"a\uFF02b", nullptr, L"\uFF02"},  // a full-width quote must not turn into "
        {L"x\u03A9y", nullptr, L"\u03A9"},   // Greek capital omega
        {L"\u4E2D\u6587", nullptr, L"\u4E2D"},
        {L"a\U0001F600", nullptr, L"\U0001F600"},  // one character, two code units
        {L"\u20AC", nullptr, L"\u20AC"},          // the euro sign is not in 850
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
        const auto encoded = batch::EncodeExactly(c.text, 850);
        if (c.bytes == nullptr) {
            EXPECT_FALSE(encoded.has_value());
        } else {
            ASSERT_TRUE(encoded.has_value());
            EXPECT_EQ(*encoded, c.bytes);
        }
        EXPECT_EQ(batch::FirstUnencodable(c.text, 850), c.firstBad);
    }
}

}  // namespace
