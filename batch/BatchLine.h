// Composes the lines of do.bat and the listing command so that every file name reaches its program intact.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace batch {

// True when cmd would split or act on the piece unless it stands in double quotes.
bool NeedsQuotes(const std::wstring& piece);

// One piece of a do.bat line: quoted where needed (trailing backslashes doubled inside the quotes, so a
// program that parses its command line the usual way gets them back), each % written so that neither the
// batch file nor the inner cmd /c expands it.
std::wstring BatchPiece(const std::wstring& piece);

// One piece of the listing command line (no batch file in between; dir takes backslashes as they are).
std::wstring ListingPiece(const std::wstring& piece);

// "cmd /c " + command + " " + file + " " + target, the last two protected as above; "cmd /c @" when a piece
// is quoted and the command itself starts with a quote, so that cmd /c keeps the command's quotes.
std::wstring ComposeLine(const std::wstring& command, const std::wstring& shortPath, const std::wstring& target);

// The code page do.bat is written in: the one cmd reads batch files with on a default console (OEM).
UINT BatchFileCodePage();

// The text in the given code page, or nothing when a character cannot be held exactly (no best fit).
std::optional<std::string> EncodeExactly(const std::wstring& text, UINT codePage);

// The first character (a surrogate pair counts as one) that the code page cannot hold exactly; empty if none.
std::wstring FirstUnencodable(const std::wstring& text, UINT codePage);

}  // namespace batch
