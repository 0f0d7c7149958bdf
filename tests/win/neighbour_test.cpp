// What any other program on the same desktop can do to Quendral.exe: leave a DLL beside it
// for it to load, or send and post it messages only the system should send. Neither may
// run foreign code in it or take its entries down.
#include <doctest/doctest.h>

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>

#include "support/harness.h"
#include "support/quendral_app.h"

using namespace quendral::testing;
using Microsoft::WRL::ComPtr;

namespace {

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

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

std::string NameOf(HWND control) {
    ComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(object.GetAddressOf()))) ||
        object == nullptr) {
        return "(no object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (FAILED(object->get_accName(self, &name)) || name == nullptr) return "(no name)";
    std::string narrow = Narrow(std::wstring_view(name));
    SysFreeString(name);
    return narrow;
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
    CHECK(NameOf(app.List()) == "Entries");
    CHECK_MESSAGE(!Exists(planted + L".ran"),
                  "the planted oleacc.dll's entry point ran in Quendral");
    CHECK(app.Close());
}
