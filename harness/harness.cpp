#include "harness/harness.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "support/identities.h"

namespace quendral::testing {

std::wstring BesideThisProgram(std::wstring_view name) {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path.append(name);
}

std::wstring FreshTempPath(std::wstring_view stem) {
    static unsigned counter = 0;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = folder;
    path += stem;
    path += L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
            L"-" + std::to_wstring(GetTickCount()) + L".log";
    DeleteFileW(path.c_str());
    return path;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    // Elapsed time by unsigned difference, right across the tick count's wrap.
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

namespace {

std::vector<HWND> ChildrenOf(HWND parent, std::wstring_view className, DWORD pid) {
    std::vector<HWND> found;
    const std::wstring name(className);
    HWND window = nullptr;
    while ((window = FindWindowExW(parent, window, name.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (pid == 0 || owner == pid) found.push_back(window);
    }
    return found;
}

}  // namespace

std::vector<HWND> TopLevelWindows(std::wstring_view className, DWORD pid) {
    return ChildrenOf(nullptr, className, pid);
}

std::vector<HWND> MessageOnlyWindows(std::wstring_view className, DWORD pid) {
    return ChildrenOf(HWND_MESSAGE, className, pid);
}

Canvas::Canvas(int width, int height)
    : dc_(CreateCompatibleDC(nullptr)),
      bitmap_(TopDownBitmap(width, height, &bits_)),
      selected_(dc_.get(), bitmap_.get()) {}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // On a loaded machine Wine has failed a start with ERROR_INTERNAL_ERROR, the new process
    // gone before it ran: that one error is tried again, twice at most.
    DWORD error = ERROR_SUCCESS;
    for (int tries = 0; tries < 3; ++tries) {
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info_)) {
            return;
        }
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
    }
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    throw std::runtime_error(
        "cannot start " + Narrow(program) +
        (missing ? ": no such file" : " (Windows error " + std::to_string(error) + ")"));
}

ChildProcess::~ChildProcess() {
    Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool ChildProcess::HasExited(DWORD waitMs) const {
    return WaitForSingleObject(info_.hProcess, waitMs) == WAIT_OBJECT_0;
}

void ChildProcess::Kill() {
    if (HasExited()) return;
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
}

std::vector<std::uint8_t> BytesOf(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> RecordBytesFor(std::u16string_view entry) {
    std::u16string text = u"\\0Music\\01\\0{0} - {1}\\0";
    text += entry;
    text += u"\\0\\0\\0\\0";
    text += u'\0';
    return BytesOf(text);
}

bool IsRecordOf(const LoggedRecord& record, std::u16string_view entry) {
    return record.dwData == 0x547 && record.cbData == record.bytes.size() &&
           record.bytes == RecordBytesFor(entry);
}

std::vector<int> AnnouncedEntries(const std::vector<LoggedRecord>& records,
                                  const std::vector<std::u16string>& entries) {
    std::vector<int> announced;
    for (const LoggedRecord& record : records) {
        int found = -1;
        for (std::size_t i = 0; i < entries.size() && found < 0; ++i) {
            if (IsRecordOf(record, entries[i])) found = static_cast<int>(i);
        }
        announced.push_back(found);
    }
    return announced;
}

bool FollowsList(const std::vector<int>& announced, std::size_t count) {
    for (std::size_t k = 0; k < announced.size(); ++k) {
        if (announced[k] < 0) return false;
        if (k > 0 && static_cast<std::size_t>(announced[k]) !=
                         (static_cast<std::size_t>(announced[k - 1]) + 1) % count) {
            return false;
        }
    }
    return true;
}

std::uint32_t MillisecondsBetween(const LoggedRecord& earlier, const LoggedRecord& later) {
    constexpr std::uint32_t kDay = 24 * 60 * 60 * 1000;
    return (later.arrivedMs + kDay - earlier.arrivedMs) % kDay;  // across midnight too
}

Messenger::Messenger(std::wstring_view options)
    : log_(FreshTempPath(L"messenger")),
      process_(
          BesideThisProgram(L"messenger.exe"),
          L"--log \"" + log_ + L"\"" + (options.empty() ? L"" : L" " + std::wstring(options))) {
    WaitUntil(
        [this] {
            for (const auto& windows : {TopLevelWindows(kMessengerClassW, process_.Id()),
                                        MessageOnlyWindows(kMessengerClassW, process_.Id())}) {
                if (!windows.empty()) window_ = windows.front();
            }
            return window_ != nullptr;
        },
        20000);
    if (window_ == nullptr)
        throw std::runtime_error("the stand-in messenger did not open its window");
}

std::vector<LoggedRecord> Messenger::Records() const {
    std::vector<LoggedRecord> records;
    std::ifstream in(log_.c_str(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    content.erase(content.find_last_of('\n') + 1);  // a line still being written waits
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        if (std::optional<LoggedRecord> record = ParseLogLine(line)) {
            records.push_back(std::move(*record));
        }
    }
    return records;
}

bool Messenger::WaitForRecords(std::size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Records().size() >= count; }, timeoutMs);
}

}  // namespace quendral::testing
