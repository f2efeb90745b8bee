// Path helpers and list-file readers: ShortPath, FolderExists, SplitPath and the readers of list.tmp.
#include "Module1.h"

#include <climits>
#include <vector>

namespace Module1 {

namespace {

constexpr wchar_t kCR = L'\r';
constexpr wchar_t kLF = L'\n';
constexpr int64_t kWholeReadLimit = 1024 * 1024;  // bytes; at and above it count mode 0 counts in chunks
constexpr DWORD kCountChunkBytes = 4096;
constexpr DWORD kReadChunkBytes = 64 * 1024;

// Opens a file for reading while other processes may go on reading and writing it.
UniqueHandle OpenShared(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid())
        throw Failure{L"Die Datei \"" + path + L"\" kann nicht geöffnet werden.", GetLastError()};
    return file;
}

int64_t OpenFileLength(const UniqueHandle& file, const std::wstring& path) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        throw Failure{L"Die Größe der Datei \"" + path + L"\" kann nicht ermittelt werden.", GetLastError()};
    return size.QuadPart;
}

// Reads exactly `bytes` bytes (an even number) as UTF-16 code units into `units`.
void ReadUnits(const UniqueHandle& file, const std::wstring& path, DWORD bytes, std::wstring& units) {
    units.resize(bytes / sizeof(wchar_t));
    DWORD done = 0;
    while (done < bytes) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), reinterpret_cast<char*>(units.data()) + done, bytes - done, &got, nullptr))
            throw Failure{L"Die Datei \"" + path + L"\" kann nicht gelesen werden.", GetLastError()};
        if (got == 0)
            throw Failure{L"Die Datei \"" + path + L"\" wurde beim Lesen kürzer.", ERROR_HANDLE_EOF};
        done += got;
    }
}

void RequireEvenLength(int64_t bytes, const std::wstring& path) {
    if (bytes % 2 != 0)
        throw Failure{L"Die Datei \"" + path + L"\" ist keine UTF-16-Liste (ungerade Länge).", ERROR_INVALID_DATA};
}

void AddToCount(int32_t& count, int64_t add) {
    if (add > INT32_MAX - static_cast<int64_t>(count))
        throw Failure{L"Die Zeilenzahl passt nicht in 32 Bit.", ERROR_ARITHMETIC_OVERFLOW};
    count += static_cast<int32_t>(add);
}

}  // namespace

std::wstring ShortPath(std::wstring path) {
    std::wstring buffer(256, L' ');
    DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    // Too small a buffer: the call answers with the size it needs (with the terminating null). Ask again
    // with that size; the path may have changed in between, so keep asking until it fits.
    while (length > buffer.size()) {
        buffer.assign(length, L' ');
        length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    buffer.resize(length);
    return buffer;
}

bool FolderExists(const std::wstring& path) {
    // A NUL inside the text would end it early and ask about another path.
    if (path.find(L'\0') != std::wstring::npos)
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes & 16) != 0;
}

SplitParts SplitPath(const std::wstring& path) {
    SplitParts parts;
    parts.remaining = path;
    if (parts.remaining.size() >= 2 && parts.remaining[1] == L':') {
        parts.drive = parts.remaining.substr(0, 2);
        parts.remaining.erase(0, 2);
    }
    // Positions are 16-bit: a longer text is an error for the caller, never a wrapped index.
    if (parts.remaining.size() > 32767)
        throw Failure{L"Der Pfad ist länger als 32767 Zeichen.", ERROR_ARITHMETIC_OVERFLOW};

    int16_t position = static_cast<int16_t>(parts.remaining.size());
    while (position >= 1) {
        const wchar_t c = parts.remaining[position - 1];
        const int16_t behind = static_cast<int16_t>(parts.remaining.size() - position);
        if (c == L'.') {
            if (behind >= 1)
                parts.extension = parts.remaining.substr(position - 1);
            parts.remaining.resize(position - 1);
        } else if (c == L'\\' && behind >= 1) {
            parts.remaining.resize(position);
            break;
        }
        --position;
    }
    return parts;
}

std::wstring FolderOfPath(std::wstring path) {
    SplitParts parts = SplitPath(path);
    return parts.drive + parts.remaining;
}

