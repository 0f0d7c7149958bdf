// The stand-in messenger: a window of the messenger's class that shows every
// WM_COPYDATA record it is sent and can log each one to a file.
//
//   messenger.exe [--log FILE] [--hang] [--answer-after MS] [--raise] [--close-on-record]
//                 [--title TEXT] [--beside] [--message-only]
//                 [--click-ok-on-record] [--help]
//
// What each option does is in its table (options.cpp), which --help shows. An unknown
// option or a missing value is refused with the usage and exit code 2. A Windows program
// has no console of its own: the usage goes to the standard error where there is one
// (a terminal, a pipe, Wine started from a shell), else into a message box.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/guarded.h"
#include "support/handles.h"
#include "support/identities.h"
#include "support/window_text.h"
#include "tools/messenger/options.h"
#include "tools/messenger/payload.h"

namespace {

using namespace quendral;
using namespace quendral::messenger;
using FileHandle = Unique<HANDLE, &CloseHandle>;

constexpr wchar_t kCaption[] = L"Stand-in messenger";
constexpr int kWidth = 520;
constexpr int kHeight = 360;
constexpr std::size_t kHistoryLimit = 50;
constexpr int kMargin = 10;
constexpr int kGap = 6;
constexpr UINT_PTR kBesideTimerId = 1;
constexpr UINT kBesideEveryMs = 200;
constexpr int kBesideSettledTicks = 5;  // a second in the same place

enum ControlId : int {
    kNowPlayingId = 100,
    kHistoryLabelId,
    kHistoryId,
    kDetailLabelId,
    kDetailId
};

static_assert(sizeof(wchar_t) == sizeof(char16_t));  // UTF-16 crosses to the wide API as it is

std::wstring Wide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// The arguments after the program's name, as the system splits the command line.
std::vector<std::u16string> Arguments() {
    std::vector<std::u16string> arguments;
    int count = 0;
    const quendral::Unique<LPWSTR*, &LocalFree> args(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; args && i < count; ++i) {
        const std::wstring_view arg = args.get()[i];
        arguments.emplace_back(arg.begin(), arg.end());
    }
    return arguments;
}

// Shows text where the person who started the program will see it: on the standard
// error if there is one that takes it, else in a message box.
void Tell(std::u16string_view text, bool isError) {
    const std::wstring wide = Wide(text);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
            return;
        }
        const std::string utf8 = quendral::Utf8(text);
        if (!utf8.empty() &&
            WriteFile(error, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr)) {
            return;
        }
    }
    MessageBoxW(nullptr, wide.c_str(), kCaption, isError ? MB_ICONERROR : MB_ICONINFORMATION);
}

// What the history keeps of a record: its details, of bounded size, never the record
// itself (the list box holds its line).
struct Entry {
    ClockTime time;
    std::u16string detail;
};

class MessengerWindow {
public:
    MessengerWindow(Options options, FileHandle log)
        : options_(std::move(options)), log_(std::move(log)) {}
    MessengerWindow(const MessengerWindow&) = delete;
    MessengerWindow& operator=(const MessengerWindow&) = delete;

    bool Create(HINSTANCE instance);
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    void Layout(int width, int height);
    LRESULT Receive(const COPYDATASTRUCT* copy);
    void Add(const ClockTime& time, const Record& record);
    void ShowDetail(std::size_t index);
    void StandBesideQuendral();

    Options options_;
    FileHandle log_;
    UniqueFont messageFont_;
    UniqueFont bigFont_;
    int lineHeight_ = 16;
    int bigLineHeight_ = 28;
    HWND window_ = nullptr;
    HWND nowPlaying_ = nullptr;
    HWND historyLabel_ = nullptr;
    HWND history_ = nullptr;
    HWND detailLabel_ = nullptr;
    HWND detail_ = nullptr;
    std::deque<Entry> entries_;  // newest first, like the list box
    bool closed_ = false;        // --close-on-record has closed the window
    bool clicked_ = false;       // --click-ok-on-record has pressed "Ok"
    RECT quendralSeenAt_{};      // --beside: where Quendral's window was at the last look
    int quendralStillFor_ = 0;   // --beside: looks in a row that found it there
};

bool MessengerWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MessengerWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));      // IDI_INFORMATION
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = quendral::kMessengerClassW;
    if (RegisterClassExW(&windowClass) == 0) return false;

    std::wstring caption = kCaption;
    if (!options_.title.empty()) caption += L" - " + Wide(options_.title);
    if (options_.messageOnly) caption += L" (message-only)";
    CreateWindowExW(0, quendral::kMessengerClassW, caption.c_str(), WS_OVERLAPPEDWINDOW,
                    CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight,
                    options_.messageOnly ? HWND_MESSAGE : nullptr, nullptr, instance, this);
    if (window_ == nullptr) return false;
    if (options_.messageOnly) return true;  // never shown
    // Shown without taking the focus from the program that is being tested.
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    if (options_.beside) {
        StandBesideQuendral();
        SetTimer(window_, kBesideTimerId, kBesideEveryMs, nullptr);
    }
    return true;
}

