// Helpers for the window tests.
#include "WindowTesting.h"

#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <atomic>

#include "Form.h"

namespace window_testing {

void Pump() {
    forms::DoEvents();
}

bool QuitPosted() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

void Click(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(window, WM_LBUTTONUP, 0, point);
}

void DoubleClickItem(HWND list, int index) {
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
}

void ChooseInCombo(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void PressTab() {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, VK_TAB, 1);
    Pump();
}

RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> ZOrder(HWND parent) {
    std::vector<HWND> order;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(child);
    return order;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
    using Microsoft::WRL::ComPtr;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> picture;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    const bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &picture)) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->WriteSource(picture.Get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
        SUCCEEDED(encoder->Commit());
    DeleteObject(bitmap);
    return saved;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
}

HWND FindTopWindow(DWORD processId, const wchar_t* className, const wchar_t* caption) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        const wchar_t* caption;
        HWND found;
    } search{processId, className, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == s->processId && IsWindowVisible(window) && wcscmp(name, s->className) == 0 &&
                (!s->caption || Text(window) == s->caption)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> all;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

HWND FindChild(HWND window, const wchar_t* className, const std::wstring& text) {
    for (HWND child : Descendants(window)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (_wcsicmp(name, className) == 0 && Text(child) == text)
            return child;
    }
    return nullptr;
}

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = forms::SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& title) {
        boxes.push_back({owner, text, title});
        if (onBox)
            onBox(boxes.back());
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    forms::SetMessageBoxHook(std::move(previous_));
}

ScopedUserRegistry::ScopedUserRegistry() {
    static std::atomic<unsigned> counter{0};
    path_ = L"Software\\TreskelTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot make the test's registry key");
    if (RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect HKEY_CURRENT_USER");
}

ScopedUserRegistry::~ScopedUserRegistry() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

void ScopedUserRegistry::Break() {
    // The override keeps the handle; a key deleted under an open handle refuses every new subkey.
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    RegOverridePredefKey(HKEY_CURRENT_USER, key_);
}

bool ReadSetting(const std::wstring& key, std::wstring& value) {
    wchar_t buffer[4096] = {};
    DWORD bytes = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Treskel\\Optionen", key.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &bytes) != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

void WriteSetting(const std::wstring& key, const std::wstring& value) {
    HKEY section = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Treskel\\Optionen", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &section, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(section, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(section);
}

}  // namespace window_testing
