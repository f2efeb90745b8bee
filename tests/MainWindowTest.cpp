// The main window in this process on the virtual display: layout, panels, drive check, restore, new folder,
// settings and the batch run, driven through window messages and read back from the controls, files and
// the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Form1.h"
#include "Module1.h"
// The hand cursor's ID has the name of the system's hand cursor.
#undef IDC_HAND
#include "resource.h"
#include "TestFiles.h"
#include "WindowTesting.h"

using namespace testing_support;
using namespace window_testing;

namespace {

constexpr wchar_t kDriveNotReady[] = L"Laufwerk nicht verfügbar !";
constexpr wchar_t kFolderExists[] = L"Ordner existiert schon";

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

wchar_t Letter(const std::wstring& text) {
    return text.empty() ? L'\0' : static_cast<wchar_t>(towupper(text[0]));
}

int ComboIndexOf(HWND combo, wchar_t letter) {
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        if (towupper(text[0]) == towupper(letter))
            return i;
    }
    return -1;
}

std::wstring ComboShown(HWND combo) {
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(combo, text, MAX_PATH);
    return text;
}

// Every test gets a settings store of its own and records message boxes instead of showing them.
class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { QuitPosted(); }

    ScopedUserRegistry registry;
    MessageBoxRecorder boxes;
};

struct Expected {
    const char* name;
    HWND window;
    HWND container;
    RECT pixels;           // left, top, right, bottom at 96 DPI, relative to the container's client area
    const wchar_t* text;   // nullptr: the control has no text to compare
    bool visible;
};

// The layout in pixels at 96 DPI (15 twips to the pixel), relative to each control's container.
std::vector<Expected> LayoutTable(const Form1& f, int panelHeight, const wchar_t* folderText) {
    const HWND form = f.Handle(), frame2 = f.Frame2.Handle(), frame3 = f.Frame3.Handle(), frame4 = f.Frame4.Handle();
    auto r = [](int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; };
    return {
        {"Frame2", frame2, form, r(7, 9, 295, panelHeight), L"Start Verzeichnis", true},
        {"Frame3", frame3, form, r(322, 9, 295, panelHeight), L"Optionales Ausgabe -Verzeichnis ", true},
        {"cmdInfo", f.cmdInfo.Handle(), form, r(623, 15, 57, 31), L"INFO", true},
        {"Frame4", frame4, form, r(343, 147, 253, 67), L"Neues Verzeichnis anlegen", false},
        {"txtDosCmd", f.txtDosCmd.Handle(), form, r(63, 306, 337, 19), L"test", true},
        {"Label2", f.Label2.Handle(), form, r(448, 306, 106, 19), L"Extension:     *.", true},
        {"txtExtension", f.txtExtension.Handle(), form, r(553, 306, 43, 19), L"gz", true},
        {"Check1", f.Check1.Handle(), form, r(448, 327, 155, 22), L"Ausgabeverzeichnis als Zielverzeichnis verwenden", true},
        {"Command1", f.Command1.Handle(), form, r(63, 330, 337, 29), L"Kommando für alle Unterordner jetzt starten", true},
        {"Image1", f.Image1.Handle(), form, r(623, 333, 60, 58), nullptr, true},
        {"Label1", f.Label1.Handle(), form, r(490, 354, 134, 16), nullptr, true},
        {"lblStatus", f.lblStatus.Handle(), form, r(7, 369, 617, 19), L"Status", true},

        {"StartDir", f.StartDir.Handle(), frame2, r(7, 18, 281, 19), folderText, true},
        {"Image2", f.Image2.Handle(), frame2, r(84, 35, 107, 9), nullptr, true},
        {"Drive2", f.Drive2.Handle(), frame2, r(7, 56, 281, 21), nullptr, true},
        {"Dir2", f.Dir2.Handle(), frame2, r(7, 84, 281, 141), nullptr, true},
        {"File2", f.File2.Handle(), frame2, r(7, 238, 218, 45), nullptr, true},
        {"cmdokInput", f.cmdokInput.Handle(), frame2, r(231, 249, 50, 25), L"ok", true},

        {"txtOptDir", f.txtOptDir.Handle(), frame3, r(7, 18, 281, 19), folderText, true},
        {"Image3", f.Image3.Handle(), frame3, r(105, 35, 107, 9), nullptr, true},
        {"Drive3", f.Drive3.Handle(), frame3, r(7, 56, 281, 21), nullptr, true},
        {"Dir3", f.Dir3.Handle(), frame3, r(7, 84, 281, 141), nullptr, true},
        {"cmd_DirNeuTIF", f.cmd_DirNeuTIF.Handle(), frame3, r(231, 222, 50, 19), L"neu", true},
        {"File3", f.File3.Handle(), frame3, r(7, 238, 218, 45), nullptr, true},
        {"cmdokOutput", f.cmdokOutput.Handle(), frame3, r(231, 249, 50, 25), L"ok", true},

        {"Label4", f.Label4.Handle(), frame4, r(7, 6, 169, 13), L"Neues Verzeichnis anlegen", true},
        {"cmdOut", f.cmdOut.Handle(), frame4, r(224, 3, 22, 16), L"X", true},
        {"txtDirTIF", f.txtDirTIF.Handle(), frame4, r(7, 36, 169, 22), L"neuerOrdner", true},
        {"cmd_mkdir", f.cmd_mkdir.Handle(), frame4, r(182, 36, 57, 22), L"ok", true},
    };
}

