// Quendral's one window: the entry list, the input box, the pace and the buttons that
// drive the rotation, over the background picture.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "announce/set_music_info.h"
#include "rotation/win32_seams.h"
#include "support/handles.h"
#include "ui/background.h"
#include "ui/controls.h"
#include "ui/dpi.h"
#include "ui/paint.h"

namespace quendral {

class Form1 {
public:
    // Opens the window (shown) owned by a hidden window, so it has no taskbar button.
    static bool Open(Form1& form, HINSTANCE instance, int showCommand);

    HWND Window() const { return window_.get(); }
    // The id of Timer1, the rotation's timer, on the window.
    static constexpr UINT_PTR kTimer1Id = 1;

    // Where the window learns whether the system is in high contrast, and its own DPI.
    explicit Form1(bool (*highContrastIsOn)() = &paint::SystemHighContrast,
                   int (*dpiOf)(HWND) = &dpi::OfWindow)
        : highContrastIsOn_(highContrastIsOn), dpiOf_(dpiOf) {}
    Form1(const Form1&) = delete;  // the control handles below refer into the object

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // One handler a message. Those of messages only the system should send check they are
    // real: another program can send or post any of them.
    bool OnCreate();
    void OnActivate(bool active);
    void OnCommand(UINT id, UINT code);
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void OnDrawItem(UINT id, const DRAWITEMSTRUCT* item);
    LRESULT OnCtlColorStatic(HDC dc);
    void OnLoadBigIcon();
    void OnSettingChange(WPARAM what, LPARAM lParam);
    void OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDestroy();
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    void OnSystemChange();

    // Fonts, control places, frame, picture and icon for a DPI, each a step of its own.
    void ApplyDpi(int dpi);
    void ApplyFonts(int dpi);
    void PlaceControls(int dpi);
    void SizeFrame(int dpi);
    void FitPicture(int dpi);
    void SetIcons(int dpi);
    struct Icon {  // a window icon and the size it was loaded at
        UniqueIcon handle;
        int size = 0;
    };
    void SetIcon(Icon& icon, WPARAM kind, int size);
    // Says what a step did; the strip is redrawn only when its text changes.
    void ShowStatus(const StepReport& report);

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void az_Click();
    void cok_Click();
    void Timer1_Timer();

    UniqueWindow owner_;
    UniqueWindow window_;
    HINSTANCE instance_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the keyboard when the window lost it
    int placedDpi_ = 0;     // the DPI the controls' places are for
    bool (*highContrastIsOn_)();
    int (*dpiOf_)(HWND);
    bool highContrast_ = false;

    // The controls, in the rows of controls::kControls, and by their names.
    std::array<HWND, controls::kCount> controls_{};
    HWND& Handle(controls::Id id) { return controls_[controls::RowOf(id)]; }
    HWND& liste = Handle(controls::kListe);
    HWND& ekle = Handle(controls::kEkle);
    HWND& saniye = Handle(controls::kSaniye);
    HWND& az = Handle(controls::kAz);
    HWND& cok = Handle(controls::kCok);
    HWND& Label1 = Handle(controls::kLabel1);
    HWND& Command2 = Handle(controls::kCommand2);
    HWND& Command1 = Handle(controls::kCommand1);
    HWND& Command3 = Handle(controls::kCommand3);
    HWND& durum = Handle(controls::kDurum);  // the status strip ("status")
    // The controls as the rotation reaches them, made once when the controls are.
    struct Seams {
        Seams(HWND listBox, HWND edit, HWND label, BalloonNotice& notice, HWND window,
              UINT_PTR timerId)
            : liste(listBox), ekle(edit, notice), saniye(label), Timer1(window, timerId) {}
        ListBoxEntries liste;
        EditInputBox ekle;
        WindowTextControl saniye;
        WindowTimer Timer1;
    };
    std::optional<Seams> seams_;
    MessengerAnnouncer messenger_;
    std::int16_t rotationIndex = 0;

    // By controls::Font: the text's, the captions', the pace's.
    std::array<UniqueFont, controls::kFontCount> fonts_;
    HFONT FontOf(controls::Font font) const { return fonts_[static_cast<int>(font)].get(); }
    Icon bigIcon_;
    Icon smallIcon_;
    Background background_;
    BalloonNotice listFullNotice_;
};

}  // namespace quendral
