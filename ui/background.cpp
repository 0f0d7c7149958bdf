#include "ui/background.h"

#include <algorithm>
#include <cstring>

#include "ui/dpi.h"

namespace quendral {

bool Background::Load(HINSTANCE instance, int resourceId) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (data == nullptr || size == 0) return false;
    picture::Image image = picture::DecodeJpeg(static_cast<const std::uint8_t*>(data), size);
    if (image.Empty()) return false;
    source_ = std::move(image);
    fitted_.reset();
    return true;
}

void Background::Fit(int dpi, int width, int height) {
    if (source_.Empty()) return;
    if (dpi == dpi::kDefault) {
        width = source_.width;
        height = source_.height;
    }
    if (fitted_ && fittedSize_.cx == width && fittedSize_.cy == height) return;
    if (width <= 0 || height <= 0) return;

    picture::Image scaled;
    const picture::Image* shown = &source_;
    if (width != source_.width || height != source_.height) {
        scaled = picture::Scale(source_, width, height);
        if (scaled.Empty()) return;
        shown = &scaled;
    }
    void* bits = nullptr;
    UniqueBitmap bitmap = TopDownBitmap(width, height, &bits);
    if (!bitmap || bits == nullptr) return;
    std::memcpy(bits, shown->pixels.data(), shown->pixels.size());
    fitted_ = std::move(bitmap);
    fittedSize_ = {width, height};
}

void Background::PaintPart(HDC dc, const RECT& area, POINT from) const {
    if (!fitted_) {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    UniqueDc memory(CreateCompatibleDC(dc));
    Selection select(memory.get(), fitted_.get());
    BitBlt(dc, area.left, area.top, std::min<LONG>(area.right - area.left, fittedSize_.cx - from.x),
           std::min<LONG>(area.bottom - area.top, fittedSize_.cy - from.y), memory.get(), from.x,
           from.y, SRCCOPY);
}

}  // namespace quendral
