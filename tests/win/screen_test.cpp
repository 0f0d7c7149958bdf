// What a person sees: every caption whole in its place at 96, 120 and 144 DPI in the
// font Quendral chooses, and the stand-in messenger beside Quendral's window, not under
// it. The captions are measured here, in this process, with the font Quendral would
// make at each DPI, and drawn into bitmaps as their controls draw them.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "harness/harness.h"
#include "harness/pe_image.h"
#include "harness/quendral_app.h"
#include "support/handles.h"
#include "ui/caption_font.h"
#include "win/shown_picture.h"

using namespace quendral;
using namespace quendral::testing;
using controls::Drawn;

namespace {

constexpr int kDpis[] = {96, 120, 144};

// How the control draws its text: a static control of style SS_LEFTNOWORDWRAP from its
// top-left corner, Quendral's buttons centred, the input box one line from the top.
UINT DrawTextFlags(Drawn drawn) {
    switch (drawn) {
        case Drawn::kLabel:
            return DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX;
        case Drawn::kButton:
            return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        case Drawn::kInputLine:
        case Drawn::kListItems:
        case Drawn::kStatusLine:
            break;
    }
    return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
}

// The pixels text inks when DrawText writes it into rect on a white canvas.
int InkOf(HFONT font, const wchar_t* text, SIZE canvas, RECT rect, UINT flags) {
    const Canvas drawn(canvas.cx, canvas.cy);
    REQUIRE(drawn.Bytes() != nullptr);
    Selection fontSelected(drawn.Dc(), font);
    const RECT all{0, 0, canvas.cx, canvas.cy};
    FillRect(drawn.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(drawn.Dc(), TRANSPARENT);
    SetTextColor(drawn.Dc(), RGB(0, 0, 0));
    DrawTextW(drawn.Dc(), text, -1, &rect, flags);
    GdiFlush();
    const auto* pixel = reinterpret_cast<const DWORD*>(drawn.Bytes());
    int ink = 0;
    for (int i = 0; i < canvas.cx * canvas.cy; ++i) ink += (pixel[i] & 0xFFFFFF) != 0xFFFFFF;
    return ink;
}

// The controls whose captions font is fitted to: the label and the five buttons for the
// captions' font, the input box for the text's.
std::vector<const controls::Control*> FittedTo(controls::Font font) {
    std::vector<const controls::Control*> fitted;
    for (const controls::Control& control : controls::kControls) {
        if (controls::FittedTo(control, font)) fitted.push_back(&control);
    }
    REQUIRE(fitted.size() == (font == controls::Font::kCaption ? 6u : 1u));
    return fitted;
}

// What keeps a caption from being whole in font at dpi, one line each: wider than its
// room, or losing ink to it (drawn in its room as its control draws it, it inks fewer
// pixels than drawn with room to spare all round). The input box is shown a line with
// accents and descenders.
std::string Problems(const LOGFONTW& font, int dpi, controls::Font fitted) {
    UniqueFont made(CreateFontIndirectW(&font));
    UniqueDc dc(CreateCompatibleDC(nullptr));
    Selection selected(dc.get(), made.get());
    std::string problems;
    for (const controls::Control* control : FittedTo(fitted)) {
        const bool line = control->drawn == Drawn::kInputLine;
        const wchar_t* text = line ? L"\u015E\u0130\u011Fjy|" : control->caption;
        const SIZE room = caption_font::RoomOf(*control, dpi);
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &extent);
        const UINT flags = DrawTextFlags(control->drawn);
        constexpr int kSpare = 32;
        const int inRoom = InkOf(made.get(), text, room, RECT{0, 0, room.cx, room.cy}, flags);
        const int free =
            InkOf(made.get(), text, SIZE{room.cx + 2 * kSpare, room.cy + 2 * kSpare},
                  RECT{kSpare, kSpare, kSpare + room.cx, kSpare + room.cy}, flags | DT_NOCLIP);
        const std::string where = std::to_string(dpi) + " DPI, height " +
                                  std::to_string(font.lfHeight) + ": \"" + Narrow(text) + "\" in " +
                                  std::to_string(room.cx) + "x" + std::to_string(room.cy);
        if (!line && extent.cx > room.cx) {
            problems += where + " is " + std::to_string(extent.cx) + " px wide\n";
        }
        if (inRoom != free) {
            problems += where + " shows " + std::to_string(inRoom) + " of its " +
                        std::to_string(free) + " inked pixels\n";
        }
    }
    return problems;
}

LOGFONTW FaceAt(const wchar_t* face, int points, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return font;
}

// The messenger's window to the right of Quendral's, tops level, overlapping nothing.
bool StandsBeside(HWND messenger, HWND form) {
    RECT left{}, right{}, overlap{};
    GetWindowRect(form, &left);
    GetWindowRect(messenger, &right);
    return right.left >= left.right && right.top == left.top &&
           !IntersectRect(&overlap, &left, &right);
}

// Quendral's whole window, frame and all, as the screen shows it once painted, with
// its place in it and its controls' places in its client area.
struct Shot {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    std::vector<RECT> controls;
};

Shot ShotOf(const std::wstring& program) {
    QuendralApp app(program);
    Shot shot;
    SetWindowPos(app.Form(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    RedrawWindow(app.Form(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT window{}, client{};
    GetWindowRect(app.Form(), &window);
    GetClientRect(app.Form(), &client);
    shot.width = window.right - window.left;
    shot.height = window.bottom - window.top;
    int band = client.bottom;  // the client area's rows above every control
    for (HWND child = GetWindow(app.Form(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(HWND_DESKTOP, app.Form(), reinterpret_cast<POINT*>(&place), 2);
        shot.controls.push_back(place);
        band = std::min<int>(band, place.top);
    }

    // Shot once the picture above the controls is on the screen: the repaint has reached it.
    const picture::Image picture = PictureAsShown({client.right, client.bottom});
    REQUIRE(picture.width >= client.right);
    POINT inShot{0, 0};
    ClientToScreen(app.Form(), &inShot);
    inShot = {inShot.x - window.left, inShot.y - window.top};
    const Canvas canvas(shot.width, shot.height);
    int differing = 0;
    ShootUntil(canvas, {window.left, window.top}, {shot.width, shot.height}, [&] {
        differing = 0;
        for (int y = 0; y < band; ++y) {
            for (int x = 0; x < client.right; ++x) {
                differing +=
                    !SameAsPicture(canvas, shot.width, inShot.x + x, inShot.y + y, picture, x, y);
            }
        }
        return differing == 0;
    });
    CHECK_MESSAGE(differing == 0, differing << " pixels above the controls aren't the picture's");
    const auto* pixel = reinterpret_cast<const DWORD*>(canvas.Bytes());
    shot.pixels.assign(pixel, pixel + shot.width * shot.height);
    CHECK(app.Close());
    return shot;
}

}  // namespace

TEST_CASE("screen::the build that takes the classic calls shows the same window, pixel for pixel") {
    // Quendral_classic.exe never looks up Windows 10's calls, as on XP, Vista, 7 and 8, so
    // its window is laid out with the system DPI and the classic metrics. At the same system
    // DPI it must show what Quendral.exe shows: frame, places, fonts, captions and picture.
    // Wine has every newer call, so only the file tells that it was built without them.
    const auto looksUpNewerCalls = [](const wchar_t* program) {
        const std::vector<std::uint8_t> bytes = FileBytes(BesideThisProgram(program));
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return text.find("GetDpiForWindow") != std::string_view::npos;
    };
    REQUIRE(looksUpNewerCalls(L"Quendral.exe"));
    REQUIRE_FALSE(looksUpNewerCalls(L"Quendral_classic.exe"));
    const Shot newer = ShotOf(BesideThisProgram(L"Quendral.exe"));
    const Shot classic = ShotOf(BesideThisProgram(L"Quendral_classic.exe"));
    INFO("at " << GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY) << " DPI");
    REQUIRE(classic.width == newer.width);
    REQUIRE(classic.height == newer.height);
    REQUIRE(classic.controls.size() == newer.controls.size());
    for (std::size_t i = 0; i < newer.controls.size(); ++i) {
        INFO("control " << i);
        CHECK(EqualRect(&classic.controls[i], &newer.controls[i]));
    }
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < newer.pixels.size(); ++i) {
        if ((classic.pixels[i] & 0xFFFFFF) != (newer.pixels[i] & 0xFFFFFF) && differing++ == 0) {
            first = i;
        }
    }
    CHECK_MESSAGE(differing == 0, differing << " pixels differ, the first at "
                                            << first % static_cast<std::size_t>(newer.width) << ","
                                            << first / static_cast<std::size_t>(newer.width));
}

TEST_CASE("screen::every caption and the input box's line are whole at 96, 120 and 144 DPI") {
    for (int dpi : kDpis) {
        const auto captions = caption_font::ForCaptions(dpi);
        const auto text = caption_font::ForText(dpi);
        REQUIRE(captions.has_value());
        REQUIRE(text.has_value());
        CHECK(captions->lfHeight < 0);  // a whole number of pixels for the letters
        const std::string problems = Problems(*captions, dpi, controls::Font::kCaption) +
                                     Problems(*text, dpi, controls::Font::kText);
        CHECK_MESSAGE(problems.empty(), problems);

        // A line fits the input box in the message font, so what people type keeps it.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                   static_cast<UINT>(dpi));
        CHECK(text->lfHeight == metrics.lfMessageFont.lfHeight);
    }
}

TEST_CASE("screen::a wider message font, like Windows' own, is fitted the same way") {
    // Tahoma 9 pt and DejaVu Sans 9 pt are both wider than Segoe UI 9 pt, Windows 10 and
    // 11's message font; a message font that already fits is kept as it is.
    for (int dpi : kDpis) {
        for (const LOGFONTW& base : {FaceAt(L"Tahoma", 9, dpi), FaceAt(L"DejaVu Sans", 9, dpi),
                                     FaceAt(L"Tahoma", 7, dpi)}) {
            const LOGFONTW fitted = caption_font::Fitted(base, dpi, controls::Font::kCaption);
            INFO("dpi " << dpi << ", height " << base.lfHeight);
            CHECK(std::wstring(fitted.lfFaceName) == base.lfFaceName);
            CHECK(fitted.lfHeight >= base.lfHeight);  // never larger than the message font
            const std::string problems = Problems(fitted, dpi, controls::Font::kCaption);
            CHECK_MESSAGE(problems.empty(), problems);
            if (fitted.lfHeight != base.lfHeight) {
                // The largest that fits: a pixel more and something no longer does.
                LOGFONTW larger = fitted;
                --larger.lfHeight;
                CHECK_FALSE(Problems(larger, dpi, controls::Font::kCaption).empty());
            }
        }
    }
}

TEST_CASE("screen::the stand-in messenger with --beside stands beside Quendral, not under it") {
    SUBCASE("started first, as make run starts it, it moves once Quendral's window shows") {
        Messenger messenger(L"--beside");
        QuendralApp app;
        CHECK(WaitUntil([&] { return StandsBeside(messenger.Window(), app.Form()); }, 20000));
    }
    SUBCASE("started after Quendral, it stands beside Quendral where Quendral is") {
        QuendralApp app;
        SetWindowPos(app.Form(), nullptr, 30, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Messenger messenger(L"--beside");
        CHECK(WaitUntil([&] { return StandsBeside(messenger.Window(), app.Form()); }, 20000));
    }
}
