// Owners of GDI and USER handles: each closes its handle when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace forms {

// A font, brush, pen or bitmap, deleted with DeleteObject.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An icon or cursor loaded without LR_SHARED, destroyed with DestroyIcon.
class Icon {
public:
    Icon() = default;
    explicit Icon(HICON icon) : icon_(icon) {}
    ~Icon() { Reset(); }
    Icon(Icon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    Icon& operator=(Icon&& other) noexcept {
        if (this != &other) {
            Reset();
            icon_ = std::exchange(other.icon_, nullptr);
        }
        return *this;
    }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    HICON Get() const { return icon_; }
    void Reset(HICON icon = nullptr) {
        if (icon_)
            DestroyIcon(icon_);
        icon_ = icon;
    }

private:
    HICON icon_ = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

}  // namespace forms
