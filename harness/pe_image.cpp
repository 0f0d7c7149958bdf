#include "harness/pe_image.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <set>

namespace quendral::testing {

std::vector<std::uint8_t> FileBytes(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        bytes.clear();
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

PeImage ParsePeImage(const std::vector<std::uint8_t>& bytes) {
    PeImage facts;
    if (bytes.size() < 0x40 || ReadAt<std::uint16_t>(bytes, 0) != 0x5A4D) return facts;
    const std::size_t pe = ReadAt<std::uint32_t>(bytes, 0x3C);
    if (ReadAt<std::uint32_t>(bytes, pe) != 0x00004550) return facts;
    const std::size_t coff = pe + 4;
    facts.machine = ReadAt<std::uint16_t>(bytes, coff);
    const std::uint16_t sectionCount = ReadAt<std::uint16_t>(bytes, coff + 2);
    const std::uint16_t optionalSize = ReadAt<std::uint16_t>(bytes, coff + 16);
    const std::size_t optional = coff + 20;
    facts.magic = ReadAt<std::uint16_t>(bytes, optional);
    const bool plus = facts.magic == 0x20B;
    if (!plus && facts.magic != 0x10B) return facts;
    facts.subsystem = ReadAt<std::uint16_t>(bytes, optional + 68);
    const std::size_t directoryCountAt = optional + (plus ? 108 : 92);
    const std::uint32_t directoryCount = ReadAt<std::uint32_t>(bytes, directoryCountAt);
    const std::size_t directories = directoryCountAt + 4;

    struct Section {
        std::uint32_t virtualAddress, virtualSize, rawSize, rawPointer;
    };
    std::vector<Section> sections;
    const std::size_t table = optional + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t s = table + i * 40;
        sections.push_back(
            {ReadAt<std::uint32_t>(bytes, s + 12), ReadAt<std::uint32_t>(bytes, s + 8),
             ReadAt<std::uint32_t>(bytes, s + 16), ReadAt<std::uint32_t>(bytes, s + 20)});
    }
    auto offsetOf = [&](std::uint32_t rva) -> std::size_t {
        for (const Section& s : sections) {
            const std::uint32_t span = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva - s.virtualAddress < span)
                return rva - s.virtualAddress + s.rawPointer;
        }
        return 0;
    };
    auto nameAt = [&](std::uint32_t rva) {
        std::string name;
        for (std::size_t at = offsetOf(rva); at != 0 && at < bytes.size() && bytes[at] != 0; ++at)
            name += static_cast<char>(std::tolower(bytes[at]));
        return name;
    };
    // Descriptors: 20 bytes (Name at +12) for imports, 32 (Name at +4) for delay loads.
    auto walk = [&](std::uint32_t index, std::size_t stride, std::size_t nameField,
                    std::vector<std::string>& out) {
        if (index >= directoryCount) return;
        const std::uint32_t rva = ReadAt<std::uint32_t>(bytes, directories + index * 8);
        if (rva == 0) return;
        for (std::size_t at = offsetOf(rva); at != 0 && at + stride <= bytes.size(); at += stride) {
            const std::uint32_t name = ReadAt<std::uint32_t>(bytes, at + nameField);
            if (name == 0) break;
            out.push_back(nameAt(name));
        }
    };
    walk(1, 20, 12, facts.imports);
    walk(13, 32, 4, facts.delayImports);
    facts.valid = true;
    return facts;
}

std::vector<std::string> LoadedDlls(const PeImage& image) {
    std::vector<std::string> dlls = image.imports;
    dlls.insert(dlls.end(), image.delayImports.begin(), image.delayImports.end());
    return dlls;
}

std::vector<std::string> NotWindowsOwn(const std::vector<std::string>& dlls) {
    static const std::set<std::string> own = {
        "advapi32.dll", "bcrypt.dll",   "comctl32.dll", "comdlg32.dll",     "crypt32.dll",
        "d2d1.dll",     "dwmapi.dll",   "dwrite.dll",   "gdi32.dll",        "gdiplus.dll",
        "imm32.dll",    "kernel32.dll", "msimg32.dll",  "msvcrt.dll",       "ntdll.dll",
        "ole32.dll",    "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",       "shcore.dll",
        "shell32.dll",  "shlwapi.dll",  "ucrtbase.dll", "user32.dll",       "uxtheme.dll",
        "version.dll",  "winmm.dll",    "ws2_32.dll",   "windowscodecs.dll"};
    std::vector<std::string> foreign;
    std::copy_if(dlls.begin(), dlls.end(), std::back_inserter(foreign), [](const std::string& dll) {
        return !dll.starts_with("api-ms-win-") && !dll.starts_with("ext-ms-win-") &&
               own.count(dll) == 0;
    });
    return foreign;
}

}  // namespace quendral::testing
