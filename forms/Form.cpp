// Forms, the base of the controls, and the message loop.
#include "Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cassert>
#include <exception>
#include <utility>

#include "Controls.h"
#include "Dialogs.h"
#include "Failure.h"

namespace forms {

namespace {

constexpr wchar_t kFormClass[] = L"TreskelForm";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

int openForms = 0;
int nextControlId = 1000;  // well above IDOK and IDCANCEL

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Control

Control::~Control() {
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    DestroyQuietly();
}

void Control::DestroyQuietly() {
    if (!window_)
        return;
    // Our own window procedures must not reach the half-destroyed object while the window goes.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(window_, nullptr));
}

ATOM Control::RegisterOwnClass(const wchar_t* name) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Control::OwnClassProc;
    windowClass.hInstance = Instance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass);
}

LRESULT CALLBACK Control::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* control = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        control->WindowGone();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->HandleMessage(window, message, wParam, lParam);
}

LRESULT Control::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void Control::CreateWindowIn(Container& parent, const wchar_t* className, DWORD style, DWORD exStyle,
                             const TwipsRect& rect, const std::wstring& text, Layer layer) {
    assert(window_ == nullptr && "a control is created once");
    Form* form = parent.ContainerForm();
    HWND parentWindow = parent.ContainerWindow();
    if (!form || !parentWindow)
        throw Module1::Failure{L"Ein Steuerelement kann nicht ohne sein Fenster erstellt werden.", ERROR_INVALID_WINDOW_HANDLE};

    rect_ = rect;
    const UINT dpi = form->Dpi();
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_)
        style |= WS_VISIBLE;
    const int id = nextControlId++;
    HWND window = CreateWindowExW(exStyle, className, text.c_str(), style, TwipsToPixels(rect.left, dpi),
                                  TwipsToPixels(rect.top, dpi), TwipsToPixels(rect.width, dpi),
                                  TwipsToPixels(rect.height, dpi), parentWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(),
                                  static_cast<Control*>(this));
    if (!window)
        throw Module1::Failure{L"Das Steuerelement \"" + text + L"\" kann nicht erstellt werden.", GetLastError()};
    window_ = window;
    parent_ = &parent;
    parent.children_.push_back(this);
    surface_ = layer == Layer::Surface;

    // Windows of their own lie above the surface controls of the same container; among each kind the
    // control made later lies above.
    HWND insertAfter = HWND_TOP;
    if (surface_) {
        for (HWND sibling = GetWindow(parentWindow, GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
            const Control* control = parent.FindControl(sibling);
            if (sibling != window_ && control && !control->surface_)
                insertAfter = sibling;  // the lowest window so far: the new surface control goes below it
        }
    }
    SetWindowPos(window_, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), FALSE);
}

Form* Control::OwnerForm() const {
    return parent_ ? parent_->ContainerForm() : nullptr;
}

UINT Control::Dpi() const {
    const Form* form = OwnerForm();
    return form ? form->Dpi() : 96;
}

HFONT Control::CurrentFont() const {
    Form* form = OwnerForm();
    if (!form)
        return nullptr;
    return form->FontFor(font_ ? *font_ : form->DefaultFont());
}

void Control::PlaceWindow() {
    if (!window_)
        return;
    const UINT dpi = Dpi();
    SetWindowPos(window_, nullptr, TwipsToPixels(rect_.left, dpi), TwipsToPixels(rect_.top, dpi),
                 TwipsToPixels(rect_.width, dpi), TwipsToPixels(rect_.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::ApplyDpi() {
    if (!window_)
        return;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), FALSE);
    PlaceWindow();
    InvalidateRect(window_, nullptr, TRUE);
}

void Control::Move(const TwipsRect& rect) {
    rect_ = rect;
    PlaceWindow();
}

void Control::SetHeight(float height) {
    TwipsRect rect = rect_;
    rect.height = height;
    Move(rect);
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (window_)
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetFocus() {
    if (window_)
        ::SetFocus(window_);
}

void Control::SetFont(const FontSpec& fontSpec) {
    font_ = fontSpec;
    if (window_) {
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), TRUE);
        PlaceWindow();  // list and combo boxes measure their items by the font
    }
}

