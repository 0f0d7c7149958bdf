#include "win/shown_picture.h"

#include <algorithm>

#include "support/handles.h"

namespace quendral::testing {

namespace {

constexpr int kBackgroundId = 101;
constexpr DWORD kPaintBoundMs = 10000;

}  // namespace

std::vector<std::uint8_t> BackgroundResource() {
    std::vector<std::uint8_t> bytes;
    HMODULE image = LoadLibraryExW(BesideThisProgram(L"Quendral.exe").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) return bytes;
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(kBackgroundId), RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? LoadResource(image, found) : nullptr;
    const auto* start = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (start != nullptr) bytes.assign(start, start + SizeofResource(image, found));
    FreeLibrary(image);
    return bytes;
}

picture::Image PictureAsShown(SIZE client) {
    const std::vector<std::uint8_t> jpeg = BackgroundResource();
    const picture::Image own = picture::DecodeJpeg(jpeg.data(), jpeg.size());
    if (own.Empty()) return own;
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX);
    return dpi == 96 ? own : picture::Scale(own, client.cx, client.cy);
}

bool ShootUntil(const Canvas& shot, POINT origin, SIZE size, const std::function<bool()>& painted) {
    if (shot.Bytes() == nullptr) return false;
    return WaitUntil(
        [&] {
            BitBlt(shot.Dc(), 0, 0, size.cx, size.cy, WindowDc(nullptr).get(), origin.x, origin.y,
                   SRCCOPY);
            GdiFlush();
            return painted();
        },
        kPaintBoundMs);
}

bool SameAsPicture(const Canvas& shot, int width, int x, int y, const picture::Image& picture,
                   int px, int py) {
    const std::uint8_t* shown = shot.Bytes() + (static_cast<std::size_t>(y) * width + x) * 4;
    const std::uint8_t* own =
        picture.pixels.data() + (static_cast<std::size_t>(py) * picture.width + px) * 4;
    return std::equal(shown, shown + 3, own);
}

}  // namespace quendral::testing
