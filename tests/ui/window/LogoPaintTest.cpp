#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <vector>

#include "resources/ResourceIds.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

using Microsoft::WRL::ComPtr;

constexpr int kLogoWidth = 88;
constexpr int kLogoHeight = 31;
constexpr UINT kTransparentIndex = 255;

// What the control paints, caught in a memory picture of its size.
class PaintedControl {
  public:
    explicit PaintedControl(HWND control)
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateBitmap(kLogoWidth, kLogoHeight, 1, 32, nullptr)),
          previous_(SelectObject(dc_, bitmap_)) {
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~PaintedControl() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

TEST_F(FormTest, FirstLogoShowsItsBitmapAtNaturalSize) {
    HBITMAP logo =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO_INFO1),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(logo, nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, logo);

    const PaintedControl painted(control(ControlId::LogoInfo1));
    int differences = 0;
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            differences += painted.at(x, y) != GetPixel(source, x, y);
        }
    }
    EXPECT_EQ(differences, 0);

    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(logo);
}

struct IndexedPicture {
    std::vector<BYTE> indices;
    std::vector<WICColor> palette;
};

// The GIF's first frame as colour indices, to say which pixels must show the
// panel behind them.
IndexedPicture firstFrameIndices() {
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(IDR_LOGO_INFO2), RT_RCDATA);
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(program, resource)));
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICPalette> palette;
    IndexedPicture picture{std::vector<BYTE>(kLogoWidth * kLogoHeight), std::vector<WICColor>(256)};
    UINT colours = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(bytes, SizeofResource(program, resource))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreatePalette(&palette)) ||
        FAILED(frame->CopyPalette(palette.Get())) ||
        FAILED(palette->GetColors(256, picture.palette.data(), &colours)) ||
        FAILED(frame->CopyPixels(nullptr, kLogoWidth, kLogoWidth * kLogoHeight,
                                 picture.indices.data()))) {
        return {};
    }
    return picture;
}

COLORREF opaque(WICColor colour) {
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

TEST_F(FormTest, SecondLogoShowsItsFirstFrameWithThePanelThroughItsTransparentColour) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const IndexedPicture gif = firstFrameIndices();
    CoUninitialize();
    ASSERT_FALSE(gif.indices.empty());

    // The panel's logo is ready once the About panel has been opened.
    click(ControlId::btnacerca);
    const PaintedControl painted(control(ControlId::LogoInfo2));
    int transparentPixels = 0;
    int differences = 0;
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            const UINT index = gif.indices[static_cast<std::size_t>(y * kLogoWidth + x)];
            const bool transparent = index == kTransparentIndex;
            transparentPixels += transparent;
            const COLORREF expected =
                transparent ? GetSysColor(COLOR_BTNFACE) : opaque(gif.palette[index]);
            differences += painted.at(x, y) != expected;
        }
    }
    EXPECT_GT(transparentPixels, 0);
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace tovask::ui_test
