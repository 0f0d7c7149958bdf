// Quendral's window made in this process, for what only shows from inside. Wine can't
// switch high contrast on, so the window is given this test's answer to whether it is on,
// the system's colours are set (and put back afterwards), and what the window drew is
// read from its own surface. Whether its rotation timer is set is
// asked of the window, where from outside only a wait could suggest that it never ticks.
// The message font is changed for this process alone and put back; XP's answer to the
// classic metrics call is played by a stand-in for it.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/handles.h"
#include "harness/harness.h"
#include "support/identities.h"
#include "harness/quendral_app.h"
#include "ui/caption_font.h"
#include "ui/dpi.h"
#include "ui/form1.h"
#include "ui/picture.h"
#include "ui/resource.h"

using namespace quendral;
using namespace quendral::testing;

namespace {

// What the window hears when it asks whether the system is in high contrast, and its DPI
// (the system's answer while windowDpi is 0).
bool highContrastOn = false;
int windowDpi = 0;
int DpiOf(HWND window) {
    return windowDpi != 0 ? windowDpi : dpi::OfWindow(window);
}

// The one window a process can make (its class is registered once), shown at 96 DPI.
HWND TheForm() {
    static Form1 form([] { return highContrastOn; }, &DpiOf);
    static const bool opened = Form1::Open(form, GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    REQUIRE(opened);
    SetWindowPos(form.Window(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    return form.Window();
}

HWND Control(const wchar_t* className, const wchar_t* caption) {
    HWND control = FindWindowExW(TheForm(), nullptr, className, caption);
    REQUIRE(control != nullptr);
    return control;
}

// What the window shows of its client area, children included, once every pending
// paint is done; nothing is made to repaint that the window didn't ask for itself.
class Shot {
public:
    Shot() {
        HWND form = TheForm();
        RedrawWindow(form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client{};
        GetClientRect(form, &client);
        width_ = client.right;
        height_ = client.bottom;
        const Canvas canvas(width_, height_);
        REQUIRE(canvas.Bytes() != nullptr);
        BitBlt(canvas.Dc(), 0, 0, width_, height_, WindowDc(form).get(), 0, 0, SRCCOPY);
        GdiFlush();
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const std::uint8_t* bgra = canvas.Bytes() + i * 4;
            pixels_[i] = RGB(bgra[2], bgra[1], bgra[0]);
        }
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    bool operator==(const Shot& other) const { return pixels_ == other.pixels_; }

    // How many pixels of a control's rectangle (inset by inset) are of colour.
    int CountIn(HWND control, COLORREF colour, int inset = 0) const {
        const RECT place = PlaceOf(control);
        int count = 0;
        for (int y = place.top + inset; y < place.bottom - inset; ++y) {
            for (int x = place.left + inset; x < place.right - inset; ++x) {
                count += At(x, y) == colour;
            }
        }
        return count;
    }

    static RECT PlaceOf(HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, TheForm(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    static int AreaOf(HWND control, int inset = 0) {
        const RECT place = PlaceOf(control);
        return (place.right - place.left - 2 * inset) * (place.bottom - place.top - 2 * inset);
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<COLORREF> pixels_;
};

// The pixels outside every control for which shown(x, y) is false.
int OutsideControlsWhere(const Shot& shot, const auto& wrong) {
    std::vector<RECT> places;
    for (HWND child = GetWindow(TheForm(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        places.push_back(Shot::PlaceOf(child));
    }
    int count = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            bool inside = false;
            for (const RECT& place : places) inside = inside || PtInRect(&place, POINT{x, y});
            count += !inside && wrong(x, y);
        }
    }
    return count;
}

picture::Image ThePicture() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_BACKGROUND), RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    REQUIRE(bytes != nullptr);
    return picture::DecodeJpeg(bytes, SizeofResource(nullptr, found));
}

COLORREF PictureAt(const picture::Image& image, int x, int y) {
    const std::uint8_t* bgra =
        image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return RGB(bgra[2], bgra[1], bgra[0]);
}

// System colours set for a test and put back as they were when it ends.
class SystemColours {
public:
    SystemColours(std::initializer_list<std::pair<int, COLORREF>> colours) {
        for (auto [element, colour] : colours) {
            elements_.push_back(element);
            before_.push_back(GetSysColor(element));
            after_.push_back(colour);
        }
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), after_.data());
    }
    ~SystemColours() {
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), before_.data());
    }

private:
    std::vector<int> elements_;
    std::vector<COLORREF> before_, after_;
};

// Paints over the window and every control in magenta, leaving nothing to repaint: what
// shows afterwards was repainted because the window asked for it.
constexpr COLORREF kSmear = RGB(255, 0, 255);
void Smear() {
    RedrawWindow(TheForm(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<HWND> windows{TheForm()};
    for (HWND child = GetWindow(TheForm(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        windows.push_back(child);
    }
    for (HWND window : windows) {
        RECT client{};
        GetClientRect(window, &client);
        const WindowDc dc(window);
        SetDCBrushColor(dc.get(), kSmear);
        FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}

int Smeared(const Shot& shot) {
    int count = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) count += shot.At(x, y) == kSmear;
    }
    return count;
}

void Send(UINT message, WPARAM wParam = 0, const wchar_t* area = nullptr) {
    SendMessageW(TheForm(), message, wParam, reinterpret_cast<LPARAM>(area));
}

void SwitchHighContrast(bool on) {
    highContrastOn = on;
    Send(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
}

// The message font, changed for a test in this process alone (neither saved nor told to
// other windows), and put back as it was when the test ends.
class MessageFontSmaller {
public:
    explicit MessageFontSmaller(LONG pixels) {
        before_.cbSize = sizeof(before_);
        REQUIRE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(before_), &before_, 0));
        NONCLIENTMETRICSW changed = before_;
        changed.lfMessageFont.lfHeight = -(std::abs(before_.lfMessageFont.lfHeight) - pixels);
        REQUIRE(SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(changed), &changed, 0));
    }
    ~MessageFontSmaller() {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(before_), &before_, 0);
    }
    MessageFontSmaller(const MessageFontSmaller&) = delete;
    MessageFontSmaller& operator=(const MessageFontSmaller&) = delete;

private:
    NONCLIENTMETRICSW before_{};
};

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    const auto held = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    REQUIRE(GetObjectW(held, sizeof(font), &font) == sizeof(font));
    return font;
}

// Each control's font against the one fitted now: the captions' for the labels and
// buttons, the text's for the list, the input box and the status strip.
void CheckFontsFitted(int dpi) {
    const std::optional<LOGFONTW> caption = caption_font::ForCaptions(dpi);
    const std::optional<LOGFONTW> text = caption_font::ForText(dpi);
    REQUIRE(caption.has_value());
    REQUIRE(text.has_value());
    const auto check = [](HWND control, const LOGFONTW& expected) {
        const LOGFONTW held = FontOf(control);
        INFO("control " << GetDlgCtrlID(control));
        CHECK(held.lfHeight == expected.lfHeight);
        CHECK(std::wstring_view(held.lfFaceName) == std::wstring_view(expected.lfFaceName));
    };
    for (const wchar_t* label : {L"Second:"}) check(Control(L"Static", label), *caption);
    for (const wchar_t* button : {L"<", L">", L"Ok", L"Add", L"Clear"}) {
        check(Control(L"Button", button), *caption);
    }
    for (HWND control : {Control(L"ListBox", nullptr), Control(L"Edit", nullptr),
                         GetDlgItem(TheForm(), kStatusControlId)}) {
        check(control, *text);
    }
}

// The windows of this thread that a WM_SYSCOLORCHANGE reached while the counter lived, one
// entry per arrival.
class SysColorArrivals {
public:
    SysColorArrivals()
        : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &Heard, nullptr, GetCurrentThreadId())) {
        REQUIRE(hook_ != nullptr);
        Arrivals().clear();
    }
    ~SysColorArrivals() { UnhookWindowsHookEx(hook_); }
    SysColorArrivals(const SysColorArrivals&) = delete;
    SysColorArrivals& operator=(const SysColorArrivals&) = delete;
    static std::vector<HWND>& Arrivals() {
        static std::vector<HWND> arrivals;
        return arrivals;
    }