std::wstring ExtensionOfPath(std::wstring path) {
    return SplitPath(path).extension;
}

int32_t CountLines(const std::wstring& path, int32_t countMode) {
    UniqueHandle file = OpenShared(path);

    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        throw Failure{L"Die Größe der Datei \"" + path + L"\" kann nicht ermittelt werden.", GetLastError()};
    const int64_t lengthByPath = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const int64_t length = OpenFileLength(file, path);
    if (length > INT32_MAX || lengthByPath > INT32_MAX)
        throw Failure{L"Die Datei \"" + path + L"\" ist größer als 2 GiB.", ERROR_ARITHMETIC_OVERFLOW};
    RequireEvenLength(length, path);

    std::wstring units;
    int32_t count = 0;
    if ((lengthByPath < kWholeReadLimit && countMode == 0) || countMode == 1) {
        ReadUnits(file, path, static_cast<DWORD>(length), units);
        if (units.empty())
            return -1;  // an empty text splits into no pieces: the upper bound is -1
        int64_t pairs = 0;
        for (size_t i = 0; i + 1 < units.size(); ++i) {
            if (units[i] == kCR && units[i + 1] == kLF) {
                ++pairs;
                ++i;
            }
        }
        AddToCount(count, pairs);
        return count;
    }

    // Chunked: every CR counts, also one whose LF lies in the next chunk or one that stands alone.
    int64_t remaining = length;
    while (remaining > 0) {
        const DWORD bytes = remaining > kCountChunkBytes ? kCountChunkBytes : static_cast<DWORD>(remaining);
        remaining -= bytes;
        ReadUnits(file, path, bytes, units);
        int64_t found = 0;
        for (wchar_t unit : units)
            found += unit == kCR;
        AddToCount(count, found);
    }
    return count;
}

std::wstring ReadListLine(const std::wstring& path, int32_t lineIndex) {
    try {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return L"";
        ListFileReader reader(path);
        std::vector<std::wstring> pieces;
        std::wstring piece;
        while (reader.Next(piece))
            pieces.push_back(piece);

        const int64_t upperBound = static_cast<int64_t>(pieces.size()) - 1;
        int64_t position = -1;
        if (lineIndex > 0)
            position = static_cast<int64_t>(lineIndex) - 1;
        else if (lineIndex < 0)
            position = upperBound + lineIndex + 1;
        if (lineIndex == 0 || position < 0 || position > upperBound)
            return L"";
        return pieces[static_cast<size_t>(position)];
    } catch (...) {
        // Every failure (open, read, odd length, memory) gives the empty text.
        return L"";
    }
}

ListFileReader::ListFileReader(const std::wstring& path) : path_(path), file_(OpenShared(path)) {
    unreadBytes_ = OpenFileLength(file_, path_);
    RequireEvenLength(unreadBytes_, path_);
    empty_ = unreadBytes_ == 0;
}

bool ListFileReader::Fill() {
    position_ = 0;
    if (unreadBytes_ <= 0) {
        buffer_.clear();
        return false;
    }
    const DWORD bytes = unreadBytes_ > kReadChunkBytes ? kReadChunkBytes : static_cast<DWORD>(unreadBytes_);
    unreadBytes_ -= bytes;
    ReadUnits(file_, path_, bytes, buffer_);
    return true;
}

bool ListFileReader::Next(std::wstring& piece) {
    if (done_)
        return false;
    piece.clear();
    for (;;) {
        if (position_ == buffer_.size() && !Fill()) {
            // End of file: the text after the last CR LF is a piece of its own (empty after a final CR LF).
            done_ = true;
            return !empty_;
        }
        const size_t cr = buffer_.find(kCR, position_);
        if (cr == std::wstring::npos) {
            piece.append(buffer_, position_, std::wstring::npos);
            position_ = buffer_.size();
            continue;
        }
        piece.append(buffer_, position_, cr - position_);
        position_ = cr + 1;
        if (position_ == buffer_.size() && !Fill()) {
            piece.push_back(kCR);  // a CR that ends the file is no line end
            done_ = true;
            return true;
        }
        if (buffer_[position_] == kLF) {
            ++position_;
            return true;
        }
        piece.push_back(kCR);  // a lone CR stays part of the line
    }
}

}  // namespace Module1
