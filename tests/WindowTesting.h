// Driving windows from a test: clicks and choices sent as the system sends them, message boxes recorded,
// and a settings store of the test's own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Dialogs.h"

namespace window_testing {

// Handles what waits in the queue, as the message loop would.
void Pump();

// True when the program's message loop would end now (the last form is gone). Takes the quit message out.
bool QuitPosted();

// Mouse down and up in the middle of a control, as a click of the user sends them.
void Click(HWND window);

// A double-click on a line of a list box.
void DoubleClickItem(HWND list, int index);

// The user picks the line of a closed drop-down list: the selection moves and the combo box tells its parent.
void ChooseInCombo(HWND combo, int index);

// The Tab key pressed on the focused control.
void PressTab();

// The window's rectangle in pixels, relative to the client area of its parent.
RECT RectInParent(HWND window);

// The children of a window from the top of the stacking order down.
std::vector<HWND> ZOrder(HWND parent);

// Saves what the screen shows of the window, frame included, as a PNG file. False when it can't.
bool SaveScreenshot(HWND window, const std::wstring& path);

// Programs started from a test and looked at from outside.

// Waits up to timeoutMs for the condition, looking every 50 milliseconds.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// A visible top-level window of the process with that class name (and that caption, if one is given).
HWND FindTopWindow(DWORD processId, const wchar_t* className, const wchar_t* caption = nullptr);

// All descendants of a window.
std::vector<HWND> Descendants(HWND window);

// The text of a window of any process (WM_GETTEXT; GetWindowText does not ask another process's control).
std::wstring Text(HWND window);

// The first descendant of that class (case-insensitive) whose text is that text, or null.
HWND FindChild(HWND window, const wchar_t* className, const std::wstring& text);

// While it lives, message boxes show nothing and are recorded here.
class MessageBoxRecorder {
public:
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring title;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Box> boxes;
    // Called for every box, after it is recorded (to look at the window while the box would be open).
    std::function<void(const Box&)> onBox;

private:
    forms::MessageBoxHook previous_;
};

// While it lives, HKEY_CURRENT_USER of this process is a fresh, empty key of its own: the tests never touch
// the settings of the user who runs them.
class ScopedUserRegistry {
public:
    ScopedUserRegistry();
    ~ScopedUserRegistry();
    ScopedUserRegistry(const ScopedUserRegistry&) = delete;
    ScopedUserRegistry& operator=(const ScopedUserRegistry&) = delete;

    // Takes the key away while it is in use: every later write to the store fails.
    void Break();

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

// A value of HKEY_CURRENT_USER\Software\Treskel\Optionen, or nothing.
bool ReadSetting(const std::wstring& key, std::wstring& value);
void WriteSetting(const std::wstring& key, const std::wstring& value);

}  // namespace window_testing