private:
    static LRESULT CALLBACK Heard(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->message == WM_SYSCOLORCHANGE) {
            Arrivals().push_back(sent->hwnd);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

// The window moved to a monitor of another DPI while the object lives, as Windows tells it
// with WM_DPICHANGED, and back when it goes.
class AtDpi {
public:
    explicit AtDpi(int dpi) { Change(dpi); }
    ~AtDpi() { Change(0); }
    AtDpi(const AtDpi&) = delete;
    AtDpi& operator=(const AtDpi&) = delete;

private:
    static void Change(int dpi) {
        windowDpi = dpi;
        const int now = DpiOf(TheForm());
        RECT suggested{};
        GetWindowRect(TheForm(), &suggested);
        SendMessageW(TheForm(), dpi::kDpiChangedMessage, MAKEWPARAM(now, now),
                     reinterpret_cast<LPARAM>(&suggested));
    }
};

// Handles every message already posted to this thread, waiting for none.
void HandlePosted() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The window's icon of a kind once what it posted itself is handled (the big one comes so).
HICON IconOf(WPARAM kind) {
    HandlePosted();
    return reinterpret_cast<HICON>(SendMessageW(TheForm(), WM_GETICON, kind, 0));
}

int WidthOf(HICON icon) {
    ICONINFO info{};
    REQUIRE(GetIconInfo(icon, &info));
    const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    REQUIRE(GetObjectW(colour ? colour.get() : mask.get(), sizeof(bitmap), &bitmap) ==
            sizeof(bitmap));
    return bitmap.bmWidth;
}

// SystemParametersInfoW as XP answers SPI_GETNONCLIENTMETRICS: only the size XP's
// structure has (500 bytes, without iPaddedBorderWidth) is taken, with a font of its own.
std::vector<UINT>& SizesAsked() {
    static std::vector<UINT> sizes;
    return sizes;
}
constexpr LONG kXpFontHeight = -13;
BOOL WINAPI AsXp(UINT action, UINT size, void* value, UINT) {
    SizesAsked().push_back(size);
    auto* metrics = static_cast<NONCLIENTMETRICSW*>(value);
    if (action != SPI_GETNONCLIENTMETRICS || size != 500 || metrics->cbSize != 500) return FALSE;
    metrics->lfMessageFont = LOGFONTW{};
    metrics->lfMessageFont.lfHeight = kXpFontHeight;
    lstrcpynW(metrics->lfMessageFont.lfFaceName, L"XP's own", LF_FACESIZE);
    return TRUE;
}
BOOL WINAPI AsVista(UINT action, UINT size, void* value, UINT winIni) {
    SizesAsked().push_back(size);
    return action == SPI_GETNONCLIENTMETRICS && size == 504 &&
           SystemParametersInfoW(action, 500, value, winIni);
}
BOOL WINAPI Refusing(UINT, UINT size, void*, UINT) {
    SizesAsked().push_back(size);
    return FALSE;
}

}  // namespace

