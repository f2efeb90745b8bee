// Forms and the base of every control: windows laid out in twips, events per control, the message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Font.h"
#include "Gdi.h"
#include "Twips.h"

namespace forms {

class Container;
class Form;
class Line;
class Timer;

bool PreTranslate(MSG& message);

// The base of every control that is a window of its own. It keeps its rectangle in twips as it was set,
// so a height set to 700 reads back as 700 whatever the pixels are.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const { return window_; }
    bool Exists() const { return window_ != nullptr; }

    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }
    const TwipsRect& Rect() const { return rect_; }
    void Move(const TwipsRect& rect);
    void SetHeight(float height);

    // Its own setting, as the layout or the code made it; a control in a hidden frame still reads true.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Controls that take the focus get it in the order of their tab index, over the whole form.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index) { tabIndex_ = index; }
    void SetFocus();

    // A font of its own; without one the control has the form's default font.
    void SetFont(const FontSpec& fontSpec);

    // Paints the control at once, inside the running handler.
    void Refresh();

    std::wstring WindowText() const;

protected:
    Control() = default;

    // Surface controls (labels, images) lie below the controls that are windows in their own right.
    enum class Layer { Window, Surface };

    // Creates the child window in the container, at the rectangle given in twips, and registers it there.
    void CreateWindowIn(Container& parent, const wchar_t* className, DWORD style, DWORD exStyle,
                        const TwipsRect& rect, const std::wstring& text, Layer layer);

    // A window class of our own whose messages reach HandleMessage of the control that owns the window.
    static ATOM RegisterOwnClass(const wchar_t* name);
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // At WM_NCDESTROY of a window of our own class.
    virtual void WindowGone() { window_ = nullptr; }
    // Destroys the window without calling back into the control, for destructors.
    void DestroyQuietly();

    Form* OwnerForm() const;
    UINT Dpi() const;
    HFONT CurrentFont() const;
    void SetWindowTextChecked(const std::wstring& text);

    // Notifications that the container passes on to the control that sent them.
    virtual void OnCommand(WORD /*code*/) {}
    virtual bool OnCtlColor(HDC /*dc*/, LRESULT& /*brush*/) { return false; }
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual bool OnEnterKey() { return false; }   // Enter while the control has the focus
    virtual bool TakesFocus() const { return false; }
    virtual void OnTabbedInto() {}                // the Tab key brought the focus here
    // Puts the window where its twips say, at the form's current DPI.
    virtual void PlaceWindow();
    // After a change of DPI: the font for the new DPI, then the place.
    virtual void ApplyDpi();

private:
    friend class Container;
    friend class Form;
    friend bool PreTranslate(MSG& message);

    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Container* parent_ = nullptr;
    HWND window_ = nullptr;
    TwipsRect rect_;
    bool visible_ = true;
    int tabIndex_ = -1;
    bool surface_ = false;
    std::optional<FontSpec> font_;
};

// A window that holds controls and lines: a form or a frame. It passes its children's notifications on to
// them and draws its lines.
class Container {
public:
    Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container();

    virtual HWND ContainerWindow() const = 0;
    virtual Form* ContainerForm() = 0;

    // The control whose window that is, among the children of this container and of its frames.
    Control* FindControl(HWND window) const;

protected:
    // WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* and WM_DRAWITEM of a child: true when the child handled it.
    bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void PaintLines(HDC dc) const;
    // At WM_NCDESTROY of the container: the windows of all children are gone with it.
    void ForgetChildWindows();
    void CollectControls(std::vector<Control*>& out) const;

private:
    friend class Control;
    friend class Line;
    friend class Form;

    std::vector<Control*> children_;
    std::vector<Line*> lines_;
};

// A top-level window: caption, icon, client size in twips, default placement, sizable frame.
// Created hidden; Load raises the load event once, Show loads and shows it modelessly, Unload raises the
// unload event and destroys it. The program ends when its last form is gone.
class Form : public Container {
public:
    Form() = default;
    ~Form() override;

    // Creates the window hidden at the system's default position. iconId 0 or a missing icon resource
    // leaves the system's default icon.
    void Create(const std::wstring& caption, float clientWidth, float clientHeight, int iconId = 0,
                std::optional<COLORREF> backColor = std::nullopt);

    void Load();
    void Show();
    void Unload();
    bool IsLoaded() const { return loaded_ && window_ != nullptr; }

    HWND Handle() const { return window_; }
    HWND ContainerWindow() const override { return window_; }
    Form* ContainerForm() override { return this; }
    UINT Dpi() const { return dpi_; }

    // The outer window in twips, in screen coordinates.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(float width);
    void SetHeight(float height);
    std::wstring Caption() const;

    // The width of the primary screen in twips.
    static float ScreenWidth();

    // Repaints the whole window with all its controls at once, inside the running handler.
    void Refresh();

    // The font of every control that has none of its own; set it before creating the controls.
    void SetDefaultFont(const FontSpec& fontSpec) { defaultFont_ = fontSpec; }
    const FontSpec& DefaultFont() const { return defaultFont_; }
    HFONT FontFor(const FontSpec& fontSpec);

    // Moves the focus to the next (or previous) control in tab order, as the Tab key does.
    void TabFocus(bool backward);

    // Forms whose windows exist in this thread.
    static int OpenCount();
    static Form* FromWindow(HWND window);

    std::function<void()> onLoad;
    std::function<void()> onUnload;
    std::function<void(float x, float y)> onMouseMove;  // over the bare client area, twips

private:
    friend class Timer;
    friend class Control;

    static ATOM WindowClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpiToAll(UINT dpi);
    void SetOuter(std::optional<float> left, std::optional<float> top, std::optional<float> width,
                  std::optional<float> height);
    std::vector<Control*> TabOrder() const;
    void FocusFirst();
    void LoadIcons(UINT dpi);

    HWND window_ = nullptr;
    UINT dpi_ = 96;
    bool loaded_ = false;
    bool unloading_ = false;
    int iconId_ = 0;
    Icon bigIcon_;
    Icon smallIcon_;
    Brush backBrush_;
    // The dialog font (Tahoma on current systems): TrueType, so it stays sharp at every DPI.
    FontSpec defaultFont_{L"MS Shell Dlg 2", 8.25f, FW_NORMAL, false, false, DEFAULT_CHARSET};
    struct CachedFont {
        FontSpec fontSpec;
        UINT dpi;
        Font font;
    };
    std::vector<CachedFont> fonts_;
    std::vector<Timer*> timers_;
    HWND lastFocus_ = nullptr;
};

// Handles the keys that move between controls (Tab, Shift+Tab) and Enter on a focused button or folder
// list. Returns true when the message was used up.
bool PreTranslate(MSG& message);

// The message loop: runs until the last form is gone and returns the exit code.
int Run();

// Handles every message waiting in this thread's queue, then returns.
void DoEvents();

// Calls an event handler. An exception that escapes it must not unwind through the system's window
// procedure: it is shown as a German message and the program goes on.
void Raise(const std::function<void()>& handler);

}  // namespace forms