void ExpectLayout(const Form1& form, int panelHeight, const wchar_t* folderText) {
    for (const Expected& e : LayoutTable(form, panelHeight, folderText)) {
        SCOPED_TRACE(e.name);
        ASSERT_NE(e.window, nullptr);
        EXPECT_EQ(GetParent(e.window), e.container);
        const RECT actual = RectInParent(e.window);
        EXPECT_EQ(actual.left, e.pixels.left);
        EXPECT_EQ(actual.top, e.pixels.top);
        EXPECT_EQ(actual.right, e.pixels.right);
        EXPECT_EQ(actual.bottom, e.pixels.bottom);
        if (e.text) {
            wchar_t text[256] = {};
            GetWindowTextW(e.window, text, 256);
            EXPECT_EQ(std::wstring(text), e.text);
        }
        // The control's own visibility: children of the hidden Frame4 are visible in themselves.
        EXPECT_EQ((GetWindowLongPtrW(e.window, GWL_STYLE) & WS_VISIBLE) != 0, e.visible);
    }
}

TEST_F(MainWindow, LayoutBeforeAndAfterLoad) {
    Form1 form;
    ASSERT_EQ(GetDpiForWindow(form.Handle()), 96u) << "the table holds pixels at 96 DPI";
    wchar_t caption[64] = {};
    GetWindowTextW(form.Handle(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Treskel");
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 688);
    EXPECT_EQ(client.bottom, 402);
    EXPECT_EQ(GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);

    // Laid out at the open height; the fields hold their layout values and nothing has been restored.
    {
        SCOPED_TRACE("before load");
        ExpectLayout(form, 289, L"");
        EXPECT_FALSE(form.Check1.Value());
    }
    form.Show();
    Pump();
    {
        // Nothing stored: both folder boxes get the default C:\.
        SCOPED_TRACE("after load: both panels collapsed to 700 twips");
        ExpectLayout(form, 47, L"C:\\");
        EXPECT_EQ(form.Frame2.Height(), 700.0f);
        EXPECT_EQ(form.Frame3.Height(), 700.0f);
    }

    // Resizing the window leaves every control where it is.
    SetWindowPos(form.Handle(), nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ExpectLayout(form, 47, L"C:\\");
}

TEST_F(MainWindow, FontsStackingAndPointers) {
    Form1 form;
    struct FontCase {
        const char* name;
        HWND window;
        LONG height;  // pixels at 96 DPI: 8.25 pt is 11, 9.75 pt is 13
    };
    const FontCase kFonts[] = {
        {"cmdInfo", form.cmdInfo.Handle(), -11},
        {"txtDosCmd", form.txtDosCmd.Handle(), -11},
        {"Label2", form.Label2.Handle(), -13},
        {"Command1", form.Command1.Handle(), -13},
    };
    for (const FontCase& c : kFonts) {
        SCOPED_TRACE(c.name);
        LOGFONTW font{};
        ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c.window, WM_GETFONT, 0, 0)), sizeof(font), &font), 0);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");
        EXPECT_EQ(font.lfHeight, c.height);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    }
    // Everything else has the window's default font at regular weight.
    LOGFONTW plain{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.StartDir.Handle(), WM_GETFONT, 0, 0)), sizeof(plain), &plain);
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);

    auto above = [](HWND parent, HWND upper, HWND lower) {
        const std::vector<HWND> order = ZOrder(parent);
        return std::find(order.begin(), order.end(), upper) < std::find(order.begin(), order.end(), lower);
    };
    EXPECT_TRUE(above(form.Handle(), form.Frame4.Handle(), form.Frame3.Handle()));
    EXPECT_TRUE(above(form.Frame3.Handle(), form.cmd_DirNeuTIF.Handle(), form.Dir3.Handle()));
    EXPECT_TRUE(above(form.Frame2.Handle(), form.StartDir.Handle(), form.Image2.Handle()));
    EXPECT_TRUE(above(form.Frame3.Handle(), form.txtOptDir.Handle(), form.Image3.Handle()));
    EXPECT_TRUE(above(form.Handle(), form.Command1.Handle(), form.Label1.Handle()));

    // No default button: the standard button has the plain push style.
    EXPECT_EQ(GetWindowLongPtrW(form.cmd_mkdir.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

    // The pointer each control sets when the mouse is over it.
    HINSTANCE self = GetModuleHandleW(nullptr);
    HCURSOR hand = LoadCursorW(self, MAKEINTRESOURCEW(IDC_HAND));
    HCURSOR colourHand = LoadCursorW(self, MAKEINTRESOURCEW(IDC_HAND_COLOUR));
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(colourHand, nullptr);
    struct PointerCase {
        const char* name;
        HWND window;
        HCURSOR cursor;
    };
    const PointerCase kPointers[] = {
        {"Image1", form.Image1.Handle(), hand},
        {"Image2", form.Image2.Handle(), hand},
        {"Image3", form.Image3.Handle(), hand},
        {"cmdOut", form.cmdOut.Handle(), colourHand},
        {"lblStatus", form.lblStatus.Handle(), LoadCursorW(nullptr, IDC_ARROW)},
    };
    for (const PointerCase& c : kPointers) {
        SCOPED_TRACE(c.name);
        SetCursor(nullptr);
        SendMessageW(c.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), c.cursor);
    }
}

