// Line composer of do.bat and the listing command: quoting, % protection and the batch file's code page.
#include "BatchLine.h"

#include <algorithm>

namespace batch {

namespace {

bool IsUnicodeSpace(wchar_t c) {
    switch (c) {
    case L' ': case L'\t': case L'\v': case L'\f': case 0x0085: case 0x00A0: case 0x1680: case 0x2028:
    case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

// Puts the piece in quotes where needed and writes each % as `percent`.
std::wstring Protect(const std::wstring& piece, const wchar_t* percent, bool doubleTrailingBackslashes) {
    std::wstring out;
    const bool quote = NeedsQuotes(piece);
    if (quote)
        out += L'"';
    for (wchar_t c : piece) {
        if (c == L'%')
            out += percent;
        else
            out += c;
    }
    if (quote) {
        if (doubleTrailingBackslashes) {
            const size_t last = piece.find_last_not_of(L'\\');
            const size_t trailing = piece.size() - (last == std::wstring::npos ? 0 : last + 1);
            out.append(trailing, L'\\');
        }
        out += L'"';
    }
    return out;
}

}  // namespace

bool NeedsQuotes(const std::wstring& piece) {
    if (piece.empty())
        return true;
    return std::any_of(piece.begin(), piece.end(), [](wchar_t c) {
        return IsUnicodeSpace(c) || std::wstring_view(L"&|<>^(),;=").find(c) != std::wstring_view::npos;
    });
}

// In the batch file %% becomes %, so the inner cmd /c sees %%cd:~,% : a lone % followed by the empty
// expansion of %cd:~,% . That leaves a plain % behind without expanding a variable such as %OS%.
std::wstring BatchPiece(const std::wstring& piece) {
    return Protect(piece, L"%%%%cd:~,%%", true);
}

std::wstring ListingPiece(const std::wstring& piece) {
    return Protect(piece, L"%%cd:~,%", false);
}

std::wstring ComposeLine(const std::wstring& command, const std::wstring& shortPath, const std::wstring& target) {
    const bool quoted = NeedsQuotes(shortPath) || NeedsQuotes(target);
    std::wstring line = L"cmd /c ";
    if (quoted && !command.empty() && command.front() == L'"')
        line += L'@';
    line += command;
    line += L' ';
    line += BatchPiece(shortPath);
    line += L' ';
    line += BatchPiece(target);
    return line;
}

UINT BatchFileCodePage() {
    return GetOEMCP();
}

std::optional<std::string> EncodeExactly(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return std::string();
    // UTF-8 and GB 18030 take no best-fit flag; every other code page is told not to map to look-alikes.
    const bool noFlags = codePage == CP_UTF8 || codePage == 54936;
    const DWORD flags = noFlags ? 0 : WC_NO_BEST_FIT_CHARS;
    const int wideLength = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(codePage, flags, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::nullopt;
    std::string encoded(static_cast<size_t>(bytes), '\0');
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(codePage, flags, text.data(), wideLength, encoded.data(), bytes, nullptr,
                            noFlags ? nullptr : &usedDefault) != bytes ||
        usedDefault)
        return std::nullopt;
    // The way back must give the same text: whatever was replaced or approximated shows up here.
    const int back = MultiByteToWideChar(codePage, 0, encoded.data(), bytes, nullptr, 0);
    std::wstring decoded(static_cast<size_t>(back > 0 ? back : 0), L'\0');
    if (back <= 0 || MultiByteToWideChar(codePage, 0, encoded.data(), bytes, decoded.data(), back) != back ||
        decoded != text)
        return std::nullopt;
    return encoded;
}

std::wstring FirstUnencodable(const std::wstring& text, UINT codePage) {
    for (size_t i = 0; i < text.size(); ++i) {
        size_t length = 1;
        if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]))
            length = 2;
        const std::wstring character = text.substr(i, length);
        if (!EncodeExactly(character, codePage))
            return character;
        i += length - 1;
    }
    return L"";
}

}  // namespace batch
