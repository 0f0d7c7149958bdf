#include "harness/quendral_app.h"

#include <stdexcept>
#include <string>

#include "support/identities.h"

namespace quendral::testing {

namespace {

HWND Child(HWND parent, const wchar_t* className, const wchar_t* caption) {
    HWND child = FindWindowExW(parent, nullptr, className, caption);
    if (child == nullptr) throw std::runtime_error("a control of Quendral's window is missing");
    return child;
}

}  // namespace

std::wstring QuendralProgram() {
    wchar_t named[MAX_PATH]{};
    const DWORD length = GetEnvironmentVariableW(L"QUENDRAL_PROGRAM", named, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return BesideThisProgram(L"Quendral.exe");
    const std::wstring program(named, length);
    const bool path = program.find_first_of(L"\\/:") != std::wstring::npos;
    return path ? program : BesideThisProgram(program);
}

QuendralApp::QuendralApp(const std::wstring& program) : process_(std::in_place, program, L"") {
    WaitUntil(
        [this] {
            for (HWND window : TopLevelWindows(kFormClass, process_->Id())) {
                if (WindowText(window) == reinterpret_cast<const char16_t*>(kFormCaption) &&
                    IsWindowVisible(window))
                    form_ = window;
            }
            return form_ != nullptr;
        },
        20000);
    if (form_ == nullptr) throw std::runtime_error("Quendral's window did not appear");
    FindControls();
}

void QuendralApp::FindControls() {
    list_ = Child(form_, L"ListBox", nullptr);
    input_ = Child(form_, L"Edit", nullptr);
    pace_ = Child(form_, L"Static", L"2");
    secondLabel_ = Child(form_, L"Static", captions::kSecond);
    shorter_ = Child(form_, L"Button", captions::kShorter);
    longer_ = Child(form_, L"Button", captions::kLonger);
    ok_ = Child(form_, L"Button", captions::kOk);
    add_ = Child(form_, L"Button", captions::kAdd);
    clear_ = Child(form_, L"Button", captions::kClear);
    status_ = GetDlgItem(form_, kStatusControlId);
    if (status_ == nullptr) throw std::runtime_error("Quendral's status strip is missing");
}

void QuendralApp::AddEntry(std::u16string_view text) {
    const std::u16string terminated(text);
    SendMessageW(input_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
    Press(add_);
}

void QuendralApp::SetPace(int seconds) {
    for (int press = 0; press <= 2 * 66; ++press) {
        const std::u16string caption = PaceText();
        const int pace = std::stoi(std::string(caption.begin(), caption.end()));
        if (pace == seconds) return;
        Press(pace < seconds ? longer_ : shorter_);
    }
    throw std::runtime_error("Quendral's pace does not move");
}

bool QuendralApp::Close(DWORD timeoutMs) {
    PostMessageW(form_, WM_CLOSE, 0, 0);
    return process_->HasExited(timeoutMs);
}

}  // namespace quendral::testing