TEST_CASE("high_contrast::off, the window is the picture with the labels and buttons as before") {
    REQUIRE(GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX) == 96);  // the picture's own size
    highContrastOn = false;
    const Shot shot;
    const picture::Image image = ThePicture();
    // Drawn from the client area's top-left corner, the picture covers it all.
    REQUIRE(image.width >= shot.Width());
    REQUIRE(image.height >= shot.Height());
    CHECK(OutsideControlsWhere(
              shot, [&](int x, int y) { return shot.At(x, y) != PictureAt(image, x, y); }) == 0);
    // The labels and "Clear" on the caption-text colour, the other buttons white.
    const COLORREF labelFace = GetSysColor(COLOR_CAPTIONTEXT);
    for (HWND control : {Control(L"Static", L"Second:"), Control(L"Static", nullptr),
                         Control(L"Button", L"Clear")}) {
        CHECK(shot.CountIn(control, labelFace, 2) > Shot::AreaOf(control, 2) / 2);
    }
    for (const wchar_t* caption : {L"Ok", L"Add", L"<", L">"}) {
        HWND button = Control(L"Button", caption);
        CHECK(shot.CountIn(button, RGB(255, 255, 255), 2) > Shot::AreaOf(button, 2) / 2);
    }
}

TEST_CASE(
    "high_contrast::on, the window has no picture, only system colours, and shows the focus") {
    // A scheme like Windows' own high-contrast ones, in colours found nowhere else here.
    const COLORREF window = RGB(0, 0, 0), face = RGB(0, 0, 96), text = RGB(255, 255, 0);
    const SystemColours scheme{{COLOR_WINDOW, window},
                               {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
                               {COLOR_BTNFACE, face},
                               {COLOR_BTNTEXT, text}};
    highContrastOn = false;
    const Shot before;
    SwitchHighContrast(true);
    HWND ok = Control(L"Button", L"Ok");
    SetForegroundWindow(TheForm());
    SetFocus(ok);
    const Shot shot;

    INFO("pixels of the picture left");
    CHECK(OutsideControlsWhere(shot, [&](int x, int y) { return shot.At(x, y) != window; }) == 0);
    HWND pace = FindWindowExW(TheForm(), nullptr, L"Static", nullptr);
    for (HWND control : {Control(L"Static", L"Second:"), pace, Control(L"Button", L"<"),
                         Control(L"Button", L">"), ok, Control(L"Button", L"Add"),
                         Control(L"Button", L"Clear"), GetDlgItem(TheForm(), kStatusControlId)}) {
        wchar_t caption[16]{};
        GetWindowTextW(control, caption, 16);
        INFO("caption " << Narrow(std::wstring_view(caption)));
        // Inside the buttons' edges: the face colour, with the caption in the text colour.
        CHECK(shot.CountIn(control, face, 3) > Shot::AreaOf(control, 3) / 2);
        CHECK(shot.CountIn(control, text, 0) > 0);
        CHECK(shot.CountIn(control, RGB(255, 255, 255), 3) == 0);
    }
    // The focused button's dotted rectangle, a pixel inside its edge, stands out of its face.
    const RECT place = Shot::PlaceOf(ok);
    int dotted = 0;
    for (int x = place.left + 3; x < place.right - 3; ++x)
        dotted += shot.At(x, place.top + 3) != face;
    CHECK(dotted >= (place.right - place.left - 6) / 3);

    // Off again, the window is as it was, to the pixel.
    SwitchHighContrast(false);
    SetFocus(Control(L"ListBox", nullptr));
    CHECK(Shot() == before);
}

TEST_CASE(
    "high_contrast::a change of colours and fonts while running is taken up, entries and pace "
    "kept") {
    highContrastOn = false;
    HWND list = Control(L"ListBox", nullptr);
    HWND input = Control(L"Edit", nullptr);
    HWND pace = FindWindowExW(TheForm(), nullptr, L"Static", nullptr);
    HWND label = Control(L"Static", L"Second:");
    HWND clear = Control(L"Button", L"Clear");
    SendMessageW(clear, BM_CLICK, 0, 0);
    for (const wchar_t* entry : {L"first", L"second"}) {
        SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entry));
        SendMessageW(Control(L"Button", L"Add"), BM_CLICK, 0, 0);
    }
    SendMessageW(Control(L"Button", L">"), BM_CLICK, 0, 0);
    const std::u16string paceBefore = WindowText(pace);

    const COLORREF changed = RGB(200, 30, 40);
    {
        const SystemColours colours{{COLOR_CAPTIONTEXT, changed}};
        Smear();
        REQUIRE(Smeared(Shot()) > 0);
        Send(WM_SYSCOLORCHANGE);
        const Shot shot;
        CHECK(Smeared(shot) == 0);
        for (HWND control : {label, pace, clear}) {
            CHECK(shot.CountIn(control, changed, 2) > Shot::AreaOf(control, 2) / 2);
        }
    }
    // The fonts are made again; every control holds one that exists, and all is repainted.
    for (const wchar_t* area : {L"WindowMetrics", static_cast<const wchar_t*>(nullptr)}) {
        Smear();
        if (area != nullptr) {
            Send(WM_SETTINGCHANGE, 0, area);
        } else {
            Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
        }
        CHECK(Smeared(Shot()) == 0);
        for (HWND control : {list, input, pace, label, clear}) {
            auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
            LOGFONTW described{};
            CHECK(GetObjectW(font, sizeof(described), &described) == sizeof(described));
        }
    }
    Send(WM_SYSCOLORCHANGE);
    const Shot restored;
    CHECK(restored.CountIn(label, GetSysColor(COLOR_CAPTIONTEXT), 2) > Shot::AreaOf(label, 2) / 2);
    CHECK(IsWindow(TheForm()));
    CHECK(SendMessageW(list, LB_GETCOUNT, 0, 0) == 2);
    CHECK(WindowText(pace) == paceBefore);
    CHECK(paceBefore == u"3");
}

