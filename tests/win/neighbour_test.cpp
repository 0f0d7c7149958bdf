// What any other program on the same desktop can do to Quendral.exe: leave a DLL beside it
// for it to load, or send and post it messages only the system should send. Neither may
// run foreign code in it or take its entries down.
#include <doctest/doctest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "rotation/win32_seams.h"
#include "support/identities.h"
#include "win/screen_reader.h"

using namespace quendral::testing;

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder of the test's own, like a Downloads folder, emptied and removed at the end.
class Folder {
public:
    Folder() : path_(FreshTempPath(L"downloads")) {
        REQUIRE(CreateDirectoryW(path_.c_str(), nullptr));
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder() {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                    DeleteFileW(File(found.cFileName).c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Wine's per-program setting that makes Quendral.exe take oleacc.dll from its own folder
// first, as Windows does for any DLL it doesn't keep to the system folder. Wine reads it
// at each load, so it stays until the object goes; the keys it made go then too.
class SearchOwnFolderFirst {
public:
    SearchOwnFolderFirst() {
        for (const wchar_t* key : kKeys) {
            HKEY opened = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
                RegCloseKey(opened);
            } else {
                made_[made_count_++] = key;
            }
        }
        REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, kKeys[2], 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key_, nullptr) == ERROR_SUCCESS);
        static const wchar_t kValue[] = L"native,builtin";
        REQUIRE(RegSetValueExW(key_, L"oleacc", 0, REG_SZ, reinterpret_cast<const BYTE*>(kValue),
                               sizeof(kValue)) == ERROR_SUCCESS);
    }
    SearchOwnFolderFirst(const SearchOwnFolderFirst&) = delete;
    SearchOwnFolderFirst& operator=(const SearchOwnFolderFirst&) = delete;
    ~SearchOwnFolderFirst() {
        if (key_ != nullptr) {
            RegDeleteValueW(key_, L"oleacc");
            RegCloseKey(key_);
        }
        // Deepest first.
        while (made_count_ > 0) RegDeleteKeyW(HKEY_CURRENT_USER, made_[--made_count_]);
    }

private:
    static constexpr const wchar_t* kKeys[] = {
        L"Software\\Wine\\AppDefaults", L"Software\\Wine\\AppDefaults\\Quendral.exe",
        L"Software\\Wine\\AppDefaults\\Quendral.exe\\DllOverrides"};
    const wchar_t* made_[3]{};
    int made_count_ = 0;
    HKEY key_ = nullptr;
};

// What another process can see of Quendral's window and what it holds.
struct Seen {
    RECT place{};
    std::u16string caption;
    int controls = 0;
    std::vector<std::u16string> entries;
    std::u16string pace;
    bool operator==(const Seen& other) const {
        return EqualRect(&place, &other.place) && caption == other.caption &&
               controls == other.controls && entries == other.entries && pace == other.pace;
    }
};

BOOL CALLBACK CountOne(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

Seen SeenOf(const QuendralApp& app) {
    Seen seen;
    GetWindowRect(app.Form(), &seen.place);
    seen.caption = WindowText(app.Form());
    EnumChildWindows(app.Form(), &CountOne, reinterpret_cast<LPARAM>(&seen.controls));
    const quendral::ListBoxEntries list(app.List());
    for (std::int16_t i = 0; i < list.Count(); ++i) seen.entries.push_back(list.At(i));
    seen.pace = app.PaceText();
    return seen;
}

std::string Describe(const Seen& seen) {
    return "at " + std::to_string(seen.place.left) + "," + std::to_string(seen.place.top) + " " +
           std::to_string(seen.place.right - seen.place.left) + "x" +
           std::to_string(seen.place.bottom - seen.place.top) + ", \"" + Narrow(seen.caption) +
           "\", " + std::to_string(seen.controls) + " controls, " +
           std::to_string(seen.entries.size()) + " entries, pace " + Narrow(seen.pace);
}

// Whether the window answers a message sent from here, within a bound no busy machine reaches.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20000, &result) != 0;
}

// A message sent from here, never waiting on a Quendral that no longer answers.
void Send(HWND window, UINT message, WPARAM wParam, const void* lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG,
                        5000, &result);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);  // refused for some, as the system may
}

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, which XP's headers don't have