void Control::Refresh() {
    if (window_)
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::wstring Control::WindowText() const {
    if (!window_)
        return {};
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void Control::SetWindowTextChecked(const std::wstring& text) {
    if (window_ && !SetWindowTextW(window_, text.c_str()))
        throw Module1::Failure{L"Der Text \"" + text + L"\" kann nicht gesetzt werden.", GetLastError()};
}

// ---------------------------------------------------------------------------------------------------------
// Container

Container::~Container() {
    for (Control* child : children_)
        child->parent_ = nullptr;
    for (Line* line : lines_)
        line->parent_ = nullptr;
}

Control* Container::FindControl(HWND window) const {
    if (!window)
        return nullptr;
    for (Control* child : children_) {
        if (child->window_ == window)
            return child;
        if (const auto* frame = dynamic_cast<const Container*>(child)) {
            if (Control* inner = frame->FindControl(window))
                return inner;
        }
    }
    return nullptr;
}

void Container::CollectControls(std::vector<Control*>& out) const {
    for (Control* child : children_) {
        out.push_back(child);
        if (const auto* frame = dynamic_cast<const Container*>(child))
            frame->CollectControls(out);
    }
}

bool Container::RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    switch (message) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    // Enter on a button of a frame comes to the form: look in the frames too.
    Control* control = FindControl(child);
    if (!control)
        return false;
    switch (message) {
    case WM_COMMAND:
        control->OnCommand(HIWORD(wParam));
        result = 0;
        return true;
    case WM_DRAWITEM:
        if (!control->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return false;
        result = TRUE;
        return true;
    case WM_NOTIFY:
        return false;
    default:
        return control->OnCtlColor(reinterpret_cast<HDC>(wParam), result);
    }
}

void Container::PaintLines(HDC dc) const {
    for (const Line* line : lines_)
        line->Paint(dc);
}

void Container::ForgetChildWindows() {
    for (Control* child : children_) {
        if (auto* frame = dynamic_cast<Container*>(child))
            frame->ForgetChildWindows();
        child->window_ = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Form

Form::~Form() {
    for (Timer* timer : timers_)
        timer->form_ = nullptr;
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        HWND window = window_;
        ForgetChildWindows();
        window_ = nullptr;
        DestroyWindow(window);
        if (--openForms == 0)
            PostQuitMessage(0);
    }
}

ATOM Form::WindowClass() {
    static const ATOM atom = [] {
        // The standard controls of common controls 6, which the manifest asks for.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Form::WindowProc;
        windowClass.hInstance = Instance();
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

Form* Form::FromWindow(HWND window) {
    if (!window || WindowClass() == 0 || GetClassLongPtrW(window, GCW_ATOM) != WindowClass())
        return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

int Form::OpenCount() {
    return openForms;
}

void Form::Create(const std::wstring& caption, float clientWidth, float clientHeight, int iconId,
                  std::optional<COLORREF> backColor) {
    assert(window_ == nullptr && "a form is created once");
    if (backColor)
        backBrush_.Reset(CreateSolidBrush(*backColor));
    iconId_ = iconId;

    auto outerSize = [&](UINT dpi) {
        RECT rect{0, 0, TwipsToPixels(clientWidth, dpi), TwipsToPixels(clientHeight, dpi)};
        AdjustWindowRectExForDpi(&rect, kFormStyle, FALSE, kFormExStyle, dpi);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    };
    if (WindowClass() == 0)
        throw Module1::Failure{L"Die Fensterklasse der Formulare kann nicht angemeldet werden.", GetLastError()};
    dpi_ = GetDpiForSystem();
    const SIZE size = outerSize(dpi_);
    HWND window = CreateWindowExW(kFormExStyle, MAKEINTATOM(WindowClass()), caption.c_str(), kFormStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, Instance(), this);
    if (!window)
        throw Module1::Failure{L"Das Fenster \"" + caption + L"\" kann nicht erstellt werden.", GetLastError()};
    ++openForms;

    // The default place may lie on a screen with another DPI than the system's.
    const UINT actual = GetDpiForWindow(window_);
    if (actual != 0 && actual != dpi_) {
        dpi_ = actual;
        const SIZE scaled = outerSize(dpi_);
        SetWindowPos(window_, nullptr, 0, 0, scaled.cx, scaled.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LoadIcons(dpi_);
}

void Form::LoadIcons(UINT dpi) {
    if (iconId_ == 0)
        return;
    HINSTANCE instance = Instance();
    // The big icon at its own size; the small one scaled to the title bar. A missing icon keeps the default.
    bigIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId_), IMAGE_ICON, 0, 0,
                                                 LR_DEFAULTCOLOR)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId_), IMAGE_ICON,
                                                   GetSystemMetricsForDpi(SM_CXSMICON, dpi),
                                                   GetSystemMetricsForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR)));
    if (bigIcon_.Get())
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    if (smallIcon_.Get())
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void Form::Load() {
    if (loaded_ || !window_)
        return;
    loaded_ = true;
    Raise(onLoad);
}

void Form::Show() {
    if (!window_)
        return;
    Load();
    if (!window_)
        return;  // the load handling unloaded the form
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

void Form::Unload() {
    if (!window_ || unloading_)
        return;
    unloading_ = true;
    if (loaded_)
        Raise(onUnload);
    loaded_ = false;
    if (window_)
        DestroyWindow(window_);
    unloading_ = false;
}

float Form::Left() const {
    RECT rect{};
    if (window_)
        GetWindowRect(window_, &rect);
    return PixelsToTwips(rect.left, dpi_);
}

float Form::Top() const {
    RECT rect{};
    if (window_)
        GetWindowRect(window_, &rect);
    return PixelsToTwips(rect.top, dpi_);
}

float Form::Width() const {
    RECT rect{};
    if (window_)
        GetWindowRect(window_, &rect);
    return PixelsToTwips(rect.right - rect.left, dpi_);
}

float Form::Height() const {
    RECT rect{};
    if (window_)
        GetWindowRect(window_, &rect);
    return PixelsToTwips(rect.bottom - rect.top, dpi_);
}

void Form::SetOuter(std::optional<float> left, std::optional<float> top, std::optional<float> width,
                    std::optional<float> height) {
    if (!window_)
        return;
    RECT rect{};
    GetWindowRect(window_, &rect);
    const int x = left ? TwipsToPixels(*left, dpi_) : rect.left;
    const int y = top ? TwipsToPixels(*top, dpi_) : rect.top;
    const int cx = width ? TwipsToPixels(*width, dpi_) : rect.right - rect.left;
    const int cy = height ? TwipsToPixels(*height, dpi_) : rect.bottom - rect.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!left && !top)
        flags |= SWP_NOMOVE;
    if (!width && !height)
        flags |= SWP_NOSIZE;
    SetWindowPos(window_, nullptr, x, y, cx, cy, flags);
}

void Form::SetLeft(float left) { SetOuter(left, std::nullopt, std::nullopt, std::nullopt); }
void Form::SetTop(float top) { SetOuter(std::nullopt, top, std::nullopt, std::nullopt); }
void Form::SetWidth(float width) { SetOuter(std::nullopt, std::nullopt, width, std::nullopt); }
void Form::SetHeight(float height) { SetOuter(std::nullopt, std::nullopt, std::nullopt, height); }

std::wstring Form::Caption() const {
    if (!window_)
        return {};
    wchar_t text[512] = {};
    GetWindowTextW(window_, text, 512);
    return text;
}

float Form::ScreenWidth() {
    return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), GetDpiForSystem());
}

void Form::Refresh() {
    if (window_)
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HFONT Form::FontFor(const FontSpec& fontSpec) {
    for (const CachedFont& cached : fonts_) {
        if (cached.dpi == dpi_ && cached.fontSpec == fontSpec)
            return cached.font.Get();
    }
    fonts_.push_back({fontSpec, dpi_, MakeFont(fontSpec, dpi_)});
    return fonts_.back().font.Get();
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> all;
    CollectControls(all);
    std::vector<Control*> order;
    for (Control* control : all) {
        if (control->TakesFocus() && control->window_ && IsWindowVisible(control->window_) &&
            IsWindowEnabled(control->window_))
            order.push_back(control);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex_ < b->tabIndex_; });
    return order;
}

void Form::FocusFirst() {
    const std::vector<Control*> order = TabOrder();
    if (order.empty())
        ::SetFocus(window_);
    else
        order.front()->SetFocus();
}

void Form::TabFocus(bool backward) {
    const std::vector<Control*> order = TabOrder();
    if (order.empty())
        return;
    // The focus may sit in a part of a control (the edit field of a combo box): find the control.
    Control* current = nullptr;
    for (HWND window = GetFocus(); window && window != window_ && !current; window = GetParent(window))
        current = FindControl(window);
    const auto at = std::find(order.begin(), order.end(), current);
    size_t next = 0;
    if (at == order.end())
        next = backward ? order.size() - 1 : 0;
    else {
        const size_t index = static_cast<size_t>(at - order.begin());
        next = backward ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    }
    order[next]->SetFocus();
    order[next]->OnTabbedInto();
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void Form::ApplyDpiToAll(UINT dpi) {
    dpi_ = dpi;
    std::vector<Control*> all;
    CollectControls(all);
    for (Control* control : all)
        control->ApplyDpi();
    fonts_.erase(std::remove_if(fonts_.begin(), fonts_.end(), [dpi](const CachedFont& f) { return f.dpi != dpi; }),
                 fonts_.end());
    LoadIcons(dpi);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->ForgetChildWindows();
        form->window_ = nullptr;
        form->loaded_ = false;
        if (--openForms == 0)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteToChild(message, wParam, lParam, routed))
        return routed;

    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 backBrush_ ? backBrush_.Get() : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PaintScope paint(window_);
        PaintLines(paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (lParam & PRF_ERASEBKGND)
            HandleMessage(WM_ERASEBKGND, wParam, 0);
        if (lParam & PRF_CLIENT)
            PaintLines(dc);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (onMouseMove) {
            const float x = PixelsToTwips(static_cast<short>(LOWORD(lParam)), dpi_);
            const float y = PixelsToTwips(static_cast<short>(HIWORD(lParam)), dpi_);
            Raise([&] { onMouseMove(x, y); });
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window_, focus))
                lastFocus_ = focus;
            return 0;
        }
        if (HIWORD(wParam) == 0) {  // not minimised
            if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_))
                ::SetFocus(lastFocus_);
            else
                FocusFirst();
        }
        return 0;
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_ENDSESSION:
        // Windows is ending the session: unload as the close box would, so that the unload handling runs.
        if (wParam)
            Unload();
        return 0;
    case WM_TIMER:
        for (Timer* timer : timers_) {
            if (timer->id_ == wParam) {
                Raise(timer->onTimer);
                break;
            }
        }
        return 0;
    case WM_DPICHANGED: {
        ApplyDpiToAll(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The message loop

bool PreTranslate(MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_TAB && message.wParam != VK_RETURN))
        return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return false;
    Form* form = Form::FromWindow(GetAncestor(message.hwnd, GA_ROOT));
    if (!form)
        return false;
    if (message.wParam == VK_TAB) {
        form->TabFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    Control* focused = nullptr;
    for (HWND window = GetFocus(); window && window != form->Handle() && !focused; window = GetParent(window))
        focused = form->FindControl(window);
    return focused && focused->OnEnterKey();
}

int Run() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void DoEvents() {
    MSG message;
    bool quit = false;
    WPARAM exitCode = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            exitCode = message.wParam;
            continue;
        }
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(exitCode));  // the loop that runs the program still has to end
}

void Raise(const std::function<void()>& handler) {
    if (!handler)
        return;
    std::wstring what;
    try {
        handler();
        return;
    } catch (const Module1::Failure& error) {
        what = Module1::Describe(error);
    } catch (const std::exception& error) {
        const std::string text = error.what();
        what = L"Ein unerwarteter Fehler ist aufgetreten: " + std::wstring(text.begin(), text.end());
    }
    HWND active = GetActiveWindow();
    wchar_t title[256] = {};
    if (active)
        GetWindowTextW(active, title, 256);
    MsgBox(active, what, title);
}

}  // namespace forms