TEST_CASE("dpi::the classic message font is asked with Vista's size, then with XP's") {
    SizesAsked().clear();
    const std::optional<LOGFONTW> xp = dpi::ClassicMessageFont(&AsXp);
    REQUIRE(xp.has_value());
    CHECK(xp->lfHeight == kXpFontHeight);
    CHECK(std::wstring_view(xp->lfFaceName) == L"XP's own");
    CHECK(SizesAsked() == std::vector<UINT>{504, 500});

    // A system that takes the longer structure is asked once.
    SizesAsked().clear();
    CHECK(dpi::ClassicMessageFont(&AsVista).has_value());
    CHECK(SizesAsked() == std::vector<UINT>{504});

    SizesAsked().clear();
    CHECK_FALSE(dpi::ClassicMessageFont(&Refusing).has_value());
    CHECK(SizesAsked() == std::vector<UINT>{504, 500});
}

TEST_CASE("form::a new message font is fitted again and taken by every control, and put back") {
    highContrastOn = false;
    const int dpi = dpi::OfWindow(TheForm());
    CheckFontsFitted(dpi);
    const LONG captionBefore = FontOf(Control(L"Button", L"Ok")).lfHeight;
    const LONG textBefore = FontOf(Control(L"ListBox", nullptr)).lfHeight;
    {
        // Two pixels smaller than the system's: above 6 pt, and every caption fits it.
        const MessageFontSmaller smaller(2);
        Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
        CheckFontsFitted(dpi);
        CHECK(FontOf(Control(L"Button", L"Ok")).lfHeight != captionBefore);
        CHECK(FontOf(Control(L"ListBox", nullptr)).lfHeight != textBefore);
    }
    Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
    CheckFontsFitted(dpi);
    CHECK(FontOf(Control(L"Button", L"Ok")).lfHeight == captionBefore);
    CHECK(FontOf(Control(L"ListBox", nullptr)).lfHeight == textBefore);
}

