// The forms layer on its own: twips, the three lists and their change reports, settings, message boxes,
// form lifetime, timers, clicks and transparency.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "Controls.h"
#include "Dialogs.h"
#include "Form.h"
#include "Lists.h"
#include "Settings.h"
#include "TestFiles.h"
#include "WindowTesting.h"

using namespace testing_support;
using namespace window_testing;

namespace {

std::wstring FullPath(const std::wstring& text) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(text.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// A form of its own for each test. The quit that the form of the test before left behind, when it was
// destroyed as the last one, is taken out first.
class FormsTest : public ::testing::Test {
protected:
    FormsTest() { form.Create(L"Formular", 6000, 4500); }
    void SetUp() override { QuitPosted(); }
    void TearDown() override { QuitPosted(); }

    MessageBoxRecorder boxes;
    forms::Form form;
};

TEST(Twips, PixelsAtTheWindowsDpi) {
    struct Case {
        float twips;
        UINT dpi;
        int pixels;
    };
    const Case kCases[] = {
        {15, 96, 1},    {4335, 96, 289}, {700, 96, 47},   // 46.67 pixels: rounded to the nearest
        {-45, 96, -3},  {7, 96, 0},      {8, 96, 1},
        {700, 144, 70}, {15, 144, 2},    {10320, 120, 860},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.twips) + " twips at " + std::to_string(c.dpi));
        EXPECT_EQ(forms::TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
    EXPECT_EQ(forms::PixelsToTwips(47, 96), 705.0f);
}

// A folder with subfolders in mixed case, a hidden one and a file.
struct Tree {
    TempFolder root;
    Tree() {
        MakeFolder(root / L"b");
        MakeFolder(root / L"A");
        MakeFolder(root / L"c 2");
        MakeFolder(root / L"b\\tief");
        MakeFolder(root / L"versteckt");
        SetFileAttributesW((root / L"versteckt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBytes(root / L"datei.txt", "");
    }
};

TEST_F(FormsTest, FolderListShowsTheChainAndTheSubfolders) {
    Tree tree;
    forms::FolderList list;
    list.Create(form, {0, 0, 3000, 2000});
    ASSERT_TRUE(list.SetPath(tree.root.Path()));

    std::vector<std::wstring> expected{L"C:\\"};
    const std::wstring path = tree.root.Path();
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        expected.push_back(path.substr(0, at));
    expected.push_back(path);
    const int opened = static_cast<int>(expected.size()) - 1;
    for (const wchar_t* name : {L"A", L"b", L"c 2"})  // by name, whatever the case; no hidden folder, no file
        expected.push_back(tree.root / name);
    EXPECT_EQ(list.ItemPaths(), expected);
    EXPECT_EQ(list.OpenedIndex(), opened);
    EXPECT_EQ(SendMessageW(list.Handle(), LB_GETCURSEL, 0, 0), opened) << "the opened folder is highlighted";

    ASSERT_TRUE(list.SetPath(L"C:\\"));
    EXPECT_EQ(list.Path(), L"C:\\") << "a root keeps its backslash";
}

TEST_F(FormsTest, FolderListReportsOnlyRealChangesInsideTheSetter) {
    Tree tree;
    forms::FolderList list;
    list.Create(form, {0, 0, 3000, 2000});
    std::vector<std::wstring> reported;
    list.onChange = [&] { reported.push_back(list.Path()); };

    struct Case {
        const char* name;
        std::wstring text;
        bool accepted;
        std::wstring path;  // afterwards
        size_t reports;     // reports so far
    };
    const std::wstring root = tree.root.Path();
    std::wstring upper = root;
    CharUpperW(upper.data());
    ASSERT_NE(upper, root);
    const Case kCases[] = {
        {"another folder", root, true, root, 1},
        {"the same folder", root, true, root, 1},
        {"the same with a backslash", root + L"\\", true, root, 1},
        {"the same in capitals", upper, true, root, 1},
        {"a subfolder", root + L"\\b", true, root + L"\\b", 2},
        {"a doubled backslash", root + L"\\\\A", true, root + L"\\A", 3},
        {"a folder that is not there", root + L"\\fehlt", false, root + L"\\A", 3},
        {"a file", root + L"\\datei.txt", false, root + L"\\A", 3},
        {"empty text", L"", false, root + L"\\A", 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.SetPath(c.text), c.accepted);
        EXPECT_EQ(list.Path(), c.path);
        EXPECT_EQ(reported.size(), c.reports);
    }
    // Each report came with the new path already set.
    EXPECT_EQ(reported, (std::vector<std::wstring>{root, root + L"\\b", root + L"\\A"}));
}

TEST_F(FormsTest, FolderListTakesADrivesTextAsItsCurrentFolder) {
    forms::FolderList list;
    list.Create(form, {0, 0, 3000, 2000});
    // The drive's current folder as the system keeps it per drive; C: has none of its own in this process.
    const std::wstring current = FullPath(L"C:");
    ASSERT_TRUE(list.SetPath(L"c: [System]"));
    EXPECT_EQ(list.Path(), current.size() > 3 && current.back() == L'\\' ? current.substr(0, current.size() - 1)
                                                                          : current);
    const std::wstring here = FullPath(L".");
    ASSERT_TRUE(list.SetPath(std::wstring(1, here[0]) + L":"));
    EXPECT_EQ(list.Path(), here) << "on the process's own drive that is the current folder";
}

TEST_F(FormsTest, FolderListOpensByDoubleClickAndEnter) {
    Tree tree;
    forms::FolderList list;
    list.Create(form, {0, 0, 3000, 2000});
    list.SetPath(tree.root.Path());
    int reports = 0;
    list.onChange = [&] { ++reports; };
    form.Show();

    const std::vector<std::wstring> items = list.ItemPaths();
    const int b = static_cast<int>(std::find(items.begin(), items.end(), tree.root / L"b") - items.begin());
    // A single click only highlights.
    SendMessageW(list.Handle(), LB_SETCURSEL, static_cast<WPARAM>(b), 0);
    Pump();
    EXPECT_EQ(reports, 0);
    DoubleClickItem(list.Handle(), b);
    EXPECT_EQ(list.Path(), tree.root / L"b");
    EXPECT_EQ(reports, 1);

    // Enter opens the highlighted folder: here the root at the top.
    list.SetFocus();
    SendMessageW(list.Handle(), LB_SETCURSEL, 0, 0);
    PostMessageW(list.Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    EXPECT_EQ(list.Path(), L"C:\\");
    EXPECT_EQ(reports, 2);

    // A folder that has gone since it was listed: no change, the list shows what is there now.
    list.SetPath(tree.root.Path());
    RemoveTree(tree.root / L"c 2");
    const std::vector<std::wstring> before = list.ItemPaths();
    const int gone = static_cast<int>(std::find(before.begin(), before.end(), tree.root / L"c 2") - before.begin());
    DoubleClickItem(list.Handle(), gone);
    EXPECT_EQ(list.Path(), tree.root.Path());
    const std::vector<std::wstring> after = list.ItemPaths();
    EXPECT_EQ(std::find(after.begin(), after.end(), tree.root / L"c 2"), after.end());
}

TEST_F(FormsTest, DriveListReportsOnlyRealChangesInsideTheSetter) {
    forms::DriveList drives;
    drives.Create(form, {0, 0, 3000, 315});
    const std::vector<std::wstring> items = drives.Items();
    ASSERT_FALSE(items.empty());
    for (const std::wstring& item : items) {
        SCOPED_TRACE(std::string(item.begin(), item.end()));
        ASSERT_GE(item.size(), 2u);
        EXPECT_TRUE(iswalpha(item[0]));
        EXPECT_EQ(item[1], L':');
    }
    const wchar_t here = static_cast<wchar_t>(towlower(FullPath(L".")[0]));
    EXPECT_EQ(drives.Drive()[0], here) << "the list starts on the current drive";

    wchar_t absent = 0;
    const DWORD present = GetLogicalDrives();
    for (int i = 25; i >= 0 && !absent; --i)
        if (!(present & (1u << i)))
            absent = static_cast<wchar_t>(L'a' + i);

    std::vector<std::wstring> reported;
    drives.onChange = [&] { reported.push_back(drives.Drive()); };
    struct Case {
        const char* name;
        std::wstring text;
        bool accepted;
        wchar_t letter;  // afterwards
        size_t reports;
    };
    const Case kCases[] = {
        {"the drive it shows", std::wstring(1, here) + L":\\irgendwo", true, here, 0},
        {"drive C: by a path", L"C:\\Windows", true, L'c', 1},
        {"C: again, in capitals and with more text", L"C: [anders]", true, L'c', 1},
        {"a letter the machine has not", std::wstring(1, absent) + L":", false, L'c', 1},
        {"no letter", L"\\\\server\\share", false, L'c', 1},
        {"empty", L"", false, L'c', 1},
        {"back to the current drive", std::wstring(1, here) + L":", true, here, 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(drives.SetDrive(c.text), c.accepted);
        EXPECT_EQ(drives.Drive()[0], c.letter);
        EXPECT_EQ(reported.size(), c.reports);
    }
    EXPECT_EQ(reported[0][0], L'c') << "the report comes with the new drive already set";

    // The user's choice of the drive shown reports nothing; another drive reports once.
    const int c = static_cast<int>(std::find_if(items.begin(), items.end(), [](const std::wstring& t) { return t[0] == L'c'; }) - items.begin());
    const int own = static_cast<int>(std::find_if(items.begin(), items.end(), [&](const std::wstring& t) { return t[0] == here; }) - items.begin());
    ChooseInCombo(drives.Handle(), own);
    EXPECT_EQ(reported.size(), 2u);
    ChooseInCombo(drives.Handle(), c);
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(drives.Drive()[0], L'c');
}

TEST_F(FormsTest, FileListShowsMatchingFilesOnly) {
    TempFolder folder;
    for (const wchar_t* name : {L"a.pdf", L"B.PDF", L"c.Pdf", L"d.txt", L"e.tiff", L"f.tif", L"g.pdf.txt"})
        WriteBytes(folder / name, "");
    MakeFolder(folder / L"ordner.pdf");
    WriteBytes(folder / L"versteckt.pdf", "");
    SetFileAttributesW((folder / L"versteckt.pdf").c_str(), FILE_ATTRIBUTE_HIDDEN);

    struct Case {
        const wchar_t* pattern;
        std::vector<std::wstring> files;
    };
    const Case kCases[] = {
        {L"*.pdf;*.PDF", {L"a.pdf", L"B.PDF", L"c.Pdf"}},  // each once, in any case
        {L"*.tif", {L"f.tif"}},                            // not the .tiff
        {L"*.txt", {L"d.txt", L"g.pdf.txt"}},
        {L"nichts", {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::wstring(c.pattern).size());
        forms::FileList list;
        list.Create(form, {0, 0, 3000, 1000}, c.pattern);
        ASSERT_TRUE(list.SetPath(folder.Path()));
        EXPECT_EQ(list.Files(), c.files);
        EXPECT_FALSE(list.SetPath(folder / L"fehlt"));
        EXPECT_EQ(list.Path(), folder.Path());
    }
}

TEST(Settings, StoredTextComesBackExactly) {
    ScopedUserRegistry registry;
    const std::wstring kValues[] = {
        L"C:\\Ordner mit Blank \\", L"Ü ß € ☃", L"", std::wstring(5000, L'x'), L"\\\\server\\share",
    };
    EXPECT_EQ(forms::GetSetting(L"Treskel", L"Optionen", L"fehlt", L"C:\\"), L"C:\\");
    for (const std::wstring& value : kValues) {
        SCOPED_TRACE(value.size());
        ASSERT_EQ(forms::SaveSetting(L"Treskel", L"Optionen", L"StartDir", value), ERROR_SUCCESS);
        EXPECT_EQ(forms::GetSetting(L"Treskel", L"Optionen", L"StartDir", L"C:\\"), value);
    }
    std::wstring raw;
    ASSERT_TRUE(ReadSetting(L"StartDir", raw)) << "under HKEY_CURRENT_USER\\Software\\Treskel\\Optionen";

    registry.Break();
    EXPECT_NE(forms::SaveSetting(L"Treskel", L"Optionen", L"StartDir", L"x"), ERROR_SUCCESS);
    EXPECT_EQ(forms::GetSetting(L"Treskel", L"Optionen", L"StartDir", L"C:\\"), L"C:\\");
}

TEST_F(FormsTest, MessageBoxHookAndFailingHandlers) {
    forms::MsgBox(form, L"Text", L"Treskel");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].owner, form.Handle());
    EXPECT_EQ(boxes.boxes[0].text, L"Text");
    EXPECT_EQ(boxes.boxes[0].title, L"Treskel");

    // An exception must not unwind through the system: it becomes a message and the program goes on.
    forms::Label label;
    label.Create(form, {0, 0, 1500, 300}, L"klick");
    label.onClick = [] { throw std::runtime_error("kaputt"); };
    form.Show();
    Click(label.Handle());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, L"Ein unerwarteter Fehler ist aufgetreten: kaputt");
}

TEST_F(FormsTest, LoadAndUnloadAndTheLastForm) {
    std::vector<std::string> events;
    form.onLoad = [&] { events.push_back(IsWindowVisible(form.Handle()) ? "load shown" : "load hidden"); };
    form.onUnload = [&] { events.push_back(IsWindow(form.Handle()) ? "unload" : "unload without window"); };
    forms::Form second;
    second.Create(L"Zweites", 3000, 2000);
    const int open = forms::Form::OpenCount();

    form.Show();
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    second.Show();
    form.Unload();
    form.Unload();
    EXPECT_EQ(events, (std::vector<std::string>{"load hidden", "unload"}));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(forms::Form::OpenCount(), open - 1);
    EXPECT_FALSE(QuitPosted()) << "another form is still open";
    SendMessageW(second.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(forms::Form::OpenCount(), open - 2);
    EXPECT_EQ(QuitPosted(), open == 2) << "the last form gone ends the program";
}

TEST_F(FormsTest, PlaceAndSizeInTwips) {
    form.Show();
    form.SetLeft(1500);
    form.SetTop(750);
    form.SetWidth(6015);
    EXPECT_EQ(form.Left(), 1500.0f);
    EXPECT_EQ(form.Top(), 750.0f);
    EXPECT_EQ(form.Width(), 6015.0f);
    RECT outer{};
    GetWindowRect(form.Handle(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.right - outer.left, 401);
    form.SetWidth(0);
    EXPECT_LT(form.Width(), 6015.0f) << "the system keeps a minimum width";
    EXPECT_GT(forms::Form::ScreenWidth(), 0.0f);
}

// Moved to a screen of 144 DPI, the form lays its controls out again from their twips and makes their
// fonts anew for that DPI.
TEST_F(FormsTest, NewDpiLaysOutAgainFromTheTwips) {
    forms::Frame frame;
    frame.Create(form, {105, 135, 4425, 4335}, L"Rahmen");
    forms::TextBox box;
    box.Create(frame, {105, 270, 4215, 285}, L"");
    box.SetFont({L"MS Sans Serif", 8.25f, FW_BOLD});
    form.Show();
    frame.SetHeight(700);

    RECT suggested{0, 0, 900, 700};
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Dpi(), 144u);
    EXPECT_EQ(frame.Height(), 700.0f) << "the twips stay as they were set";
    const RECT f = RectInParent(frame.Handle());
    EXPECT_EQ(f.left, 11);  // 10.5 pixels, rounded
    EXPECT_EQ(f.right - f.left, 443);
    EXPECT_EQ(f.bottom - f.top, 70);
    const RECT b = RectInParent(box.Handle());
    EXPECT_EQ(b.top, 27);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(box.Handle(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -17);  // 8.25 pt at 144 DPI: 16.5 pixels
}

TEST_F(FormsTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
    forms::Timer timer;
    timer.Create(form);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    auto wait = [&](DWORD milliseconds) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        while (GetTickCount64() < end) {
            Pump();
            Sleep(5);
        }
    };
    wait(150);
    EXPECT_EQ(ticks, 0) << "no interval, no tick";
    timer.SetInterval(20);
    wait(300);
    EXPECT_GT(ticks, 0);
    timer.SetEnabled(false);
    Pump();
    const int stopped = ticks;
    wait(150);
    EXPECT_EQ(ticks, stopped);
}

TEST_F(FormsTest, ImageAndLabelClicksAndMouseMoves) {
    forms::Image image;
    image.Create(form, {150, 150, 900, 900}, 9999);  // no such picture: an empty image, no failure
    EXPECT_TRUE(image.GetPicture().Empty());
    int clicks = 0;
    std::vector<std::pair<float, float>> moves;
    image.onClick = [&] { ++clicks; };
    image.onMouseMove = [&](float x, float y) { moves.emplace_back(x, y); };
    form.Show();

    Click(image.Handle());
    EXPECT_EQ(clicks, 1);
    // Pressed on the image and let go outside it: no click.
    SendMessageW(image.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(image.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    EXPECT_EQ(clicks, 1);
    SendMessageW(image.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 10));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_pair(60.0f, 150.0f));

    std::vector<std::pair<float, float>> formMoves;
    form.onMouseMove = [&](float x, float y) { formMoves.emplace_back(x, y); };
    SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 3));
    EXPECT_EQ(formMoves, (std::vector<std::pair<float, float>>{{30.0f, 45.0f}}));
}

// Paints a control into a bitmap through WM_PRINTCLIENT and reads one pixel.
COLORREF PaintedPixel(HWND window, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixel;
}

TEST_F(FormsTest, TransparentLabelShowsItsContainer) {
    const COLORREF teal = RGB(0, 192, 192);
    forms::Frame frame;
    frame.Create(form, {150, 150, 3000, 1500}, L"", false);
    frame.SetBackColor(teal);
    forms::Label transparent, opaque;
    transparent.Create(frame, {150, 150, 1500, 300}, L"");
    transparent.SetTransparent(true);
    opaque.Create(frame, {150, 600, 1500, 300}, L"");
    opaque.SetBackColor(RGB(255, 0, 0));
    form.Show();
    Pump();
    EXPECT_EQ(PaintedPixel(transparent.Handle(), 3, 3), teal);
    EXPECT_EQ(PaintedPixel(opaque.Handle(), 3, 3), RGB(255, 0, 0));
}

}  // namespace
