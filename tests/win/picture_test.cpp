// The picture's decoder against the Windows Imaging Component, which decoded it before:
// the same pixels, give or take the few levels by which JPEG decoders legitimately
// differ (rounding in the inverse transform, colour conversion and chroma upsampling).
// And the picture on the screen, as Quendral's window shows it.
#include <doctest/doctest.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "support/handles.h"
#include "ui/picture.h"
#include "win/shown_picture.h"

extern "C" HRESULT WINAPI WICCreateImagingFactory_Proxy(UINT sdkVersion,
                                                        IWICImagingFactory** factory);

using namespace quendral;
using namespace quendral::testing;
using Microsoft::WRL::ComPtr;

namespace {

// The largest difference allowed in any channel of any pixel (2 measured under Wine 8).
constexpr int kTolerance = 4;
// 32-bit BGRA rows, top-down, as the imaging component decodes and converts them.
picture::Image DecodeWithWic(std::vector<std::uint8_t>& jpeg) {
    picture::Image image;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(WICCreateImagingFactory_Proxy(WINCODEC_SDK_VERSION, factory.GetAddressOf())) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(jpeg.data(), static_cast<DWORD>(jpeg.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height))) {
        return image;
    }
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size()),
                                     image.pixels.data()))) {
        image.pixels.clear();
        return image;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return image;
}

}  // namespace

TEST_CASE(
    "picture::the background decodes as the imaging component decodes it, within a few levels") {
    std::vector<std::uint8_t> jpeg = BackgroundResource();
    REQUIRE(jpeg.size() > 1000);
    const picture::Image ours = picture::DecodeJpeg(jpeg.data(), jpeg.size());
    const picture::Image theirs = DecodeWithWic(jpeg);
    REQUIRE_FALSE(theirs.Empty());
    REQUIRE(ours.width == theirs.width);
    REQUIRE(ours.height == theirs.height);
    REQUIRE(ours.pixels.size() == theirs.pixels.size());

    int largest = 0;
    std::size_t differing = 0;
    bool opaque = true;
    for (std::size_t i = 0; i < ours.pixels.size(); i += 4) {
        bool differs = false;
        for (std::size_t c = 0; c < 3; ++c) {
            const int difference = std::abs(ours.pixels[i + c] - theirs.pixels[i + c]);
            largest = std::max(largest, difference);
            differs = differs || difference != 0;
        }
        if (differs) ++differing;
        opaque = opaque && ours.pixels[i + 3] == 255;
    }
    CHECK(opaque);
    MESSAGE("largest difference in a channel: " << largest << " levels; pixels that differ: "
                                                << differing << " of " << ours.pixels.size() / 4);
    CHECK(largest <= kTolerance);
}

namespace {

// Quendral's window shown, its client area, and the picture as the window must show it.
struct ShownWindow {
    QuendralApp app;
    RECT client{};
    picture::Image picture;

    ShownWindow() {
        SetWindowPos(app.Form(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
        GetClientRect(app.Form(), &client);
        picture = PictureAsShown({client.right, client.bottom});
        REQUIRE(picture.width >= client.right);
    }
    // The screen's rows of the client area from top on, shot until painted() holds of them.
    bool ShootUntil(const Canvas& shot, int top, int height,
                    const std::function<bool()>& painted) const {
        POINT origin{0, top};
        ClientToScreen(app.Form(), &origin);
        return testing::ShootUntil(shot, origin, {client.right, height}, painted);
    }
    bool Shows(const Canvas& shot, int x, int y, int clientY) const {
        return SameAsPicture(shot, client.right, x, y, picture, x, clientY);
    }
};

}  // namespace

TEST_CASE("picture::the window shows the decoded picture, pixel for pixel, above the controls") {
    ShownWindow window;
    // The title band, from the top of the client area down to just above the list.
    const int width = window.client.right;
    const int height = 100;
    const Canvas shot(width, height);
    std::size_t differing = 0;
    window.ShootUntil(shot, 0, height, [&] {
        differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) differing += !window.Shows(shot, x, y, y);
        }
        return differing == 0;
    });
    CHECK(differing == 0);
    CHECK(window.app.Close());
}

TEST_CASE("picture::the window's status is drawn on the strip's own picture, below the controls") {
    ShownWindow window;
    QuendralApp& app = window.app;
    const RECT client = window.client;
    const auto placeOf = [&](HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, app.Form(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    };
    const RECT status = placeOf(app.Status());
    // Inside the client area, below every control.
    CHECK(status.left >= 0);
    CHECK(status.right <= client.right);
    CHECK(status.bottom <= client.bottom);
    int controlsEnd = 0;
    for (HWND control : {app.List(), app.Input(), app.Ok(), app.Add(), app.Clear()}) {
        controlsEnd = std::max<int>(controlsEnd, placeOf(control).bottom);
    }
    CHECK(status.top > controlsEnd);

    // From below the controls to the bottom, the screen as the client area shows it.
    const int width = client.right;
    const int height = client.bottom - controlsEnd;
    const Canvas shot(width, height);
    const auto differs = [&](int x, int y) { return !window.Shows(shot, x, y, y + controlsEnd); };
    const auto luminance = [](const std::uint8_t* bgr) { return bgr[0] + bgr[1] * 5 + bgr[2] * 2; };
    int outside = 0, text = 0, lighter = 0, onEdge = 0, inside = 0;
    const auto count = [&] {
        outside = text = lighter = onEdge = inside = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int clientY = y + controlsEnd;
                const bool inStatus = x >= status.left && x < status.right &&
                                      clientY >= status.top && clientY < status.bottom;
                if (!inStatus) {
                    outside += differs(x, y);
                    continue;
                }
                ++inside;
                if (!differs(x, y)) continue;
                ++text;
                onEdge += clientY == status.top || clientY == status.bottom - 1;
                const std::uint8_t* shown =
                    shot.Bytes() + (static_cast<std::size_t>(y) * width + x) * 4;
                const std::uint8_t* own =
                    window.picture.pixels.data() +
                    (static_cast<std::size_t>(clientY) * window.picture.width + x) * 4;
                lighter += luminance(shown) > luminance(own);
            }
        }
        return outside == 0 && text > 100;  // the picture painted and the strip's text on it
    };
    window.ShootUntil(shot, controlsEnd, height, count);
    MESSAGE("status " << Narrow(WindowText(app.Status())) << ": " << text << " of " << inside
                      << " pixels drawn over the picture");
    CHECK(outside == 0);       // the rest of the strip is the picture's own
    CHECK(text > 100);         // the text is there...
    CHECK(text < inside / 4);  // ...on the strip's picture, not on a fill
    CHECK(lighter == 0);       // in a colour darker than the strip, so it reads
    CHECK(onEdge == 0);        // whole, not cut at the strip's top or bottom
    CHECK(app.Close());
}