// The DPI a window is drawn for: Windows 10's answer where there is one, else the screen's.
WPARAM DpiOf(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = dpiForWindow != nullptr ? dpiForWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    return MAKEWPARAM(dpi, dpi);
}

}  // namespace

TEST_CASE(
    "neighbours::an oleacc.dll left beside Quendral.exe is never loaded; readers still hear it") {
    ComApartment com;
    Folder downloads;
    const std::wstring program = downloads.File(L"Quendral.exe");
    const std::wstring planted = downloads.File(L"oleacc.dll");
    REQUIRE(CopyFileW(QuendralProgram().c_str(), program.c_str(), TRUE));
    REQUIRE(CopyFileW(BesideThisProgram(L"planted\\oleacc.dll").c_str(), planted.c_str(), TRUE));
    SearchOwnFolderFirst setting;

    QuendralApp app(program);
    // The first question a reader asks is what makes Quendral load the accessibility library.
    const Microsoft::WRL::ComPtr<IAccessible> list = AccessibleOf(app.List());
    CHECK((list != nullptr && Read(*list.Get()).name == u"Entries"));
    CHECK_MESSAGE(!Exists(planted + L".ran"),
                  "the planted oleacc.dll's entry point ran in Quendral");
    CHECK(app.Close());
}

TEST_CASE(
    "neighbours::messages only the system should send, sent or posted from here, change nothing") {
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"one", u"two", u"three"};
    for (const std::u16string& entry : entries) app.AddEntry(entry);
    app.SetPace(65);
    const Seen before = SeenOf(app);
    REQUIRE(before.controls == 10);  // nine controls and the status strip
    HWND form = app.Form();
    const UINT okId = static_cast<UINT>(GetDlgCtrlID(app.Ok()));
    const WPARAM ownDpi = DpiOf(form);

    // Pointers of this process's: in Quendral's they mean nothing, unless the system copies
    // what they point at across.
    RECT elsewhere{5, 5, 505, 405};
    CREATESTRUCTW made{};
    made.lpCreateParams = reinterpret_cast<void*>(0x10);
    made.lpszName = L"Taken over";
    made.lpszClass = quendral::kFormClass;
    made.cx = 100;
    made.cy = 100;
    made.style = WS_OVERLAPPEDWINDOW;
    DRAWITEMSTRUCT listAsButton{};
    listAsButton.CtlType = ODT_BUTTON;
    listAsButton.CtlID = okId;
    listAsButton.hwndItem = app.List();
    listAsButton.hDC = reinterpret_cast<HDC>(0x1234);
    DRAWITEMSTRUCT okOnNoDc = listAsButton;
    okOnNoDc.hwndItem = app.Ok();
    okOnNoDc.rcItem = {0, 0, 5000, 5000};

    const struct {
        const char* what;
        std::function<void()> deliver;
    } deliveries[] = {
        {"WM_DPICHANGED posted with no rectangle",
         [&] { Post(form, kDpiChanged, MAKEWPARAM(96, 96), 0); }},
        {"WM_DPICHANGED posted with DPI 0", [&] { Post(form, kDpiChanged, 0, 0); }},
        {"WM_DPICHANGED posted with DPI 5000 and a pointer into the null page",
         [&] { Post(form, kDpiChanged, MAKEWPARAM(5000, 5000), 0x10); }},
        {"WM_DPICHANGED posted with the window's own DPI and a pointer into the null page",
         [&] { Post(form, kDpiChanged, ownDpi, 0x10); }},
        {"WM_DPICHANGED posted with the window's own DPI and a pointer of this process's",
         [&] { Post(form, kDpiChanged, ownDpi, reinterpret_cast<LPARAM>(&elsewhere)); }},
        {"WM_DPICHANGED sent with the window's own DPI and a rectangle of this process's",
         [&] { Send(form, kDpiChanged, ownDpi, &elsewhere); }},
        {"WM_DPICHANGED posted with DPI 144 and a pointer of this process's",
         [&] {
             Post(form, kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&elsewhere));
         }},
        {"WM_DPICHANGED sent with DPI 144 and a rectangle of this process's",
         [&] { Send(form, kDpiChanged, MAKEWPARAM(144, 144), &elsewhere); }},
        {"WM_NCCREATE sent with a made-up CREATESTRUCT",
         [&] { Send(form, WM_NCCREATE, 0, &made); }},
        {"WM_CREATE sent again", [&] { Send(form, WM_CREATE, 0, &made); }},
        {"WM_DRAWITEM sent for the list as if it were a button",
         [&] { Send(form, WM_DRAWITEM, okId, &listAsButton); }},
        {"WM_DRAWITEM sent for Ok with a made-up DC",
         [&] { Send(form, WM_DRAWITEM, okId, &okOnNoDc); }},
        {"WM_CTLCOLORSTATIC sent with a made-up DC",
         [&] { Send(form, WM_CTLCOLORSTATIC, 0x1234, app.SecondLabel()); }},
        {"WM_SETTINGCHANGE posted with a pointer into the null page",
         [&] { Post(form, WM_SETTINGCHANGE, 0, 0x10); }},
        {"WM_SETTINGCHANGE sent with a section of no interest",
         [&] { Send(form, WM_SETTINGCHANGE, 0, L"Environment"); }},
        {"WM_GETOBJECT sent to a control for an object that isn't its client area",
         [&] { Send(app.List(), WM_GETOBJECT, 0, reinterpret_cast<const void*>(0x7FFF)); }},
        {"GWLP_USERDATA of the window and of the list set from here",
         [&] {
             SetWindowLongPtrW(form, GWLP_USERDATA, 0x10);
             SetWindowLongPtrW(app.List(), GWLP_USERDATA, 0x10);
         }},
        {"WM_DESTROY posted", [&] { Post(form, WM_DESTROY, 0, 0); }},
        {"WM_DESTROY sent", [&] { Send(form, WM_DESTROY, 0, nullptr); }},
        {"WM_NCDESTROY sent to the window and the list",
         [&] {
             Send(form, WM_NCDESTROY, 0, nullptr);
             Send(app.List(), WM_NCDESTROY, 0, nullptr);
         }},
        {"WM_CREATE and WM_NCCREATE sent, WM_DESTROY and WM_NCDESTROY posted, to the list",
         [&] {
             Send(app.List(), WM_NCCREATE, 0, &made);
             Send(app.List(), WM_CREATE, 0, &made);
             Post(app.List(), WM_DESTROY, 0, 0);
             Post(app.List(), WM_NCDESTROY, 0, 0);
         }},
        {"WM_NCDESTROY posted to the window", [&] { Post(form, WM_NCDESTROY, 0, 0); }},
        {"WM_QUIT posted to the window and to its thread",
         [&] {
             Post(form, WM_QUIT, 0, 0);
             PostThreadMessageW(GetWindowThreadProcessId(form, nullptr), WM_QUIT, 0, 0);
         }},
    };
    std::size_t announced = 0;
    for (const auto& delivery : deliveries) {
        INFO(std::string(delivery.what));
        delivery.deliver();
        // Ok pressed by a posted click: once its record has come, what was posted before
        // it has been handled too.
        Post(form, WM_COMMAND, MAKEWPARAM(okId, BN_CLICKED), reinterpret_cast<LPARAM>(app.Ok()));
        REQUIRE(messenger.WaitForRecords(++announced, 20000));
        REQUIRE(Answers(form));
        const Seen after = SeenOf(app);
        INFO("before: " << Describe(before) << "; after: " << Describe(after));
        CHECK(after == before);
    }
    // Every click announced the entry after the one before; the timer's ticks, if any, too.
    CHECK(FollowsList(AnnouncedEntries(messenger.Records(), entries), entries.size()));
    CHECK(app.Close());
}
