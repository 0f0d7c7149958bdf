#include "ui/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "rotation/pace.h"
#include "rotation/rotation.h"
#include "rotation/status.h"
#include "ui/accessible.h"
#include "ui/caption_font.h"
#include "ui/dpi.h"
#include "ui/resource.h"
#include "support/guarded.h"
#include "support/identities.h"

namespace quendral {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Posted to itself: the big icon, which nothing shows at start, loads once the window is up.
constexpr UINT kLoadBigIcon = WM_APP + 1;

// The window's outer size for the layout's client area at this DPI.
SIZE FrameSize(int dpi) {
    const RECT client{0, 0, layout::TwipsToPixels(layout::kClientWidth, dpi),
                      layout::TwipsToPixels(layout::kClientHeight, dpi)};
    const RECT frame = dpi::FrameFor(client, kStyle, kExStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT CreateFontOrNull(const std::optional<LOGFONTW>& font) {
    return font ? CreateFontIndirectW(&*font) : nullptr;
}

HFONT PaceFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = 162;  // Turkish
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

HICON LoadIconAt(HINSTANCE instance, int size) {
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUENDRAL), IMAGE_ICON, size, size, 0));
}

// The one window of the class (registered once) and its Form1, bound at Open's WM_NCCREATE:
// not through CREATESTRUCT or GWLP_USERDATA, which other programs can send or (Wine) set.
struct Binding {
    Form1* opening = nullptr;  // during Open's CreateWindowEx only
    HWND window = nullptr;
    Form1* form = nullptr;
    bool closing = false;  // the window's own DestroyWindow has begun
};
Binding binding;

}  // namespace

bool Form1::Open(Form1& form, HINSTANCE instance, int showCommand) {
    form.instance_ = instance;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Form1::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kFormClass;
    if (!RegisterClassExW(&windowClass)) return false;

    // An owned window gets no taskbar button; the owner itself is never shown.
    form.owner_.reset(CreateWindowExW(0, WC_STATICW, kFormCaption, WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, instance, nullptr));
    if (!form.owner_) return false;

    const SIZE frame = FrameSize(dpi::System());
    binding.opening = &form;
    HWND window =
        CreateWindowExW(kExStyle, kFormClass, kFormCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.cx, frame.cy, form.owner_.get(), nullptr, instance, nullptr);
    binding.opening = nullptr;
    if (window == nullptr) return false;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

LRESULT CALLBACK Form1::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // Only the first, that of the window Open is making, binds; any later one, from
        // outside, changes nothing (DefWindowProc would take its caption).
        if (binding.opening == nullptr || binding.window != nullptr) return TRUE;
        binding.window = window;
        binding.form = std::exchange(binding.opening, nullptr);
        binding.form->window_.reset(window);
    }
    Form1* self = window == binding.window ? binding.form : nullptr;
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // A handler that fails leaves the message to the system.
    return Guarded([&] { return self->HandleMessage(message, wParam, lParam); },
                   [&] { return DefWindowProcW(window, message, wParam, lParam); });
}

// One line a message: what it carries, unpacked, to its handler, then the answer; a break
// leaves the message to DefWindowProc as well.
LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // clang-format off
    switch (message) {
        case WM_CREATE: return OnCreate() ? 0 : -1;
        case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case WM_ERASEBKGND: return 1;  // the picture covers the whole client area in WM_PAINT
        case WM_PAINT: OnPaint(); return 0;
        case WM_DRAWITEM: OnDrawItem(wParam, reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return 1;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam));
        case kLoadBigIcon: OnLoadBigIcon(); return 0;
        case WM_SETTINGCHANGE: OnSettingChange(wParam, lParam); break;
        case WM_SYSCOLORCHANGE: OnSysColorChange(wParam, lParam); break;
        case dpi::kDpiChangedMessage: OnDpiChanged(wParam, lParam); return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    }
    // clang-format on
    return DefWindowProcW(window_.get(), message, wParam, lParam);
}

