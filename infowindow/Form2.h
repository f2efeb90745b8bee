// Info window: the program's name, logo, credits, the link to the downloads page and the licence text.
// It slides open beside the main window; there is one of it, made when it is first opened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Controls.h"
#include "Form.h"

class Form2 : public forms::Form {
public:
    // Lays the window out, hidden; the load step places it beside mainWindow and slides it open.
    explicit Form2(const forms::Form& mainWindow);

    // The room the window wants right of the main window to open beside it; less than its own width.
    static constexpr float kRoomToTheRight = 5520;
    // Each step of the slide-open widens the window by this much.
    static constexpr float kSlideStep = 200;
    static constexpr wchar_t kDownloadsPage[] = L"http://treskel.example/downloads/SCREENSHOTS.html";
    static const wchar_t kLicence[];

    // The click on "INFO": the first time (or after it was closed) the window is made, placed and slid
    // open before this returns; while it is open it is only shown again.
    static Form2& Open(const forms::Form& mainWindow);
    // The open info window, or null.
    static Form2* Current();

    // Opens Path with the shell's verb Operation in a window of the show command WindowStyle.
    // True when the shell could start it; says nothing to the user either way.
    bool ShellExec(std::wstring Path, int WindowStyle, std::wstring Operation);

    // The shell call behind ShellExec. Tests put a recorder in its place, so that no browser starts.
    using ShellExecuteFunction =
        std::function<HINSTANCE(HWND, const char*, const char*, const char*, const char*, INT)>;
    // Sets the call (an empty one is the shell's own again) and returns the one it replaces.
    static ShellExecuteFunction SetShellExecute(ShellExecuteFunction call);

    forms::TextBox Text1;
    forms::PictureBox Picture1;
    forms::Button Command1;
    forms::Label Label3;
    forms::Label Label4;
    forms::Label Label5;
    forms::Label Label1;
    forms::Image Image1;
    forms::Image Image2;
    forms::Line Line1;

private:
    void Form_Load();
    void Form_MouseMove();
    void Image1_MouseMove();
    void Image2_Click();
    void Command1_Click();
    void Label5_Click();

    const forms::Form& mainWindow_;
};