TEST_F(MainWindow, TabOrderFollowsTheTabIndexOverAllPanels) {
    Form1 form;
    form.Show();
    Pump();
    SetForegroundWindow(form.Handle());
    form.Dir2.SetFocus();
    Pump();

    auto walk = [&](size_t steps) {
        std::vector<HWND> visited{GetFocus()};
        for (size_t i = 1; i < steps; ++i) {
            PressTab();
            visited.push_back(GetFocus());
        }
        return visited;
    };
    const std::vector<HWND> hidden = {
        form.Dir2.Handle(),        form.Drive2.Handle(),   form.StartDir.Handle(), form.File2.Handle(),
        form.cmdokInput.Handle(),  form.cmdokOutput.Handle(), form.File3.Handle(), form.txtOptDir.Handle(),
        form.Drive3.Handle(),      form.Dir3.Handle(),     form.Command1.Handle(), form.cmdInfo.Handle(),
        form.cmd_DirNeuTIF.Handle(), form.Check1.Handle(), form.txtDosCmd.Handle(), form.txtExtension.Handle(),
        form.Dir2.Handle(),  // and round again
    };
    EXPECT_EQ(walk(hidden.size()), hidden);

    // With the new-folder panel shown its text box and button come between cmdInfo and "neu".
    SendMessageW(form.cmd_DirNeuTIF.Handle(), BM_CLICK, 0, 0);
    form.cmdInfo.SetFocus();
    const std::vector<HWND> shown = {form.cmdInfo.Handle(), form.txtDirTIF.Handle(), form.cmd_mkdir.Handle(),
                                     form.cmd_DirNeuTIF.Handle(), form.Check1.Handle()};
    EXPECT_EQ(walk(shown.size()), shown);
}