LRESULT CALLBACK MessengerWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MessengerWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MessengerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // The sender counts on TRUE, whatever went wrong here.
    return quendral::Guarded([&] { return self->Handle(message, wParam, lParam); },
                             [&] { return LRESULT{message == WM_COPYDATA ? TRUE : 0}; });
}

LRESULT MessengerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            Layout(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{320, 220};
            return 0;
        }
        case WM_COPYDATA:
            return Receive(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_TIMER:
            if (wParam == kBesideTimerId) StandBesideQuendral();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kHistoryId && HIWORD(wParam) == LBN_SELCHANGE) {
                const LRESULT selected = SendMessageW(history_, LB_GETCURSEL, 0, 0);
                if (selected >= 0) ShowDetail(static_cast<std::size_t>(selected));
            }
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const auto control = reinterpret_cast<HWND>(lParam);
            // The read-only details keep the look of a text box.
            const int background = control == detail_ ? COLOR_WINDOW : COLOR_BTNFACE;
            SetBkColor(dc, GetSysColor(background));
            SetTextColor(dc,
                         control == nowPlaying_ ? RGB(0, 70, 140) : GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MessengerWindow::CreateControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW big = metrics.lfMessageFont;
    messageFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    big.lfHeight = big.lfHeight * 8 / 5;
    big.lfWeight = FW_BOLD;
    bigFont_.reset(CreateFontIndirectW(&big));

    if (const quendral::WindowDc dc(window_); dc.get() != nullptr) {
        TEXTMETRICW text{};
        Selection messageSelected(dc.get(), messageFont_.get());
        if (GetTextMetricsW(dc.get(), &text)) lineHeight_ = text.tmHeight;
        Selection bigSelected(dc.get(), bigFont_.get());
        if (GetTextMetricsW(dc.get(), &text)) bigLineHeight_ = text.tmHeight + kGap;
    }

    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    const auto child = [&](DWORD exStyle, const wchar_t* className, const wchar_t* text,
                           DWORD style, int id, HFONT font) {
        const HWND control = CreateWindowExW(
            exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return control;
    };
    nowPlaying_ =
        child(0, L"STATIC", L"Waiting for a now-playing record\u2026",
              SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, kNowPlayingId, bigFont_.get());
    historyLabel_ = child(0, L"STATIC", L"History (newest first)", SS_LEFT | SS_NOPREFIX,
                          kHistoryLabelId, messageFont_.get());
    history_ = child(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                     WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kHistoryId,
                     messageFont_.get());
    detailLabel_ =
        child(0, L"STATIC", L"Record", SS_LEFT | SS_NOPREFIX, kDetailLabelId, messageFont_.get());

    std::wstring waiting = L"No record yet.\r\nWindow class: ";
    waiting += quendral::kMessengerClassW;
    waiting += L"\r\nLog: " + (options_.logPath.empty() ? L"none" : Wide(options_.logPath));
    if (options_.hang) waiting += L"\r\n--hang: logs the first record, then never answers again.";
    if (options_.answerAfterMs > 0) {
        waiting += L"\r\n--answer-after: answers each record after " +
                   std::to_wstring(options_.answerAfterMs) + L" ms.";
    }
    if (options_.raise) waiting += L"\r\n--raise: moves to the top on each record.";
    if (options_.closeOnRecord) waiting += L"\r\n--close-on-record: closes on the first record.";
    if (options_.clickOkOnRecord) {
        waiting += L"\r\n--click-ok-on-record: presses Quendral's Ok inside the first record.";
    }
    detail_ = child(WS_EX_CLIENTEDGE, L"EDIT", waiting.c_str(),
                    WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    kDetailId, messageFont_.get());
}

void MessengerWindow::Layout(int width, int height) {
    const int inner = width - 2 * kMargin;
    const int listWidth = (inner - kMargin) * 11 / 20;
    const int detailX = kMargin + listWidth + kMargin;
    const int labelY = kMargin + bigLineHeight_;
    const int boxY = labelY + lineHeight_ + 2;
    const int boxHeight = height - boxY - kMargin;

    MoveWindow(nowPlaying_, kMargin, kMargin, inner, bigLineHeight_, TRUE);
    MoveWindow(historyLabel_, kMargin, labelY, listWidth, lineHeight_, TRUE);
    MoveWindow(history_, kMargin, boxY, listWidth, boxHeight, TRUE);
    MoveWindow(detailLabel_, detailX, labelY, width - kMargin - detailX, lineHeight_, TRUE);
    MoveWindow(detail_, detailX, boxY, width - kMargin - detailX, boxHeight, TRUE);
}

LRESULT MessengerWindow::Receive(const COPYDATASTRUCT* copy) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const ClockTime time{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    const std::uint64_t data = copy != nullptr ? copy->dwData : 0;
    const void* bytes = copy != nullptr ? copy->lpData : nullptr;
    const std::size_t size = bytes != nullptr ? copy->cbData : 0;

    // The log comes first, so a test sees the record even if what follows goes wrong. One
    // WriteFile per line and no buffer of ours: a reader sees the line at once, and lines
    // of several copies never interleave.
    if (log_) {
        const std::string line =
            LogLine(time, data, std::span(static_cast<const std::uint8_t*>(bytes), size));
        DWORD written = 0;
        WriteFile(log_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    if (closed_) return TRUE;
    if (options_.hang) {
        for (;;) Sleep(1000);
    }
    if (options_.closeOnRecord) {
        // Gone while its sender still waits on the record.
        closed_ = true;
        DestroyWindow(window_);
        return TRUE;
    }
    if (options_.raise) {
        SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    const Record record = ParseRecord(data, bytes, size);  // a copy: lpData dies with the reply
    if (options_.clickOkOnRecord && !clicked_) {
        // While the record's sender still waits on it; records that come meanwhile are
        // taken as usual, without a click of their own.
        clicked_ = true;
        const HWND form = FindWindowW(quendral::kFormClass, quendral::kFormCaption);
        const HWND ok =
            form != nullptr ? FindWindowExW(form, nullptr, L"Button", captions::kOk) : nullptr;
        if (ok != nullptr) SendMessageW(ok, BM_CLICK, 0, 0);
    }
    // A slow window keeps its sender waiting and leaves its queue alone meanwhile, so records
    // sent in the time wait their turn. Between records it is back in GetMessage, and the
    // system counts a window as hung only after 5 s away from it.
    if (options_.answerAfterMs > 0) Sleep(options_.answerAfterMs);
    // The sender waits only for the record to be taken, not for the display.
    ReplyMessage(TRUE);
    Add(time, record);
    return TRUE;
}

void MessengerWindow::StandBesideQuendral() {
    const HWND found = FindWindowW(quendral::kFormClass, quendral::kFormCaption);
    RECT form{};
    if (found == nullptr || !IsWindowVisible(found) || !GetWindowRect(found, &form)) {
        return;
    }
    quendralStillFor_ = EqualRect(&form, &quendralSeenAt_) ? quendralStillFor_ + 1 : 0;
    quendralSeenAt_ = form;
    if (quendralStillFor_ >= kBesideSettledTicks) {
        KillTimer(window_, kBesideTimerId);
        return;
    }

    RECT mine{};
    GetWindowRect(window_, &mine);
    const int width = mine.right - mine.left;
    const int height = mine.bottom - mine.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(found, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int x = form.right + kGap;
    if (x + width > work.right && form.left - kGap - width >= work.left) {
        x = form.left - kGap - width;
    }
    const int y = std::max(work.top, std::min(form.top, work.bottom - height));
    if (x != mine.left || y != mine.top) {
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MessengerWindow::Add(const ClockTime& time, const Record& record) {
    const std::u16string line = DisplayLine(record);
    const std::wstring shown = line.empty() ? L"(empty line)" : Wide(line);
    SetWindowTextW(nowPlaying_, shown.c_str());

    const std::wstring item = Wide(FormatClock(time).substr(0, 8)) + L"  " + shown;
    const LRESULT selected = SendMessageW(history_, LB_GETCURSEL, 0, 0);
    entries_.push_front(Entry{time, DetailText(record)});
    SendMessageW(history_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (entries_.size() > kHistoryLimit) {
        entries_.pop_back();
        SendMessageW(history_, LB_DELETESTRING, kHistoryLimit, 0);
    }

    // Someone looking at an older record keeps it; otherwise the newest one is shown.
    const LRESULT kept = selected + 1;
    if (selected > 0 && static_cast<std::size_t>(kept) < entries_.size()) {
        SendMessageW(history_, LB_SETCURSEL, static_cast<WPARAM>(kept), 0);
    } else {
        SendMessageW(history_, LB_SETCURSEL, 0, 0);
        ShowDetail(0);
    }
}

void MessengerWindow::ShowDetail(std::size_t index) {
    if (index >= entries_.size()) return;
    const Entry& entry = entries_[index];
    const std::wstring text =
        L"Received " + Wide(FormatClock(entry.time)) + L"\r\n" + Wide(entry.detail);
    SetWindowTextW(detail_, text.c_str());
    SetWindowTextW(detailLabel_, index == 0 ? L"Record (latest)" : L"Record");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        ParsedOptions parsed = ParseOptions(Arguments());
        if (!parsed.error.empty()) {
            Tell(u"messenger.exe: " + parsed.error + u"\n\n" + Usage(), true);
            return 2;
        }
        if (parsed.help) {
            Tell(Usage(), false);
            return 0;
        }
        Options& options = parsed.options;
        FileHandle log;
        if (!options.logPath.empty()) {
            // Every write lands at the end of the file, even with several copies sharing it.
            const HANDLE file = CreateFileW(Wide(options.logPath).c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return 2;
            log.reset(file);
        }
        MessengerWindow messenger(std::move(options), std::move(log));
        if (!messenger.Create(instance)) return 1;

        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (IsDialogMessageW(messenger.Window(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return static_cast<int>(message.wParam);
    } catch (...) {
        return 3;
    }
}
