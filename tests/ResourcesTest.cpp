// The pictures, icons and cursors built into Treskel.exe and test.exe: read from the built programs, loaded
// as data files, and checked for size, palette, transparency and hot spot.
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "TestFiles.h"

// winuser.h names the system's hand cursor IDC_HAND; here the name stands for our resource ID.
#undef IDC_HAND
#include "resource.h"

using Microsoft::WRL::ComPtr;

namespace {

enum class Program { Treskel, Test };

std::wstring ProgramPath(Program program) {
    const std::wstring buildDir = testing_support::Environment(L"TRESKEL_BUILD_DIR");
    return buildDir + (program == Program::Treskel ? L"\\mainwindow\\Treskel.exe" : L"\\testprogram\\test.exe");
}

// A built program mapped for reading its resources only: nothing of it runs.
class ResourceModule {
public:
    explicit ResourceModule(Program program)
        : module_(LoadLibraryExW(ProgramPath(program).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceModule() {
        if (module_)
            FreeLibrary(module_);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;
    HMODULE Get() const { return module_; }

    // The bytes of one resource; empty when it is missing.
    std::span<const BYTE> Bytes(int id, LPCWSTR type) const {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (!found)
            return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data)
            return {};
        return {static_cast<const BYTE*>(data), SizeofResource(module_, found)};
    }

private:
    HMODULE module_;
};

template <typename T>
T ReadAt(std::span<const BYTE> bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// --- GIFs -------------------------------------------------------------------------------------------------

struct GifFacts {
    UINT width = 0;
    UINT height = 0;
    UINT paletteSize = 0;
    bool transparent = false;
    BYTE transparentIndex = 0;
    std::set<BYTE> usedIndices;
    BYTE cornerIndex = 0;  // the top-left pixel, a piece of background
};

class ComSession {
public:
    ComSession() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComSession() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;

private:
    HRESULT result_;
};

// Decodes a GIF held in memory the way the windows do (WIC), with its palette and its graphic control block.
void DecodeGif(std::span<const BYTE> bytes, GifFacts& facts) {
    ComPtr<IWICImagingFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    ComPtr<IWICStream> stream;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
    ASSERT_HRESULT_SUCCEEDED(
        stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
    ComPtr<IWICBitmapDecoder> decoder;
    ASSERT_HRESULT_SUCCEEDED(
        factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad, &decoder));
    GUID container{};
    ASSERT_HRESULT_SUCCEEDED(decoder->GetContainerFormat(&container));
    ASSERT_TRUE(IsEqualGUID(container, GUID_ContainerFormatGif));
    UINT frames = 0;
    ASSERT_HRESULT_SUCCEEDED(decoder->GetFrameCount(&frames));
    ASSERT_EQ(frames, 1u);
    ComPtr<IWICBitmapFrameDecode> frame;
    ASSERT_HRESULT_SUCCEEDED(decoder->GetFrame(0, &frame));
    ASSERT_HRESULT_SUCCEEDED(frame->GetSize(&facts.width, &facts.height));

    ComPtr<IWICPalette> palette;
    ASSERT_HRESULT_SUCCEEDED(factory->CreatePalette(&palette));
    ASSERT_HRESULT_SUCCEEDED(frame->CopyPalette(palette.Get()));
    ASSERT_HRESULT_SUCCEEDED(palette->GetColorCount(&facts.paletteSize));

    ComPtr<IWICMetadataQueryReader> metadata;
    ASSERT_HRESULT_SUCCEEDED(frame->GetMetadataQueryReader(&metadata));
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(metadata->GetMetadataByName(L"/grctlext/TransparencyFlag", &value)) && value.vt == VT_BOOL)
        facts.transparent = value.boolVal != VARIANT_FALSE;
    PropVariantClear(&value);
    if (facts.transparent) {
        ASSERT_HRESULT_SUCCEEDED(metadata->GetMetadataByName(L"/grctlext/TransparentColorIndex", &value));
        ASSERT_EQ(value.vt, VT_UI1);
        facts.transparentIndex = value.bVal;
        PropVariantClear(&value);
    }

    WICPixelFormatGUID format{};
    ASSERT_HRESULT_SUCCEEDED(frame->GetPixelFormat(&format));
    ASSERT_TRUE(IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed));
    std::vector<BYTE> pixels(size_t{facts.width} * facts.height);
    ASSERT_HRESULT_SUCCEEDED(
        frame->CopyPixels(nullptr, facts.width, static_cast<UINT>(pixels.size()), pixels.data()));
    facts.usedIndices.insert(pixels.begin(), pixels.end());
    facts.cornerIndex = pixels.front();
}

struct GifCase {
    const char* name;
    Program program;
    int id;
    UINT width;
    UINT height;
    UINT paletteSize;  // 0: any
    bool transparent;  // one palette entry is transparent, and the background shows it
    size_t usedColours;  // 0: any
};

const GifCase kGifs[] = {
    {"panel strip", Program::Treskel, IDR_PANEL_STRIP, 107, 9, 0, true, 0},
    {"exit picture", Program::Treskel, IDR_EXIT, 60, 58, 0, true, 0},
    {"logo", Program::Treskel, IDR_LOGO, 100, 79, 256, false, 0},
    {"close picture, yellow", Program::Treskel, IDR_CLOSE_YELLOW, 35, 43, 256, true, 3},
    {"close picture, orange", Program::Treskel, IDR_CLOSE_ORANGE, 36, 43, 256, true, 3},
    {"test picture", Program::Test, IDR_TEST_PICTURE, 268, 267, 256, true, 0},
};

TEST(Resources, GifPicturesHaveTheirSizePaletteAndTransparency) {
    ComSession com;
    const ResourceModule treskel(Program::Treskel);
    const ResourceModule test(Program::Test);
    ASSERT_NE(treskel.Get(), nullptr) << "cannot load " << testing::PrintToString(ProgramPath(Program::Treskel));
    ASSERT_NE(test.Get(), nullptr) << "cannot load " << testing::PrintToString(ProgramPath(Program::Test));

    for (const auto& c : kGifs) {
        SCOPED_TRACE(c.name);
        const ResourceModule& module = c.program == Program::Treskel ? treskel : test;
        const auto bytes = module.Bytes(c.id, RT_RCDATA);
        ASSERT_FALSE(bytes.empty()) << "no RCDATA " << c.id;
        GifFacts facts;
        DecodeGif(bytes, facts);
        if (HasFatalFailure())
            continue;
        EXPECT_EQ(facts.width, c.width);
        EXPECT_EQ(facts.height, c.height);
        if (c.paletteSize != 0) {
            EXPECT_EQ(facts.paletteSize, c.paletteSize);
        }
        EXPECT_LE(facts.paletteSize, 256u);
        EXPECT_EQ(facts.transparent, c.transparent);
        if (c.transparent) {
            EXPECT_LT(facts.transparentIndex, facts.paletteSize);
            EXPECT_EQ(facts.cornerIndex, facts.transparentIndex) << "the background is not transparent";
        }
        if (c.usedColours != 0) {
            EXPECT_EQ(facts.usedIndices.size(), c.usedColours);
        }
    }
}

// --- Icons and cursors ------------------------------------------------------------------------------------

struct IconCase {
    const char* name;
    int id;
    bool cursor;
    LONG width;
    LONG height;
    WORD bitsPerPixel;
    POINT hotSpot;  // cursors only
};

const IconCase kIcons[] = {
    {"window icon", IDI_TRESKEL, false, 32, 31, 24, {}},
    {"info window icon", IDI_INFO, false, 7, 7, 8, {}},
    {"hand cursor", IDC_HAND, true, 32, 32, 1, {0, 0}},
    {"colour hand cursor", IDC_HAND_COLOUR, true, 32, 32, 4, {12, 1}},
};

// The size of a bitmap handed out by GetIconInfo.
SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return {};
    return {info.bmWidth, info.bmHeight};
}

TEST(Resources, IconsAndCursorsHaveTheirSizeDepthAndHotSpot) {
    const ResourceModule treskel(Program::Treskel);
    ASSERT_NE(treskel.Get(), nullptr) << "cannot load " << testing::PrintToString(ProgramPath(Program::Treskel));

    for (const auto& c : kIcons) {
        SCOPED_TRACE(c.name);
        // The group resource lists the images of one icon or cursor: ours have exactly one.
        const auto group = treskel.Bytes(c.id, c.cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON);
        ASSERT_GE(group.size(), 6u + 14u) << "no group resource " << c.id;
        EXPECT_EQ(ReadAt<WORD>(group, 2), c.cursor ? 2 : 1);
        ASSERT_EQ(ReadAt<WORD>(group, 4), 1) << "more than one image";
        if (!c.cursor) {
            EXPECT_EQ(ReadAt<BYTE>(group, 6), c.width);
            EXPECT_EQ(ReadAt<BYTE>(group, 7), c.height);
            EXPECT_EQ(ReadAt<WORD>(group, 6 + 6), c.bitsPerPixel);
        }
        const WORD imageId = ReadAt<WORD>(group, 6 + 12);

        // The image itself: a cursor's starts with its hot spot, then the bitmap header of image and mask.
        const auto image = treskel.Bytes(imageId, c.cursor ? RT_CURSOR : RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER) + 4) << "no image " << imageId;
        const size_t headerAt = c.cursor ? 4 : 0;
        const auto header = ReadAt<BITMAPINFOHEADER>(image, headerAt);
        EXPECT_EQ(header.biWidth, c.width);
        EXPECT_EQ(header.biHeight, 2 * c.height) << "image and mask, one above the other";
        EXPECT_EQ(header.biBitCount, c.bitsPerPixel);
        if (c.cursor) {
            EXPECT_EQ(ReadAt<WORD>(image, 0), c.hotSpot.x);
            EXPECT_EQ(ReadAt<WORD>(image, 2), c.hotSpot.y);
        }

        // What the system makes of it.
        HICON handle = CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                                !c.cursor, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
        ASSERT_NE(handle, nullptr) << "error " << GetLastError();
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(handle, &info));
        EXPECT_EQ(info.fIcon, c.cursor ? FALSE : TRUE);
        if (c.cursor) {
            EXPECT_EQ(static_cast<LONG>(info.xHotspot), c.hotSpot.x);
            EXPECT_EQ(static_cast<LONG>(info.yHotspot), c.hotSpot.y);
        }
        const SIZE mask = BitmapSize(info.hbmMask);
        EXPECT_EQ(mask.cx, c.width);
        if (info.hbmColor) {
            const SIZE colour = BitmapSize(info.hbmColor);
            EXPECT_EQ(colour.cx, c.width);
            EXPECT_EQ(colour.cy, c.height);
            EXPECT_EQ(mask.cy, c.height);
        } else {
            EXPECT_EQ(mask.cy, 2 * c.height) << "a two-colour image keeps image and mask in one bitmap";
        }
        if (c.bitsPerPixel == 1) {
            EXPECT_EQ(info.hbmColor, nullptr) << "a two-colour cursor has no colour bitmap";
        }
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (c.cursor)
            DestroyCursor(handle);
        else
            DestroyIcon(handle);
    }
}

}  // namespace