bool Form1::OnCreate() {
    // Once, for the window being made: a later one, from outside, makes nothing.
    if (liste != nullptr) return true;
    // Each control is made at its place for the window's DPI, so ApplyDpi needn't move it.
    HWND window = window_.get();
    const int dpi = dpiOf_(window);
    for (std::size_t row = 0; row < controls::kCount; ++row) {
        const controls::Control& entry = controls::kControls[row];
        const layout::PixelRect place = layout::ToPixels(entry.place, dpi);
        controls_[row] = CreateWindowExW(
            entry.exStyle, entry.className, entry.caption, WS_CHILD | WS_VISIBLE | entry.style,
            place.left, place.top, place.width, place.height, window,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(entry.id)), instance_, nullptr);
        if (controls_[row] == nullptr) return false;
        accessible::Describe(controls_[row], entry.spoken);
    }
    placedDpi_ = dpi;
    highContrast_ = highContrastIsOn_();
    // No length limit: the edit control's own default is 30,000 characters.
    SendMessageW(ekle, EM_SETLIMITTEXT, 0, 0);
    seams_.emplace(liste, ekle, saniye, listFullNotice_, window, kTimer1Id);

    // A fixed frame: the system menu offers only Move and Close.
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
        DeleteMenu(systemMenu, command, MF_BYCOMMAND);
    }
    background_.Load(instance_, IDR_BACKGROUND);
    ApplyDpi(dpi);
    Form_Load();
    return true;
}

void Form1::ApplyDpi(int dpi) {
    ApplyFonts(dpi);
    PlaceControls(dpi);
    SizeFrame(dpi);
    FitPicture(dpi);
    SetIcons(dpi);
    InvalidateRect(window_.get(), nullptr, TRUE);
}

// The controls take the new fonts before the old ones are freed: a control never holds a
// deleted font.
void Form1::ApplyFonts(int dpi) {
    // In controls::Font's order.
    std::array<UniqueFont, controls::kFontCount> fonts{
        UniqueFont(CreateFontOrNull(caption_font::ForText(dpi))),
        UniqueFont(CreateFontOrNull(caption_font::ForCaptions(dpi))), UniqueFont(PaceFont(dpi))};
    for (std::size_t row = 0; row < controls::kCount; ++row) {
        const auto font = static_cast<std::size_t>(controls::kControls[row].font);
        SendMessageW(controls_[row], WM_SETFONT, reinterpret_cast<WPARAM>(fonts[font].get()), TRUE);
    }
    std::swap(fonts_, fonts);
}

void Form1::PlaceControls(int dpi) {
    if (dpi == placedDpi_) return;
    for (std::size_t row = 0; row < controls::kCount; ++row) {
        const layout::PixelRect place = layout::ToPixels(controls::kControls[row].place, dpi);
        SetWindowPos(controls_[row], nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    placedDpi_ = dpi;
}

// Open already made the frame this size for the system's DPI.
void Form1::SizeFrame(int dpi) {
    const SIZE frame = FrameSize(dpi);
    RECT now{};
    GetWindowRect(window_.get(), &now);
    if (now.right - now.left != frame.cx || now.bottom - now.top != frame.cy) {
        SetWindowPos(window_.get(), nullptr, 0, 0, frame.cx, frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void Form1::FitPicture(int dpi) {
    RECT client{};
    GetClientRect(window_.get(), &client);
    background_.Fit(dpi, client.right, client.bottom);
}

// The caption shows the small icon from the start; the big one can wait.
void Form1::SetIcons(int dpi) {
    SetIcon(smallIcon_, ICON_SMALL, dpi::Metric(SM_CXSMICON, dpi));
    PostMessageW(window_.get(), kLoadBigIcon, 0, 0);
}

void Form1::OnLoadBigIcon() {
    SetIcon(bigIcon_, ICON_BIG, dpi::Metric(SM_CXICON, dpiOf_(window_.get())));
}

// Loaded again only at a new size: under Wine each load of an icon keeps a little memory for
// good. The icon the window held until now goes only once it holds the new one.
void Form1::SetIcon(Icon& icon, WPARAM kind, int size) {
    if (icon.handle && icon.size == size) return;
    UniqueIcon loaded(LoadIconAt(instance_, size));
    SendMessageW(window_.get(), WM_SETICON, kind, reinterpret_cast<LPARAM>(loaded.get()));
    icon = {std::move(loaded), size};
}

// Like a dialog, the window gives the keyboard back to the control that had it.
void Form1::OnActivate(bool active) {
    HWND window = window_.get();
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) focus_ = focus;
        return;
    }
    SetFocus(focus_ != nullptr && IsChild(window, focus_) ? focus_ : liste);
}

// The DPI is always the window's own; the message may only say when to ask.
void Form1::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    const int dpi = dpiOf_(window);
    const RECT frame = dpi::FrameForNewDpi(window, wParam, lParam, dpi, FrameSize(dpi));
    RECT now{};
    GetWindowRect(window, &now);
    if (dpi == placedDpi_ && EqualRect(&frame, &now)) return;
    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(dpi);
}

// Only the settings the window took from the system: high contrast, and the message font
// and frame of the window metrics.
void Form1::OnSettingChange(WPARAM what, LPARAM lParam) {
    const auto* area = reinterpret_cast<const wchar_t*>(lParam);
    if (what == SPI_SETHIGHCONTRAST || what == SPI_SETNONCLIENTMETRICS ||
        (what == 0 && area != nullptr && lstrcmpW(area, L"WindowMetrics") == 0)) {
        OnSystemChange();
    }
}

// The common controls learn of new colours only from their parent.
void Form1::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    for (HWND control : controls_) SendMessageW(control, WM_SYSCOLORCHANGE, wParam, lParam);
    OnSystemChange();
}

// Fonts through the same fitting as at start, then colours and the high-contrast state,
// which the painting reads: everything the window took from the system's settings.
void Form1::OnSystemChange() {
    highContrast_ = highContrastIsOn_();
    // ApplyDpi's new fonts repaint the controls and the window.
    ApplyDpi(placedDpi_);
}

// A click, one line a button; Enter and Escape arrive as IDOK and IDCANCEL and do nothing.
void Form1::OnCommand(UINT id, UINT code) {
    if (code != BN_CLICKED || !seams_) return;
    // clang-format off
    switch (id) {
        case controls::kCommand1: Command1_Click(); break;
        case controls::kCommand2: Command2_Click(); break;
        case controls::kCommand3: Command3_Click(); break;
        case controls::kAz: az_Click(); break;
        case controls::kCok: cok_Click(); break;
        default: break;
    }
    // clang-format on
}

// Only Timer1 steps the rotation; a tick of another id, from outside, does nothing.
void Form1::OnTimer(UINT_PTR id) {
    if (id == kTimer1Id && seams_) Timer1_Timer();
}

void Form1::OnPaint() {
    PaintDc dc(window_.get());
    paint::Window(dc.get(), window_.get(), highContrast_, background_);
}

// Drawn only for one of the window's own owner-drawn controls, named by its handle and its
// id throughout, and only as asked with the structure that says so.
void Form1::OnDrawItem(UINT id, const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->CtlID != id ||
        static_cast<UINT>(GetDlgCtrlID(item->hwndItem)) != id) {
        return;
    }
    const auto row = std::find(controls_.begin(), controls_.end(), item->hwndItem);
    if (row == controls_.end()) return;
    const controls::Drawn drawn = controls::kControls[row - controls_.begin()].drawn;
    if (drawn == controls::Drawn::kStatusLine && item->CtlType == ODT_STATIC) {
        paint::Status(*item, window_.get(), highContrast_, background_,
                      FontOf(controls::Font::kText));
    } else if (drawn == controls::Drawn::kButton && item->CtlType == ODT_BUTTON) {
        paint::Button(*item, highContrast_, item->hwndItem == Command3,
                      FontOf(controls::Font::kCaption));
    }
}

