// The simple controls.
#include "Controls.h"

#include <uxtheme.h>

#include <algorithm>

#include "Failure.h"

namespace forms {

namespace {

constexpr wchar_t kLabelClass[] = L"TreskelLabel";
constexpr wchar_t kFrameClass[] = L"TreskelFrame";

// Text and font of the controls we draw ourselves: the system keeps the text, the control its font, and
// a change of either repaints. True when the message was one of these.
bool HandleTextAndFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HFONT& font, LRESULT& result) {
    switch (message) {
    case WM_SETTEXT:
        result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return true;
    case WM_SETFONT:
        font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, TRUE);
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font);
        return true;
    default:
        return false;
    }
}
constexpr wchar_t kImageClass[] = L"TreskelImage";
constexpr wchar_t kPictureBoxClass[] = L"TreskelPictureBox";

UINT_PTR nextTimerId = 1;

// Mouse down on the control and up again over it: a click.
bool TrackClick(HWND window, UINT message, LPARAM lParam, bool& pressed) {
    if (message == WM_LBUTTONDOWN) {
        pressed = true;
        SetCapture(window);
        return false;
    }
    if (message == WM_LBUTTONUP && pressed) {
        pressed = false;
        ReleaseCapture();
        RECT client{};
        GetClientRect(window, &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return PtInRect(&client, point) != FALSE;
    }
    if (message == WM_CAPTURECHANGED)
        pressed = false;
    return false;
}

void PaintParentBackground(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    if (FAILED(DrawThemeParentBackground(window, dc, &client)))
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

HCURSOR LoadPointer(int cursorId) {
    return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(cursorId));
}

// ---------------------------------------------------------------------------------------------------------
// Label

void Label::Create(Container& parent, const TwipsRect& rect, const std::wstring& caption) {
    static const ATOM atom = RegisterOwnClass(kLabelClass);
    if (atom == 0)
        throw Module1::Failure{L"Die Fensterklasse der Beschriftungen kann nicht angemeldet werden.", GetLastError()};
    CreateWindowIn(parent, kLabelClass, border_ ? WS_BORDER : 0, 0, rect, caption, Layer::Surface);
}

void Label::SetCaption(const std::wstring& caption) {
    SetWindowTextChecked(caption);
}

void Label::SetBorder(bool border) {
    border_ = border;
    if (HWND window = Handle()) {
        LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        style = border ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
        SetWindowLongPtrW(window, GWL_STYLE, style);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void Label::SetTransparent(bool transparent) {
    transparent_ = transparent;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetForeColor(COLORREF color) {
    foreColor_ = color;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetBackColor(COLORREF color) {
    backBrush_.Reset(CreateSolidBrush(color));
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetMouseIcon(int cursorId) {
    cursor_ = LoadPointer(cursorId);
}

void Label::Paint(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    if (transparent_)
        PaintParentBackground(window, dc);
    else
        FillRect(dc, &client, backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));

    const std::wstring text = WindowText();
    SelectScope font(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, foreColor_ ? *foreColor_ : GetSysColor(COLOR_BTNTEXT));
    UINT format = DT_WORDBREAK | DT_NOPREFIX;
    format |= alignment_ == Alignment::Center ? DT_CENTER : alignment_ == Alignment::Right ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

LRESULT Label::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT handled = 0;
    if (HandleTextAndFont(window, message, wParam, lParam, font_, handled))
        return handled;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // all of it is painted in WM_PAINT, in one go
    case WM_PAINT: {
        PaintScope paint(window);
        Paint(window, paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (TrackClick(window, message, lParam, pressed_))
            Raise(onClick);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------------
// TextBox

void TextBox::Create(Container& parent, const TwipsRect& rect, const std::wstring& text, bool multiLine) {
    DWORD style = WS_TABSTOP | ES_LEFT;
    style |= multiLine ? (ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL) : ES_AUTOHSCROLL;
    CreateWindowIn(parent, L"EDIT", style, WS_EX_CLIENTEDGE, rect, text, Layer::Window);
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // as long as memory allows, not 32767 characters
}

void TextBox::SetText(const std::wstring& text) {
    SetWindowTextChecked(text);
}

void TextBox::SetForeColor(COLORREF color) {
    foreColor_ = color;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TextBox::SetBackColor(COLORREF color) {
    backColor_ = color;
    backBrush_.Reset(CreateSolidBrush(color));
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

bool TextBox::OnCtlColor(HDC dc, LRESULT& brush) {
    if (!foreColor_ && !backColor_)
        return false;
    SetTextColor(dc, foreColor_ ? *foreColor_ : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, backColor_ ? *backColor_ : GetSysColor(COLOR_WINDOW));
    brush = reinterpret_cast<LRESULT>(backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_WINDOW));
    return true;
}

void TextBox::OnTabbedInto() {
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

// ---------------------------------------------------------------------------------------------------------
// Button

void Button::Create(Container& parent, const TwipsRect& rect, const std::wstring& caption, ButtonStyle style) {
    style_ = style;
    const DWORD buttonStyle = style == ButtonStyle::Graphical ? BS_OWNERDRAW : BS_PUSHBUTTON;
    CreateWindowIn(parent, L"BUTTON", WS_TABSTOP | buttonStyle, 0, rect, caption, Layer::Window);
}

void Button::SetBackColor(COLORREF color) {
    backBrush_.Reset(CreateSolidBrush(color));
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Button::OnCommand(WORD code) {
    if (code == BN_CLICKED)
        Raise(onClick);
}

bool Button::OnEnterKey() {
    SendMessageW(Handle(), BM_CLICK, 0, 0);
    return true;
}

bool Button::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (style_ != ButtonStyle::Graphical)
        return false;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    FillRect(dc, &rect, backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));
    if (focused) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rect, -1, -1);
    }
    if (pressed)
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    InflateRect(&rect, -2, -2);

    const std::wstring caption = Caption();
    SelectScope font(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT measured = rect;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    RECT text = rect;
    text.top += std::max(0L, ((rect.bottom - rect.top) - (measured.bottom - measured.top)) / 2);
    if (pressed)
        OffsetRect(&text, 1, 1);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);

    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = rect;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// CheckBox

void CheckBox::Create(Container& parent, const TwipsRect& rect, const std::wstring& caption) {
    CreateWindowIn(parent, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 0, rect, caption, Layer::Window);
}

bool CheckBox::Value() const {
    return Handle() && SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetValue(bool checked) {
    if (Handle())
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Frame

Frame::~Frame() {
    // Its children's windows go with it, also those whose controls outlive the frame.
    DestroyQuietly();
    ForgetChildWindows();
}

void Frame::Create(Container& parent, const TwipsRect& rect, const std::wstring& caption, bool drawBorder) {
    static const ATOM atom = RegisterOwnClass(kFrameClass);
    if (atom == 0)
        throw Module1::Failure{L"Die Fensterklasse der Rahmen kann nicht angemeldet werden.", GetLastError()};
    drawBorder_ = drawBorder;
    CreateWindowIn(parent, kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, rect, caption, Layer::Window);
}

void Frame::SetBackColor(COLORREF color) {
    backBrush_.Reset(CreateSolidBrush(color));
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Frame::WindowGone() {
    ForgetChildWindows();
    Control::WindowGone();
}

void Frame::Paint(HWND window, HDC dc, bool background, bool content) {
    RECT client{};
    GetClientRect(window, &client);
    if (background)
        FillRect(dc, &client, backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));
    if (!content)
        return;
    if (drawBorder_) {
        SelectScope font(dc, font_);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT border = client;
        border.top = metrics.tmHeight / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

        const std::wstring caption = WindowText();
        if (!caption.empty()) {
            const int inset = MulDiv(6, static_cast<int>(Dpi()), 96);
            RECT text{inset, 0, client.right - inset, metrics.tmHeight};
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
            text.right += 2;
            text.right = std::min(text.right, client.right - inset);
            FillRect(dc, &text, backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            OffsetRect(&text, 1, 0);
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    PaintLines(dc);
}

LRESULT Frame::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteToChild(message, wParam, lParam, routed))
        return routed;
    if (HandleTextAndFont(window, message, wParam, lParam, font_, routed))
        return routed;
    switch (message) {
    case WM_ERASEBKGND:
        Paint(window, reinterpret_cast<HDC>(wParam), true, false);
        return 1;
    case WM_PAINT: {
        PaintScope paint(window);
        Paint(window, paint.Dc(), false, true);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(window, reinterpret_cast<HDC>(wParam), (lParam & PRF_ERASEBKGND) != 0, (lParam & PRF_CLIENT) != 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Image

void Image::Create(Container& parent, const TwipsRect& rect, int pictureId) {
    static const ATOM atom = RegisterOwnClass(kImageClass);
    if (atom == 0)
        throw Module1::Failure{L"Die Fensterklasse der Bilder kann nicht angemeldet werden.", GetLastError()};
    picture_ = Picture::FromResource(pictureId);
    CreateWindowIn(parent, kImageClass, 0, 0, rect, L"", Layer::Surface);
}

void Image::SetPicture(int pictureId) {
    picture_ = Picture::FromResource(pictureId);
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void Image::SetMouseIcon(int cursorId) {
    cursor_ = LoadPointer(cursorId);
}

LRESULT Image::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        std::optional<PaintScope> paint;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (message == WM_PAINT) {
            paint.emplace(window);
            dc = paint->Dc();
        }
        PaintParentBackground(window, dc);
        const UINT dpi = Dpi();
        picture_.Draw(dc, 0, 0, MulDiv(picture_.Width(), static_cast<int>(dpi), 96),
                      MulDiv(picture_.Height(), static_cast<int>(dpi), 96));
        return 0;
    }
    case WM_SETCURSOR:
        if (cursor_ && LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (onMouseMove) {
            const float x = PixelsToTwips(static_cast<short>(LOWORD(lParam)), Dpi());
            const float y = PixelsToTwips(static_cast<short>(HIWORD(lParam)), Dpi());
            Raise([&] { onMouseMove(x, y); });
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (TrackClick(window, message, lParam, pressed_))
            Raise(onClick);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------------
// PictureBox

void PictureBox::Create(Container& parent, const TwipsRect& rect, int pictureId, bool border) {
    static const ATOM atom = RegisterOwnClass(kPictureBoxClass);
    if (atom == 0)
        throw Module1::Failure{L"Die Fensterklasse der Bildfelder kann nicht angemeldet werden.", GetLastError()};
    picture_ = Picture::FromResource(pictureId);
    CreateWindowIn(parent, kPictureBoxClass, WS_TABSTOP, border ? WS_EX_CLIENTEDGE : 0, rect, L"", Layer::Window);
}

void PictureBox::SetBackColor(COLORREF color) {
    backBrush_.Reset(CreateSolidBrush(color));
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT PictureBox::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PaintScope paint(window);
        const int dpi = static_cast<int>(Dpi());
        picture_.Draw(paint.Dc(), 0, 0, MulDiv(picture_.Width(), dpi, 96), MulDiv(picture_.Height(), dpi, 96));
        return 0;
    }
    case WM_LBUTTONDOWN:
        ::SetFocus(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Line

Line::~Line() {
    if (parent_) {
        auto& lines = parent_->lines_;
        lines.erase(std::remove(lines.begin(), lines.end(), this), lines.end());
        if (HWND window = parent_->ContainerWindow())
            InvalidateRect(window, nullptr, TRUE);
    }
}

void Line::Create(Container& parent, float x1, float y1, float x2, float y2) {
    parent_ = &parent;
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    parent.lines_.push_back(this);
    if (HWND window = parent.ContainerWindow())
        InvalidateRect(window, nullptr, TRUE);
}

void Line::Paint(HDC dc) const {
    const Form* form = parent_ ? parent_->ContainerForm() : nullptr;
    const UINT dpi = form ? form->Dpi() : 96;
    Pen pen(CreatePen(PS_SOLID, std::max(1, MulDiv(1, static_cast<int>(dpi), 96)), GetSysColor(COLOR_WINDOWTEXT)));
    if (!pen)
        return;
    SelectScope select(dc, pen.Get());
    const int x1 = TwipsToPixels(x1_, dpi), y1 = TwipsToPixels(y1_, dpi);
    const int x2 = TwipsToPixels(x2_, dpi), y2 = TwipsToPixels(y2_, dpi);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SetPixel(dc, x2, y2, GetSysColor(COLOR_WINDOWTEXT));  // LineTo leaves out the end point; the line has both
}

// ---------------------------------------------------------------------------------------------------------
// Timer

Timer::~Timer() {
    if (form_) {
        if (form_->Handle())
            KillTimer(form_->Handle(), id_);
        auto& timers = form_->timers_;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }
}

void Timer::Create(Form& form) {
    form_ = &form;
    id_ = nextTimerId++;
    form.timers_.push_back(this);
    Update();
}

void Timer::SetInterval(UINT milliseconds) {
    interval_ = milliseconds;
    Update();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

void Timer::Update() {
    if (!form_ || !form_->Handle())
        return;
    if (enabled_ && interval_ > 0) {
        if (!SetTimer(form_->Handle(), id_, interval_, nullptr))
            throw Module1::Failure{L"Der Zeitgeber kann nicht gestellt werden.", GetLastError()};
    } else {
        KillTimer(form_->Handle(), id_);
    }
}

}  // namespace forms