TEST_F(MainWindow, PanelStripsToggleBetweenCollapsedAndOpen) {
    Form1 form;
    form.Show();
    Pump();
    struct Panel {
        const char* name;
        forms::Frame& frame;
        forms::Image& strip;
        forms::Button& ok;
    };
    Panel panels[] = {{"start panel", form.Frame2, form.Image2, form.cmdokInput},
                      {"output panel", form.Frame3, form.Image3, form.cmdokOutput}};
    for (Panel& p : panels) {
        SCOPED_TRACE(p.name);
        const float expected[] = {4335, 700, 4335};
        const int pixels[] = {289, 47, 289};
        for (int i = 0; i < 3; ++i) {
            Click(p.strip.Handle());
            EXPECT_EQ(p.frame.Height(), expected[i]);
            EXPECT_EQ(RectInParent(p.frame.Handle()).bottom - RectInParent(p.frame.Handle()).top, pixels[i]);
        }
        SendMessageW(p.ok.Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(p.frame.Height(), 700.0f);
        // Any height but exactly 700 counts as open.
        p.frame.SetHeight(701);
        Click(p.strip.Handle());
        EXPECT_EQ(p.frame.Height(), 700.0f);
    }
}

// A panel whose folder list shows a folder of its own, to see that the drive check keeps it.
struct DrivePanel {
    const char* name;
    forms::DriveList& drive;
    forms::FolderList& folders;
    forms::Image& strip;
};

TEST_F(MainWindow, DriveCheckRefusesADriveThatIsNotReady) {
    const std::wstring missing = Environment(L"TRESKEL_MISSING_DRIVE");
    if (missing.empty())
        GTEST_SKIP() << "needs a drive letter without a medium (TRESKEL_MISSING_DRIVE)";
    TempFolder start, output;
    WriteSetting(L"StartDir", start.Path());
    WriteSetting(L"txtOptDir", output.Path());
    Form1 form;
    form.Show();
    Pump();
    ASSERT_EQ(form.Dir2.Path(), start.Path());
    ASSERT_EQ(form.Dir3.Path(), output.Path());

    DrivePanel panels[] = {{"start panel", form.Drive2, form.Dir2, form.Image2},
                           {"output panel", form.Drive3, form.Dir3, form.Image3}};
    for (DrivePanel& p : panels) {
        SCOPED_TRACE(p.name);
        form.lblStatus.SetCaption(L"vorher");
        const std::wstring folder = p.folders.Path();
        Click(p.strip.Handle());
        const int index = ComboIndexOf(p.drive.Handle(), missing[0]);
        ASSERT_GE(index, 0) << "the drive without a medium is in the list";
        ChooseInCombo(p.drive.Handle(), index);

        EXPECT_EQ(form.lblStatus.Caption(), kDriveNotReady);
        EXPECT_EQ(Letter(p.drive.Drive()), Letter(folder));
        EXPECT_EQ(Letter(ComboShown(p.drive.Handle())), Letter(folder));
        // The setting back runs no second check: the folder list keeps its folder.
        EXPECT_EQ(p.folders.Path(), folder);
    }
    EXPECT_EQ(form.File2.Path(), start.Path());
}

TEST_F(MainWindow, DriveCheckMovesTheFolderListToAnAvailableDrive) {
    // The process runs in a folder of another drive than C:, whose current folder the folder list takes.
    const std::wstring here = CurrentFolder();
    ASSERT_NE(Letter(here), L'C') << "the tests run from the build folder, not from drive C:";
    WriteSetting(L"StartDir", L"C:\\");
    WriteSetting(L"txtOptDir", L"C:\\");
    TempFolder files;
    Form1 form;
    form.Show();
    Pump();
    ASSERT_EQ(form.Dir2.Path(), L"C:\\");

    DrivePanel panels[] = {{"start panel", form.Drive2, form.Dir2, form.Image2},
                           {"output panel", form.Drive3, form.Dir3, form.Image3}};
    for (DrivePanel& p : panels) {
        SCOPED_TRACE(p.name);
        ChooseInCombo(p.drive.Handle(), ComboIndexOf(p.drive.Handle(), here[0]));
        EXPECT_EQ(Letter(p.drive.Drive()), Letter(here));
        EXPECT_EQ(p.folders.Path(), here);
    }
    EXPECT_EQ(form.File2.Path(), here);         // File2 follows Dir2
    EXPECT_EQ(form.File3.Path(), here);         // File3 lists the folder it started with, the current one
    EXPECT_EQ(form.lblStatus.Caption(), L"Status");

    // Dir3 moving on never moves File3.
    form.Dir3.SetPath(files.Path());
    EXPECT_EQ(form.File3.Path(), here);
}

TEST_F(MainWindow, RestoreRunsTheChangeHandlersNestedInOrder) {
    // The process's own drive is not C:, so the restore to a folder on C: changes both drive lists first.
    ASSERT_NE(Letter(CurrentFolder()), L'C');
    TempFolder start, output;
    WriteSetting(L"StartDir", start.Path() + L"\\");  // restored as written, the folder list drops the backslash
    WriteSetting(L"txtOptDir", output.Path());
    Form1 form;

    std::vector<std::wstring> log;
    auto trace = [&](std::function<void()>& handler, std::wstring name, std::function<std::wstring()> state) {
        handler = [&log, inner = handler, name, state] {
            log.push_back(name + L" {");
            if (inner)
                inner();
            log.push_back(L"} " + name + L" " + state());
        };
    };
    trace(form.Drive2.onChange, L"Drive2", [&] { return form.Dir2.Path(); });
    trace(form.Dir2.onChange, L"Dir2", [&] { return form.File2.Path(); });
    trace(form.Drive3.onChange, L"Drive3", [&] { return form.Dir3.Path(); });
    trace(form.Dir3.onChange, L"Dir3", [&] { return form.Dir3.Path(); });
    form.Show();

    const std::vector<std::wstring> expected = {
        L"Drive2 {", L"Dir2 {", L"} Dir2 C:\\", L"} Drive2 C:\\",  // the drive's current folder first
        L"Dir2 {",   L"} Dir2 " + start.Path(),                     // then the restored folder
        L"Drive3 {", L"Dir3 {", L"} Dir3 C:\\", L"} Drive3 C:\\",
        L"Dir3 {",   L"} Dir3 " + output.Path(),
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(form.StartDir.Text(), start.Path() + L"\\");
    EXPECT_EQ(form.txtOptDir.Text(), output.Path());
    EXPECT_EQ(form.Dir2.Path(), start.Path());
    EXPECT_EQ(form.File2.Path(), start.Path());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MainWindow, RestoreLeavesOutWhatNamesNoFolder) {
    TempFolder temp;
    WriteBytes(temp / L"datei.txt", "x");
    const std::wstring missing = Environment(L"TRESKEL_MISSING_DRIVE");
    struct Case {
        const char* name;
        bool store;
        std::wstring value;
        std::wstring text;  // what the text box shows after the restore
    };
    const Case kCases[] = {
        {"nothing stored: the default C:\\", false, L"", L"C:\\"},
        {"a folder that has gone", true, temp / L"weg", L""},
        {"a file", true, temp / L"datei.txt", L""},
        {"no path at all", true, L"nur Text", L""},
        {"a drive without a medium", true, missing.empty() ? L"" : missing + L":\\", L""},
        {"an empty value", true, L"", L""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ScopedUserRegistry store;
        if (c.store) {
            WriteSetting(L"StartDir", c.value);
            WriteSetting(L"txtOptDir", c.value);
        }
        Form1 form;
        const std::wstring drive2 = form.Drive2.Drive(), dir2 = form.Dir2.Path(), dir3 = form.Dir3.Path();
        form.Show();
        EXPECT_EQ(form.StartDir.Text(), c.text);
        EXPECT_EQ(form.txtOptDir.Text(), c.text);
        if (c.text.empty()) {
            // Not restored: the panel's lists keep what they showed at start.
            EXPECT_EQ(form.Drive2.Drive(), drive2);
            EXPECT_EQ(form.Dir2.Path(), dir2);
            EXPECT_EQ(form.Dir3.Path(), dir3);
        } else {
            EXPECT_EQ(form.Dir2.Path(), c.text);
            EXPECT_EQ(form.Dir3.Path(), c.text);
            EXPECT_EQ(Letter(form.Drive2.Drive()), L'C');
        }
        EXPECT_TRUE(boxes.boxes.empty());
        form.Unload();
        QuitPosted();
    }
}

TEST_F(MainWindow, NewFolderPanel) {
    TempFolder output;
    MakeFolder(output / L"da");
    WriteBytes(output / L"datei.txt", "");
    WriteSetting(L"txtOptDir", output.Path());
    Form1 form;
    form.Show();
    Pump();
    Click(form.Image3.Handle());
    ASSERT_FALSE(IsWindowVisible(form.Frame4.Handle()));

    struct Case {
        const char* name;
        std::wstring typed;
        std::wstring status;  // the status line afterwards; "?" for a message that names the failure
        bool made;
    };
    const Case kCases[] = {
        {"a new name", L"neu", L"Status", true},
        {"the same name again: made inside the one just made", L"neu", L"Status", true},
        {"an empty name names the folder itself", L"", kFolderExists, false},
        {"an existing folder", L"..", kFolderExists, false},
        {"a character no folder name holds", L"a|b", L"?", false},
        {"a missing first part", L"fehlt\\kind", L"?", false},
    };
    std::wstring folder = output.Path();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        form.lblStatus.SetCaption(L"Status");
        SendMessageW(form.cmd_DirNeuTIF.Handle(), BM_CLICK, 0, 0);
        ASSERT_TRUE(IsWindowVisible(form.Frame4.Handle()));
        form.txtDirTIF.SetText(c.typed);
        SendMessageW(form.cmd_mkdir.Handle(), BM_CLICK, 0, 0);

        if (c.made) {
            folder += L"\\" + c.typed;
            EXPECT_TRUE(Module1::FolderExists(folder));
            EXPECT_EQ(form.Dir3.Path(), folder);
            EXPECT_FALSE(IsWindowVisible(form.Frame4.Handle()));
        } else {
            EXPECT_EQ(form.Dir3.Path(), folder);
            EXPECT_TRUE(IsWindowVisible(form.Frame4.Handle()));
        }
        if (c.status == L"?") {
            const std::wstring shown = form.lblStatus.Caption();
            EXPECT_EQ(shown.rfind(L"Der Ordner \"" + folder + L"\\" + c.typed + L"\" kann nicht angelegt werden: ", 0),
                      0u)
                << std::string(shown.begin(), shown.end());
            EXPECT_GT(shown.size(), folder.size() + c.typed.size() + 45) << "the system's reason follows";
        } else {
            EXPECT_EQ(form.lblStatus.Caption(), c.status);
        }
        // Only the output panel's "ok" takes a folder into the text box.
        EXPECT_EQ(form.txtOptDir.Text(), output.Path());
        EXPECT_EQ(form.txtDirTIF.Text(), c.typed);
    }

    // An existing file of that name: the folder can't be made, the panel stays.
    form.Dir3.SetPath(output.Path());
    form.txtDirTIF.SetText(L"datei.txt");
    SendMessageW(form.cmd_mkdir.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.lblStatus.Caption().rfind(L"Der Ordner", 0), 0u);
    EXPECT_TRUE(IsWindowVisible(form.Frame4.Handle()));

    // "X" hides the panel and changes nothing else; collapsing the output panel leaves it alone.
    SendMessageW(form.cmd_DirNeuTIF.Handle(), BM_CLICK, 0, 0);
    Click(form.Image3.Handle());
    EXPECT_EQ(form.Frame3.Height(), 700.0f);
    EXPECT_TRUE(IsWindowVisible(form.Frame4.Handle()));
    Click(form.cmdOut.Handle());
    EXPECT_FALSE(IsWindowVisible(form.Frame4.Handle()));
    EXPECT_EQ(form.txtDirTIF.Text(), L"datei.txt");
}

TEST_F(MainWindow, NewFolderInADriveRoot) {
    WriteSetting(L"txtOptDir", L"C:\\");
    Form1 form;
    form.Show();
    ASSERT_EQ(form.Dir3.Path(), L"C:\\");
    const std::wstring name = L"TreskelNeu" + std::to_wstring(GetCurrentProcessId());
    SendMessageW(form.cmd_DirNeuTIF.Handle(), BM_CLICK, 0, 0);
    form.txtDirTIF.SetText(name);
    SendMessageW(form.cmd_mkdir.Handle(), BM_CLICK, 0, 0);

    // "C:\" + "\" + name: the two backslashes in a row are read as one, and the folder is made in the root.
    // The folder list gives its path back as the system names the folder.
    EXPECT_TRUE(Module1::FolderExists(L"C:\\" + name));
    EXPECT_EQ(form.Dir3.Path(), L"C:\\" + name);
    EXPECT_FALSE(IsWindowVisible(form.Frame4.Handle()));
    RemoveDirectoryW((L"C:\\" + name).c_str());
}

TEST_F(MainWindow, OkSavesTheFolderAndClosingSavesAllFour) {
    TempFolder start, output, browsed;
    Form1 form;
    form.Show();
    form.Dir2.SetPath(start.Path());
    form.Dir3.SetPath(output.Path());

    Click(form.Image2.Handle());
    SendMessageW(form.cmdokInput.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.StartDir.Text(), start.Path());
    EXPECT_EQ(form.Frame2.Height(), 700.0f);
    std::wstring value;
    ASSERT_TRUE(ReadSetting(L"dir2", value));
    EXPECT_EQ(value, start.Path());
    ASSERT_TRUE(ReadSetting(L"StartDir", value));
    EXPECT_EQ(value, start.Path());
    EXPECT_FALSE(ReadSetting(L"dir3", value));
    EXPECT_FALSE(ReadSetting(L"txtOptDir", value));

    Click(form.Image3.Handle());
    SendMessageW(form.cmdokOutput.Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(ReadSetting(L"txtOptDir", value));
    EXPECT_EQ(value, output.Path());

    // Browsed without "ok", and a typed text that names no folder: saved as the controls hold them.
    form.Dir2.SetPath(browsed.Path());
    form.txtOptDir.SetText(L"getippt, kein Ordner");
    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form.Handle()));
    EXPECT_TRUE(QuitPosted()) << "the last window is gone: the program ends";
    const std::pair<const wchar_t*, std::wstring> kSaved[] = {
        {L"dir2", browsed.Path()},
        {L"StartDir", start.Path()},
        {L"dir3", output.Path()},
        {L"txtOptDir", L"getippt, kein Ordner"},
    };
    for (const auto& [key, expected] : kSaved) {
        SCOPED_TRACE(std::wstring(key).c_str());
        ASSERT_TRUE(ReadSetting(key, value));
        EXPECT_EQ(value, expected);
    }

    // The next start restores the confirmed start folder and leaves the typed text out.
    Form1 next;
    next.Show();
    EXPECT_EQ(next.StartDir.Text(), start.Path());
    EXPECT_EQ(next.Dir2.Path(), start.Path());
    EXPECT_EQ(next.txtOptDir.Text(), L"");
}

TEST_F(MainWindow, ExitPictureUnloadsAndSaves) {
    TempFolder start;
    Form1 form;
    form.Show();
    form.StartDir.SetText(start.Path());
    Click(form.Image1.Handle());
    EXPECT_FALSE(IsWindow(form.Handle()));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(QuitPosted());
    std::wstring value;
    for (const wchar_t* key : {L"dir2", L"StartDir", L"dir3", L"txtOptDir"})
        EXPECT_TRUE(ReadSetting(key, value)) << std::string(key, key + wcslen(key));
    ReadSetting(L"StartDir", value);
    EXPECT_EQ(value, start.Path());
}

TEST_F(MainWindow, AStoreThatCannotBeWrittenNeitherBlocksOkNorClosing) {
    TempFolder start;
    Form1 form;
    form.Show();
    form.Dir2.SetPath(start.Path());
    registry.Break();

    Click(form.Image2.Handle());
    SendMessageW(form.cmdokInput.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.StartDir.Text(), start.Path());
    EXPECT_EQ(form.Frame2.Height(), 700.0f);
    const std::wstring status = form.lblStatus.Caption();
    EXPECT_EQ(status.rfind(L"Die Ordner konnten nicht gespeichert werden (dir2, StartDir): ", 0), 0u);
    EXPECT_TRUE(boxes.boxes.empty());

    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form.Handle()));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, L"Treskel");
    EXPECT_EQ(boxes.boxes[0].text.rfind(L"Die Ordner konnten nicht gespeichert werden (dir2, StartDir, dir3, txtOptDir): ",
                                         0),
              0u);
}

