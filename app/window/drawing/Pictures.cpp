#include "app/window/drawing/Pictures.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <utility>

#include "platform/win32/ComObjects.h"

namespace tovask::app {
namespace {

using Microsoft::WRL::ComPtr;

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// Resource data stays mapped as long as the module is loaded: nothing to free.
ResourceBytes rawResource(HINSTANCE instance, int resourceId) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    HGLOBAL loaded = resource != nullptr ? LoadResource(instance, resource) : nullptr;
    if (loaded == nullptr) {
        return {};
    }
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(instance, resource)};
}

ComPtr<IWICBitmapSource> firstFrame(IWICImagingFactory& factory, const ResourceBytes& bytes) {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(factory.CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size)) ||
        FAILED(factory.CreateDecoderFromStream(stream.Get(), nullptr,
                                               WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame))) {
        return nullptr;
    }
    return frame;
}

Picture toPremultipliedPicture(IWICImagingFactory& factory, IWICBitmapSource& source) {
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(factory.CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(&source, GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height))) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first, as WIC gives it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UINT stride = width * 4;
    if (!bitmap ||
        FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        return {};
    }
    return {std::move(bitmap), {static_cast<LONG>(width), static_cast<LONG>(height)}, true};
}

}  // namespace

Picture loadBitmapPicture(HINSTANCE instance, int resourceId) {
    ScopedBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP description{};
    if (!bitmap || GetObjectW(bitmap.get(), sizeof description, &description) == 0) {
        return {};
    }
    return {std::move(bitmap), {description.bmWidth, description.bmHeight}, false};
}

Picture loadGifPicture(HINSTANCE instance, int resourceId) {
    const ResourceBytes bytes = rawResource(instance, resourceId);
    // The imaging component is a COM library; it is only needed while decoding.
    const win32::ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    if (bytes.data == nullptr ||
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory)))) {
        return {};
    }
    const ComPtr<IWICBitmapSource> frame = firstFrame(*factory.Get(), bytes);
    if (!frame) {
        return {};
    }
    return toPremultipliedPicture(*factory.Get(), *frame.Get());
}

void drawPicture(HDC dc, const Picture& picture) {
    if (!picture.bitmap) {
        return;
    }
    const ScopedMemoryDC source(CreateCompatibleDC(dc));
    const ScopedSelection selection(source.get(), picture.bitmap.get());
    const auto [width, height] = picture.size;
    if (!picture.translucent) {
        BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // gdi32's own export, not msimg32's AlphaBlend: msimg32 is no known DLL, so
    // Windows 7 and 8.1 would load a copy planted beside the program instead.
    GdiAlphaBlend(dc, 0, 0, width, height, source.get(), 0, 0, width, height, blend);
}

}  // namespace tovask::app
