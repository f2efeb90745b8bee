// The drive list, the folder list and the file list, built on a combo box and two list boxes.
// Setting a drive or a path from code reports the change at once, inside the setter, and only when the
// value really changes; a choice of the user reports it the same way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Form.h"
#include "Gdi.h"

namespace forms {

// A drop-down list of the machine's drives. The drive text begins with the drive letter and colon, followed
// by the volume label (or a network drive's share) in brackets where there is one: "c: [System]".
class DriveList : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect);

    std::wstring Drive() const { return drive_; }
    // Shows the drive whose letter the text begins with ("D:\Daten" shows d:). False, with nothing
    // changed, when the machine has no such drive.
    bool SetDrive(const std::wstring& text);
    std::vector<std::wstring> Items() const;

    std::function<void()> onChange;

protected:
    void OnCommand(WORD code) override;
    void PlaceWindow() override;
    bool TakesFocus() const override { return true; }

private:
    void Fill();
    int IndexOfLetter(wchar_t letter) const;
    void TakeSelection();

    std::wstring drive_;
};

// The folders of one drive: the chain from the root down to the opened folder, then the opened folder's
// subfolders, indented, with folder pictures. A double-click (or Enter) opens a folder; a folder that is
// only highlighted is not the path.
class FolderList : public Control {
public:
    ~FolderList() override;
    void Create(Container& parent, const TwipsRect& rect);

    // The opened folder: "C:\" at a root, "C:\Daten\Alt" below it.
    std::wstring Path() const { return path_; }
    // Opens a folder path, or a drive list's drive text ("d:" and what follows it), which opens that
    // drive's current folder as the system keeps it per drive (its root when that folder has gone).
    // False, with nothing changed, when the text names no folder.
    bool SetPath(const std::wstring& text);

    // The full paths of the lines, top to bottom, and the line of the opened folder.
    std::vector<std::wstring> ItemPaths() const;
    int OpenedIndex() const { return openedIndex_; }
    // Opens the folder of that line, as a double-click on it does.
    void OpenItem(int index);

    std::function<void()> onChange;

protected:
    void OnCommand(WORD code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnEnterKey() override;
    bool TakesFocus() const override { return true; }
    void PlaceWindow() override;

private:
    struct Entry {
        std::wstring path;
        std::wstring name;
        int level;
        bool opened;  // the root, the folders down to the opened one, and that one
    };
    void Fill();

    std::wstring path_;
    std::vector<Entry> entries_;
    int openedIndex_ = -1;
    Icon closedIcon_;
    Icon openIcon_;
};

// The files (not folders, nor hidden or system files) of one folder whose names match a pattern of
// ";"-separated parts such as "*.pdf;*.PDF", sorted by name.
class FileList : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& pattern);

    std::wstring Path() const { return path_; }
    // Lists that folder's matching files. False, with the list as it was, when the text names no folder.
    bool SetPath(const std::wstring& folder);
    std::wstring Pattern() const { return pattern_; }
    std::vector<std::wstring> Files() const;

protected:
    bool TakesFocus() const override { return true; }

private:
    void Fill();

    std::wstring path_;
    std::wstring pattern_;
};

// The folder a text names, made absolute, without a trailing backslash except at a root; empty when the
// text names no existing folder.
std::wstring ResolveFolder(const std::wstring& text);

}  // namespace forms
