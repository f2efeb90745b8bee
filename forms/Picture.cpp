// Decodes GIF resources with WIC: the first frame, converted to premultiplied BGRA, so that the transparent
// colour of the GIF becomes alpha 0 and AlphaBlend shows the container beneath.
#include "Picture.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "Com.h"

namespace forms {

using Microsoft::WRL::ComPtr;

namespace {

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindRcData(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

}  // namespace

Picture Picture::FromResource(int resourceId) {
    Picture picture;
    const ResourceBytes bytes = FindRcData(resourceId);
    if (!bytes.data || bytes.size == 0 || !EnsureCom())
        return picture;

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 || height > 4096)
        return picture;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC copies the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return picture;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
        return picture;
    GdiFlush();

    picture.bitmap_ = std::move(bitmap);
    picture.width_ = static_cast<int>(width);
    picture.height_ = static_cast<int>(height);
    return picture;
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
    if (Empty())
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    {
        SelectScope select(memory, bitmap_.Get());
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, x, y, width, height, memory, 0, 0, width_, height_, blend);
    }
    DeleteDC(memory);
}

}  // namespace forms