LRESULT Form1::OnCtlColorStatic(HDC dc) {
    return reinterpret_cast<LRESULT>(paint::LabelColours(dc, highContrast_));
}

// Not the static's own WM_SETTEXT, which would paint inside the step: the text is stored,
// readers are told, and the strip is painted once the step is over.
void Form1::ShowStatus(const StepReport& report) {
    const std::u16string text = StatusText(report);
    if (WindowText(durum) == text) return;
    DefWindowProcW(durum, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, durum, OBJID_CLIENT, CHILDID_SELF);
    InvalidateRect(durum, nullptr, FALSE);
}

void Form1::OnClose() {
    binding.closing = true;
    DestroyWindow(window_.get());
}

// Only the window's own DestroyWindow sends it; one from outside ends nothing.
void Form1::OnDestroy() {
    if (!binding.closing) return;
    seams_.reset();  // the timer stops with it
    PostQuitMessage(0);
}

// As WM_DESTROY, real only when closing; then the window is already on its way out: the
// form lets go of it rather than destroy it again.
LRESULT Form1::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
    if (!binding.closing) return 0;
    HWND window = window_.release();
    binding = {};
    return DefWindowProcW(window, WM_NCDESTROY, wParam, lParam);
}

void Form1::Form_Load() {
    rotationIndex = 0;
}

void Form1::Command1_Click() {
    AddEntry(seams_->liste, seams_->ekle);
}

void Form1::Command2_Click() {
    ShowStatus(Start(seams_->saniye, seams_->Timer1, seams_->liste, rotationIndex, messenger_));
}

void Form1::Command3_Click() {
    ClearEntries(seams_->liste, seams_->ekle);
}

void Form1::az_Click() {
    Shorter(seams_->saniye, seams_->Timer1);
}

void Form1::cok_Click() {
    Longer(seams_->saniye, seams_->Timer1);
}

void Form1::Timer1_Timer() {
    ShowStatus(RotationStep(seams_->liste, rotationIndex, messenger_));
}

}  // namespace quendral
