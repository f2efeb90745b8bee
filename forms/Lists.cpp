// Drive list, folder list and file list.
#include "Lists.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <winnetwk.h>

#include <algorithm>
#include <cwctype>

#include "Com.h"
#include "Module1.h"

namespace forms {

namespace {

// "d:" alone, or followed by a blank and more, as a drive list shows it.
bool IsDriveText(const std::wstring& text) {
    return text.size() >= 2 && text[1] == L':' && std::iswalpha(text[0]) && (text.size() == 2 || text[2] == L' ');
}

// Length of the root at the start of an absolute path: "C:\" or "\\server\share\".
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return 3;
    if (path.rfind(L"\\\\", 0) == 0) {
        const size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos)
            return path.size();
        const size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return 0;
}

std::wstring FullPath(const std::wstring& text) {
    const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

std::wstring WithBackslash(const std::wstring& folder) {
    return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool LessByName(const std::wstring& a, const std::wstring& b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE | SORT_DIGITSASNUMBERS, a.c_str(),
                           static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), nullptr, nullptr,
                           0) == CSTR_LESS_THAN;
}

// Calls back for every entry of a folder except "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& folder, bool foldersOnly, Visit visit) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW((WithBackslash(folder) + L"*").c_str(), FindExInfoBasic, &found,
                                     foldersOnly ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;  // an empty or unreadable folder lists nothing
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, found.dwFileAttributes);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool Hidden(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

std::wstring ListBoxText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

std::wstring ComboText(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

// The text a drive list shows for a root such as "C:\". Only fixed drives are asked for their label and
// network drives for their share: asking an empty floppy or CD drive may wait or prompt.
std::wstring DriveText(const std::wstring& root) {
    std::wstring text{static_cast<wchar_t>(std::towlower(root[0])), L':'};
    const UINT type = GetDriveTypeW(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        DWORD previous = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
        wchar_t label[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            label[0] != L'\0')
            text += L" [" + std::wstring(label) + L"]";
        SetThreadErrorMode(previous, nullptr);
    } else if (type == DRIVE_REMOTE) {
        const std::wstring device = root.substr(0, 2);
        wchar_t remote[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (WNetGetConnectionW(device.c_str(), remote, &size) == NO_ERROR)
            text += L" [" + std::wstring(remote) + L"]";
    }
    return text;
}

std::wstring CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    folder.resize(length < needed ? length : 0);
    return folder;
}

HICON ShellFolderIcon(bool open) {
    if (!EnsureCom())
        return nullptr;
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES;
    if (open)
        flags |= SHGFI_OPENICON;
    if (!SHGetFileInfoW(L"Ordner", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info), flags))
        return nullptr;
    return info.hIcon;
}

int FontHeight(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    if (!dc)
        return 0;
    TEXTMETRICW metrics{};
    {
        SelectScope select(dc, font);
        GetTextMetricsW(dc, &metrics);
    }
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

}  // namespace

std::wstring ResolveFolder(const std::wstring& text) {
    if (text.empty())
        return {};
    const bool driveText = IsDriveText(text);
    std::wstring full = FullPath(driveText ? text.substr(0, 2) : text);
    if (!full.empty()) {
        const size_t root = RootLength(full);
        while (full.size() > root && full.back() == L'\\')
            full.pop_back();
        if (root > 0 && full.size() == root && full.back() != L'\\')
            full += L'\\';
        if (full.size() >= 2 && full[1] == L':')
            full[0] = static_cast<wchar_t>(std::towupper(full[0]));
        if (Module1::FolderExists(full))
            return full;
    }
    if (driveText) {
        const std::wstring root{static_cast<wchar_t>(std::towupper(text[0])), L':', L'\\'};
        if (Module1::FolderExists(root))
            return root;
    }
    return {};
}

// ---------------------------------------------------------------------------------------------------------
// DriveList

void DriveList::Create(Container& parent, const TwipsRect& rect) {
    CreateWindowIn(parent, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, rect, L"", Layer::Window);
    const std::wstring current = CurrentFolder();
    if (current.size() >= 2 && current[1] == L':')
        drive_ = current.substr(0, 1);  // completed to the full drive text by Fill
    Fill();
    PlaceWindow();
}

int DriveList::IndexOfLetter(wchar_t letter) const {
    const LRESULT count = SendMessageW(Handle(), CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        const std::wstring text = ComboText(Handle(), i);
        if (!text.empty() && std::towupper(text[0]) == std::towupper(letter))
            return i;
    }
    return -1;
}

void DriveList::Fill() {
    HWND combo = Handle();
    if (!combo)
        return;
    std::wstring roots(512, L'\0');
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    if (length > roots.size()) {
        roots.assign(length, L'\0');
        length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    }
    roots.resize(length <= roots.size() ? length : 0);

    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t start = 0; start < roots.size();) {
        const size_t end = roots.find(L'\0', start);
        const std::wstring root = roots.substr(start, end - start);
        if (!root.empty())
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveText(root).c_str()));
        start = end == std::wstring::npos ? roots.size() : end + 1;
    }
    const int index = drive_.empty() ? -1 : IndexOfLetter(drive_[0]);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index >= 0)
        drive_ = ComboText(combo, index);
}

