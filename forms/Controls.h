// The simple controls: label, text box, command button, check box, frame, image, picture box, line, timer.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "Form.h"
#include "Picture.h"

namespace forms {

enum class Alignment { Left, Center, Right };

// Loads a cursor from the program's resources; null (the arrow stays) when it is missing.
HCURSOR LoadPointer(int cursorId);

// A caption that takes no focus. Opaque in its back colour or transparent over its container; optional
// single-line border; click event. The caption is the window text.
class Label : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& caption);

    std::wstring Caption() const { return WindowText(); }
    void SetCaption(const std::wstring& caption);
    void SetBorder(bool border);
    void SetTransparent(bool transparent);
    void SetAlignment(Alignment alignment);
    void SetForeColor(COLORREF color);
    void SetBackColor(COLORREF color);
    void SetMouseIcon(int cursorId);
    bool Transparent() const { return transparent_; }

    std::function<void()> onClick;

protected:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HWND window, HDC dc);

    bool border_ = false;
    bool transparent_ = false;
    Alignment alignment_ = Alignment::Left;
    std::optional<COLORREF> foreColor_;
    Brush backBrush_;
    HCURSOR cursor_ = nullptr;
    HFONT font_ = nullptr;
    bool pressed_ = false;
};

// One editable line of text (or several, with a vertical scroll bar), no length limit.
class TextBox : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& text, bool multiLine = false);

    std::wstring Text() const { return WindowText(); }
    void SetText(const std::wstring& text);
    void SetForeColor(COLORREF color);
    void SetBackColor(COLORREF color);

protected:
    bool OnCtlColor(HDC dc, LRESULT& brush) override;
    bool TakesFocus() const override { return true; }
    void OnTabbedInto() override;

private:
    std::optional<COLORREF> foreColor_;
    std::optional<COLORREF> backColor_;
    Brush backBrush_;
};

enum class ButtonStyle { Standard, Graphical };

// A command button: standard, in the system's colours, or graphical, painted in its own back colour with the
// pressed look and the focus rectangle.
class Button : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& caption,
                ButtonStyle style = ButtonStyle::Standard);

    std::wstring Caption() const { return WindowText(); }
    void SetBackColor(COLORREF color);
    ButtonStyle Style() const { return style_; }

    std::function<void()> onClick;

protected:
    void OnCommand(WORD code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    bool OnEnterKey() override;
    bool TakesFocus() const override { return true; }

private:
    ButtonStyle style_ = ButtonStyle::Standard;
    Brush backBrush_;  // the graphical button's face; the system's face colour without one
};

class CheckBox : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& caption);

    std::wstring Caption() const { return WindowText(); }
    bool Value() const;
    void SetValue(bool checked);

protected:
    bool TakesFocus() const override { return true; }
};

// A container that clips its children: whatever of them lies below its height is neither drawn nor
// clickable. Draws a border with its caption, or nothing but its back colour. It passes its children's
// notifications on to them, which a group-box button would not do.
class Frame : public Control, public Container {
public:
    ~Frame() override;
    void Create(Container& parent, const TwipsRect& rect, const std::wstring& caption, bool drawBorder = true);

    std::wstring Caption() const { return WindowText(); }
    void SetBackColor(COLORREF color);
    bool DrawsBorder() const { return drawBorder_; }

    HWND ContainerWindow() const override { return Handle(); }
    Form* ContainerForm() override { return OwnerForm(); }

protected:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void WindowGone() override;

private:
    void Paint(HWND window, HDC dc, bool background, bool content);

    bool drawBorder_ = true;
    Brush backBrush_;
    HFONT font_ = nullptr;
};

// A picture at its natural size (scaled only with the screen's DPI), its transparent parts showing the
// container beneath. Click and mouse-move events, its own pointer.
class Image : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, int pictureId);

    void SetPicture(int pictureId);
    const Picture& GetPicture() const { return picture_; }
    void SetMouseIcon(int cursorId);

    std::function<void()> onClick;
    std::function<void(float x, float y)> onMouseMove;  // twips, relative to the image

protected:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Picture picture_;
    HCURSOR cursor_ = nullptr;
    bool pressed_ = false;
};

// A box with its own back colour that shows a picture in its top-left corner and takes the focus.
class PictureBox : public Control {
public:
    void Create(Container& parent, const TwipsRect& rect, int pictureId, bool border = true);

    void SetBackColor(COLORREF color);
    const Picture& GetPicture() const { return picture_; }

protected:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool TakesFocus() const override { return true; }

private:
    Picture picture_;
    Brush backBrush_;
};

// A straight line, drawn by its container beneath all controls, in the window-text colour, one pixel wide.
class Line {
public:
    Line() = default;
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    ~Line();

    void Create(Container& parent, float x1, float y1, float x2, float y2);
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }

private:
    friend class Container;
    void Paint(HDC dc) const;

    Container* parent_ = nullptr;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// Ticks through the form's message loop every Interval milliseconds while enabled; an interval of 0 never
// ticks. Enabled from the start, like a new timer of the layout.
class Timer {
public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    void Create(Form& form);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    std::function<void()> onTimer;

private:
    friend class Form;
    void Update();

    Form* form_ = nullptr;
    UINT_PTR id_ = 0;
    UINT interval_ = 0;
    bool enabled_ = true;
};

}  // namespace forms
