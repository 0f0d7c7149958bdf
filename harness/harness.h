// What the Windows tests, the benchmark and the scripted session share: child processes,
// bounded waits that keep this thread's messages flowing, and stand-in messengers' records.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "harness/record_reader.h"
#include "support/handles.h"
#include "support/text.h"

namespace quendral::testing {

// A file next to this test program (the build puts every program in one folder).
std::wstring BesideThisProgram(std::wstring_view name);

// A fresh path in the temporary folder; the file does not exist yet.
std::wstring FreshTempPath(std::wstring_view stem);

// Pumps this thread's messages until done() holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Top-level windows of a class, in the order the system lists them; of one process if pid != 0.
std::vector<HWND> TopLevelWindows(std::wstring_view className, DWORD pid = 0);
// The same among message-only windows (those made with the parent HWND_MESSAGE).
std::vector<HWND> MessageOnlyWindows(std::wstring_view className, DWORD pid = 0);

// A text for a test's messages (support/text.h).
using quendral::Narrow;

// A 32-bit top-down bitmap selected into a memory DC: draw into Dc(), then after
// GdiFlush read its BGRA pixels row by row (null if the bitmap could not be made).
class Canvas {
public:
    Canvas(int width, int height);
    HDC Dc() const { return dc_.get(); }
    const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(bits_); }

private:
    void* bits_ = nullptr;
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    Selection selected_;
};

// A process started by a test; ended and waited for when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool HasExited(DWORD waitMs = 0) const;
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

using quendral::LoggedRecord;

// The bytes a text occupies in memory: UTF-16 little-endian.
std::vector<std::uint8_t> BytesOf(std::u16string_view text);

// The bytes of the now-playing text Quendral sends for an entry: the entry as its artist
// and the defaults for the rest, written out here unit by unit.
std::vector<std::uint8_t> RecordBytesFor(std::u16string_view entry);

// Whether a record is the one Quendral sends for an entry.
bool IsRecordOf(const LoggedRecord& record, std::u16string_view entry);

// For each record, the index of the entry it announces, or -1 for a record that is none.
std::vector<int> AnnouncedEntries(const std::vector<LoggedRecord>& records,
                                  const std::vector<std::u16string>& entries);

// Whether each announcement is of an entry and the one after the entry before it, round
// and round a list of count entries.
bool FollowsList(const std::vector<int>& announced, std::size_t count);

// Milliseconds from one record's arrival to another's on the messenger's clock.
std::uint32_t MillisecondsBetween(const LoggedRecord& earlier, const LoggedRecord& later);

// A stand-in messenger process with a log of its own; its window, top-level or
// message-only, exists once constructed.
class Messenger {
public:
    explicit Messenger(std::wstring_view options = L"");
    HWND Window() const { return window_; }
    ChildProcess& Process() { return process_; }
    std::vector<LoggedRecord> Records() const;
    // Waits until at least count records have arrived.
    bool WaitForRecords(std::size_t count, DWORD timeoutMs) const;

private:
    std::wstring log_;
    ChildProcess process_;
    HWND window_ = nullptr;
};

}  // namespace quendral::testing