std::vector<std::wstring> DriveList::Items() const {
    std::vector<std::wstring> items;
    const LRESULT count = Handle() ? SendMessageW(Handle(), CB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i)
        items.push_back(ComboText(Handle(), i));
    return items;
}

bool DriveList::SetDrive(const std::wstring& text) {
    if (text.empty() || !std::iswalpha(text[0]) || !Handle())
        return false;
    int index = IndexOfLetter(text[0]);
    if (index < 0) {
        Fill();  // a drive may have come since the list was filled
        index = IndexOfLetter(text[0]);
    }
    if (index < 0)
        return false;
    if (!drive_.empty() && std::towupper(drive_[0]) == std::towupper(text[0]))
        return true;
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    drive_ = ComboText(Handle(), index);
    Raise(onChange);
    return true;
}

void DriveList::TakeSelection() {
    const LRESULT index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return;
    const std::wstring text = ComboText(Handle(), static_cast<int>(index));
    if (text.empty())
        return;
    const bool changed = drive_.empty() || std::towupper(drive_[0]) != std::towupper(text[0]);
    drive_ = text;
    if (changed)
        Raise(onChange);
}

void DriveList::OnCommand(WORD code) {
    switch (code) {
    case CBN_DROPDOWN:
        Fill();  // drives come and go: show the ones there are now
        break;
    case CBN_SELCHANGE:
        // While the list is dropped down the arrow keys only move the highlight; the choice comes on closing.
        if (!SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0))
            TakeSelection();
        break;
    case CBN_SELENDOK:
    case CBN_CLOSEUP:
        TakeSelection();
        break;
    case CBN_SELENDCANCEL:
        if (!drive_.empty())
            SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(IndexOfLetter(drive_[0])), 0);
        break;
    default:
        break;
    }
}

void DriveList::PlaceWindow() {
    HWND combo = Handle();
    if (!combo)
        return;
    const UINT dpi = Dpi();
    const int height = TwipsToPixels(Height(), dpi);
    const int item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    // The window's height is the dropped-down list's; the selection field takes its height from the item
    // height, which is set so that the field is as high as the layout says.
    SetWindowPos(combo, nullptr, TwipsToPixels(Left(), dpi), TwipsToPixels(Top(), dpi), TwipsToPixels(Width(), dpi),
                 height + 8 * std::max(item, 1) + 2, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT field{};
    GetWindowRect(combo, &field);
    const int difference = height - (field.bottom - field.top);
    if (difference != 0) {
        const LRESULT selection = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (selection != CB_ERR && selection + difference > 0)
            SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), selection + difference);
    }
}

// ---------------------------------------------------------------------------------------------------------
// FolderList

FolderList::~FolderList() = default;

void FolderList::Create(Container& parent, const TwipsRect& rect) {
    closedIcon_.Reset(ShellFolderIcon(false));
    openIcon_.Reset(ShellFolderIcon(true));
    CreateWindowIn(parent, L"LISTBOX",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                   WS_EX_CLIENTEDGE, rect, L"", Layer::Window);
    PlaceWindow();
    path_ = ResolveFolder(CurrentFolder());
    Fill();
}

bool FolderList::SetPath(const std::wstring& text) {
    const std::wstring folder = ResolveFolder(text);
    if (folder.empty())
        return false;
    if (SameText(folder, path_))
        return true;
    path_ = folder;
    Fill();
    Raise(onChange);
    return true;
}

