// A short scripted session through the real window, for machines with no display of
// their own: starts a stand-in messenger and Quendral, types three entries, presses
// "<" (pace 1) and "Ok", waits for three announcements, prints what the messenger
// received and saves one picture of the two windows side by side: Quendral's list, and
// the messenger showing the line it has just been sent.
//
//   session.exe SCREENSHOT.bmp
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "support/handles.h"
#include "support/window_text.h"
#include "tools/messenger/payload.h"

namespace {

using namespace quendral::testing;
using quendral::Selection;
using quendral::UniqueBitmap;
using quendral::UniqueDc;
using quendral::WindowDc;

using UniqueFile = quendral::Unique<HANDLE, &CloseHandle>;

// Copies the windows as the screen shows them into a 24-bit BMP file of the smallest
// rectangle that holds them all; whatever is not a window is white.
bool SaveWindowsPicture(std::initializer_list<HWND> windows, const std::wstring& path) {
    RECT frame{}, each{};
    for (HWND window : windows) {
        GetWindowRect(window, &each);
        UnionRect(&frame, &frame, &each);
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;

    WindowDc screen(nullptr);
    UniqueDc memory(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || bits == nullptr) return false;
    {
        Selection select(memory.get(), bitmap.get());
        const RECT all{0, 0, width, height};
        FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        for (HWND window : windows) {
            GetWindowRect(window, &each);
            BitBlt(memory.get(), each.left - frame.left, each.top - frame.top,
                   each.right - each.left, each.bottom - each.top, screen.get(), each.left,
                   each.top, SRCCOPY);
        }
        GdiFlush();
    }

    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    UniqueFile file(created == INVALID_HANDLE_VALUE ? nullptr : created);
    DWORD written = 0;
    return file && WriteFile(file.get(), &header, sizeof(header), &written, nullptr) &&
           WriteFile(file.get(), &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
           WriteFile(file.get(), bits, imageBytes, &written, nullptr);
}

int Run(const std::wstring& screenshot) {
    QuendralApp app;
    SetWindowPos(app.Form(), HWND_TOP, 20, 40, 0, 0, SWP_NOSIZE);
    RECT form{};
    GetWindowRect(app.Form(), &form);
    // The messenger stands beside Quendral by itself, as `make run` opens it on a
    // desktop; here it is made as tall as Quendral's window too, for a tidy picture.
    Messenger messenger(L"--beside");
    SetWindowPos(messenger.Window(), nullptr, 0, 0, 520, form.bottom - form.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const bool beside = WaitUntil(
        [&] {
            RECT shown{};
            GetWindowRect(messenger.Window(), &shown);
            return shown.left >= form.right && shown.top == form.top;
        },
        10000);

    for (auto entry :
         {u"Tarkan \u2013 \u015E\u0131mar\u0131k", u"Sezen Aksu \u2013 G\u00FCl\u00FCmse",
          u"Bar\u0131\u015F Man\u00E7o \u2013 Da\u011Flar Da\u011Flar"}) {
        app.AddEntry(entry);
    }
    app.Press(app.Shorter());
    app.Press(app.Ok());
    const bool arrived = messenger.WaitForRecords(3, 15000);

    std::printf("The stand-in messenger received:\n");
    for (const LoggedRecord& record : messenger.Records()) {
        const auto parsed = quendral::messenger::ParseRecord(record.dwData, record.bytes.data(),
                                                             record.bytes.size());
        std::printf("  %s\n", quendral::Utf8(quendral::messenger::DisplayLine(parsed)).c_str());
    }
    WaitUntil([] { return false; }, 300);  // the windows' last paints
    const bool saved = SaveWindowsPicture({app.Form(), messenger.Window()}, screenshot);
    app.Close();
    if (!arrived) std::printf("Fewer than three announcements arrived.\n");
    if (!beside) std::printf("The messenger did not stand beside Quendral's window.\n");
    if (!saved) std::printf("The picture could not be saved.\n");
    return arrived && beside && saved ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: session SCREENSHOT.bmp\n");
        return 2;
    }
    try {
        return Run(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "session: %s\n", error.what());
        return 1;
    }
}