TEST_F(MainWindow, Command1RunsTheBatchWithTheWindowsFields) {
    TempFolder tree, output;
    WriteBytes(tree / L"a.gz", "");
    WriteBytes(tree / L"b.txt", "");
    Form1 form;
    form.Show();
    form.StartDir.SetText(tree.Path());
    form.txtOptDir.SetText(output.Path());
    SendMessageW(form.Check1.Handle(), BM_CLICK, 0, 0);

    const std::wstring batchFile = batch::ProgramFolder() + L"\\do.bat";
    const size_t before = FileExists(batchFile) ? ReadBytes(batchFile).size() : 0;
    std::vector<bool> statusPainted;
    boxes.onBox = [&](const MessageBoxRecorder::Box&) {
        RECT pending{};
        statusPainted.push_back(!GetUpdateRect(form.lblStatus.Handle(), &pending, FALSE));
    };
    SendMessageW(form.Command1.Handle(), BM_CLICK, 0, 0);

    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, L"Dateiliste list.tmp wurde erstellt. Ausführung wird nun gestartet...");
    EXPECT_EQ(boxes.boxes[1].text, L"Die Datei " + batch::ProgramFolder() + L"\\do.bat wurde erzeugt und kann nun ausgeführt werden");
    for (const auto& box : boxes.boxes) {
        EXPECT_EQ(box.owner, form.Handle());
        EXPECT_EQ(box.title, L"Treskel");
    }
    EXPECT_EQ(form.lblStatus.Caption(), L" 1 Dateien wurden verarbeitet");
    EXPECT_TRUE(statusPainted.back()) << "the status line is painted before the closing message";
    const std::string added = ReadBytes(batchFile).substr(before);
    EXPECT_NE(added.find("a.gz"), std::string::npos);
    EXPECT_NE(added.find(Encode(output.Path(), GetOEMCP())), std::string::npos) << "Check1: the output folder is the target";
    EXPECT_EQ(added.find("b.txt"), std::string::npos);
}

// Not a check: pictures of the window at start, with both panels open and with the new-folder panel, for
// looking at. Runs when TRESKEL_SCREENSHOT_DIR names a folder.
TEST_F(MainWindow, Screenshots) {
    const std::wstring folder = Environment(L"TRESKEL_SCREENSHOT_DIR");
    if (folder.empty())
        GTEST_SKIP() << "set TRESKEL_SCREENSHOT_DIR to save the pictures";
    Form1 form;
    form.Show();
    SetForegroundWindow(form.Handle());
    Pump();
    EXPECT_TRUE(SaveScreenshot(form.Handle(), folder + L"\\main-start.png"));
    Click(form.Image2.Handle());
    Click(form.Image3.Handle());
    EXPECT_TRUE(SaveScreenshot(form.Handle(), folder + L"\\main-panels-open.png"));
    SendMessageW(form.cmd_DirNeuTIF.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(SaveScreenshot(form.Handle(), folder + L"\\main-new-folder.png"));
}

}  // namespace