void FolderList::Fill() {
    entries_.clear();
    openedIndex_ = -1;
    if (!path_.empty()) {
        const size_t rootLength = RootLength(path_);
        std::wstring walked = WithBackslash(path_.substr(0, rootLength));
        entries_.push_back({walked, walked, 0, true});
        int level = 0;
        const std::wstring rest = path_.substr(std::min(rootLength, path_.size()));
        for (size_t start = 0; start < rest.size();) {
            size_t end = rest.find(L'\\', start);
            if (end == std::wstring::npos)
                end = rest.size();
            if (end > start) {
                const std::wstring name = rest.substr(start, end - start);
                walked = WithBackslash(walked) + name;
                entries_.push_back({walked, name, ++level, true});
            }
            start = end + 1;
        }
        openedIndex_ = static_cast<int>(entries_.size()) - 1;

        std::vector<std::wstring> names;
        ForEachEntry(path_, true, [&](const std::wstring& name, DWORD attributes) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !Hidden(attributes))
                names.push_back(name);
        });
        std::sort(names.begin(), names.end(), LessByName);
        for (const std::wstring& name : names)
            entries_.push_back({WithBackslash(path_) + name, name, level + 1, false});
    }

    HWND list = Handle();
    if (!list)
        return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const Entry& entry : entries_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(openedIndex_), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<std::wstring> FolderList::ItemPaths() const {
    std::vector<std::wstring> paths;
    for (const Entry& entry : entries_)
        paths.push_back(entry.path);
    return paths;
}

void FolderList::OpenItem(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size()))
        return;
    // A folder that has gone since the list was filled can't be opened: show the folders as they are now.
    if (!SetPath(entries_[static_cast<size_t>(index)].path))
        Fill();
}

void FolderList::OnCommand(WORD code) {
    if (code == LBN_DBLCLK)
        OpenItem(static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)));
}

bool FolderList::OnEnterKey() {
    OpenItem(static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)));
    return true;
}

bool FolderList::OnDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool focused = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) {
        if (focused)
            DrawFocusRect(dc, &rect);
        return true;
    }
    const Entry& entry = entries_[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int dpi = static_cast<int>(Dpi());
    const int iconSize = GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));

    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int x = rect.left + MulDiv(2, dpi, 96) + entry.level * MulDiv(9, dpi, 96);
    if (HICON icon = entry.opened ? openIcon_.Get() : closedIcon_.Get())
        DrawIconEx(dc, x, rect.top + (rect.bottom - rect.top - iconSize) / 2, icon, iconSize, iconSize, 0, nullptr,
                   DI_NORMAL);
    x += iconSize + MulDiv(3, dpi, 96);

    SelectScope font(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text{x, rect.top, rect.right, rect.bottom};
    DrawTextW(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (focused)
        DrawFocusRect(dc, &rect);
    return true;
}

void FolderList::PlaceWindow() {
    Control::PlaceWindow();
    if (HWND list = Handle()) {
        const int iconSize = GetSystemMetricsForDpi(SM_CYSMICON, Dpi());
        const int height = std::max(FontHeight(list, CurrentFont()), iconSize) + 1;
        SendMessageW(list, LB_SETITEMHEIGHT, 0, height);
    }
}

// ---------------------------------------------------------------------------------------------------------
// FileList

void FileList::Create(Container& parent, const TwipsRect& rect, const std::wstring& pattern) {
    pattern_ = pattern;
    CreateWindowIn(parent, L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
                   WS_EX_CLIENTEDGE, rect, L"", Layer::Window);
    path_ = ResolveFolder(CurrentFolder());
    Fill();
}

bool FileList::SetPath(const std::wstring& folder) {
    const std::wstring resolved = ResolveFolder(folder);
    if (resolved.empty())
        return false;
    path_ = resolved;
    Fill();
    return true;
}

void FileList::Fill() {
    std::vector<std::wstring> parts;
    for (size_t start = 0; start <= pattern_.size();) {
        size_t end = pattern_.find(L';', start);
        if (end == std::wstring::npos)
            end = pattern_.size();
        if (end > start)
            parts.push_back(pattern_.substr(start, end - start));
        start = end + 1;
    }
    HWND list = Handle();
    if (!list)
        return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (!path_.empty()) {
        // Each file once, however many parts it matches ("*.pdf;*.PDF" is one file on this file system).
        ForEachEntry(path_, false, [&](const std::wstring& name, DWORD attributes) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || Hidden(attributes))
                return;
            const bool matches = std::any_of(parts.begin(), parts.end(), [&](const std::wstring& part) {
                return PathMatchSpecW(name.c_str(), part.c_str()) != FALSE;
            });
            if (matches)
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        });
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<std::wstring> FileList::Files() const {
    std::vector<std::wstring> files;
    const LRESULT count = Handle() ? SendMessageW(Handle(), LB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i)
        files.push_back(ListBoxText(Handle(), i));
    return files;
}

}  // namespace forms
