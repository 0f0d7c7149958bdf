#include "ui/background.h"

#include <wincodec.h>
#include <wrl/client.h>

extern "C" HRESULT WINAPI WICCreateImagingFactory_Proxy(UINT sdkVersion,
                                                        IWICImagingFactory** factory);

namespace quendral {

using Microsoft::WRL::ComPtr;

namespace {

// The imaging component's own factory function: its objects are free-threaded and in
// process, so no COM apartment is needed, and starting one (CoInitializeEx) would be
// the costliest part of the program's start-up.
ComPtr<IWICImagingFactory> Factory() {
    ComPtr<IWICImagingFactory> factory;
    WICCreateImagingFactory_Proxy(WINCODEC_SDK_VERSION, factory.GetAddressOf());
    return factory;
}

UniqueBitmap MakeDib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

}  // namespace

bool Background::Load(HINSTANCE instance, int resourceId) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(instance, resource) : 0;
    ComPtr<IWICImagingFactory> factory = Factory();
    if (data == nullptr || size == 0 || !factory) return false;

    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) {
        return false;
    }
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()),
                                     pixels.data()))) {
        return false;
    }
    pixels_ = std::move(pixels);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    fitted_.reset();
    return true;
}

void Background::Fit(int dpi, int width, int height) {
    if (pixels_.empty()) return;
    if (dpi == USER_DEFAULT_SCREEN_DPI) {
        width = width_;
        height = height_;
    }
    if (fitted_ && fittedSize_.cx == width && fittedSize_.cy == height) return;
    if (width <= 0 || height <= 0) return;

    void* bits = nullptr;
    UniqueBitmap bitmap = MakeDib(width, height, &bits);
    if (!bitmap || bits == nullptr) return;
    const UINT stride = static_cast<UINT>(width) * 4;
    const UINT bytes = stride * static_cast<UINT>(height);
    if (width == width_ && height == height_) {
        CopyMemory(bits, pixels_.data(), bytes);
    } else {
        ComPtr<IWICImagingFactory> factory = Factory();
        ComPtr<IWICBitmap> source;
        ComPtr<IWICBitmapScaler> scaler;
        if (!factory ||
            FAILED(factory->CreateBitmapFromMemory(
                static_cast<UINT>(width_), static_cast<UINT>(height_), GUID_WICPixelFormat32bppBGRA,
                static_cast<UINT>(width_) * 4, static_cast<UINT>(pixels_.size()), pixels_.data(),
                &source)) ||
            FAILED(factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(source.Get(), static_cast<UINT>(width),
                                      static_cast<UINT>(height), WICBitmapInterpolationModeFant)) ||
            FAILED(scaler->CopyPixels(nullptr, stride, bytes, static_cast<BYTE*>(bits)))) {
            return;
        }
    }
    fitted_ = std::move(bitmap);
    fittedSize_ = {width, height};
}

void Background::Paint(HDC dc, const RECT& client) const {
    if (!fitted_) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    UniqueDc memory(CreateCompatibleDC(dc));
    Selection select(memory.get(), fitted_.get());
    BitBlt(dc, 0, 0, fittedSize_.cx, fittedSize_.cy, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace quendral