TEST_CASE("form::a change of the system's colours reaches each control once") {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(TheForm(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back(child);
    }
    REQUIRE(controls.size() == 10);
    std::vector<HWND> arrivals;
    {
        const SysColorArrivals counter;
        Send(WM_SYSCOLORCHANGE);
        arrivals = SysColorArrivals::Arrivals();
    }
    CHECK(std::count(arrivals.begin(), arrivals.end(), TheForm()) == 1);
    for (HWND control : controls) {
        INFO("control " << GetDlgCtrlID(control));
        CHECK(std::count(arrivals.begin(), arrivals.end(), control) == 1);
    }
    CHECK(arrivals.size() == controls.size() + 1);
}

TEST_CASE("form::the pace alone never sets the timer; pace 0 stops it and > brings it back") {
    // Asked without a wait: KillTimer says whether the timer was set, and stops it, so a
    // check that finds it set is followed by a press that sets it again.
    const auto timerIsSet = [] { return KillTimer(TheForm(), Form1::kTimer1Id) != FALSE; };
    const auto press = [](const wchar_t* caption) {
        SendMessageW(Control(L"Button", caption), BM_CLICK, 0, 0);
    };
    HWND pace = FindWindowExW(TheForm(), nullptr, L"Static", nullptr);
    press(L"Clear");  // an empty list: a step announces nothing to any messenger about
    const std::u16string paceBefore = WindowText(pace);
    for (int i = 0; i < 70 && WindowText(pace) != u"1"; ++i) press(L"<");
    REQUIRE(WindowText(pace) == u"1");
    CHECK_FALSE(timerIsSet());
    press(L">");
    CHECK_FALSE(timerIsSet());
    press(L"<");

    press(L"Ok");  // at 1 s
    CHECK(timerIsSet());
    press(L"Ok");
    press(L"<");  // 0: stopped, though the timer stays switched on
    CHECK_FALSE(timerIsSet());
    press(L">");  // 1 again: running with no "Ok"
    CHECK(timerIsSet());

    for (int i = 0; i < 70 && WindowText(pace) != paceBefore; ++i) press(L">");
    KillTimer(TheForm(), Form1::kTimer1Id);
}

TEST_CASE("form::the icons are loaded again for a new DPI, never for a change of settings") {
    // Under Wine each load of an icon keeps a little memory for good.
    highContrastOn = false;
    const HICON small = IconOf(ICON_SMALL);
    const HICON big = IconOf(ICON_BIG);
    REQUIRE(small != nullptr);
    REQUIRE(big != nullptr);
    CHECK(WidthOf(small) == GetSystemMetrics(SM_CXSMICON));
    CHECK(WidthOf(big) == GetSystemMetrics(SM_CXICON));

    Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
    Send(WM_SETTINGCHANGE, 0, L"WindowMetrics");
    Send(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
    Send(WM_SYSCOLORCHANGE);
    CHECK(IconOf(ICON_SMALL) == small);
    CHECK(IconOf(ICON_BIG) == big);

    // At 144 DPI the icons are half as large again as at the system's 96.
    const AtDpi at144(144);
    const HICON newSmall = IconOf(ICON_SMALL);
    const HICON newBig = IconOf(ICON_BIG);
    CHECK(newSmall != small);
    CHECK(newBig != big);
    CHECK(WidthOf(newSmall) == GetSystemMetrics(SM_CXSMICON) * 3 / 2);
    CHECK(WidthOf(newBig) == GetSystemMetrics(SM_CXICON) * 3 / 2);
}
