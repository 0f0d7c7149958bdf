// A built program read back as data: what its PE headers say about its machine and
// the DLLs it loads. Shared by the end-to-end tests and the benchmark.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quendral::testing {

struct PeImage {
    bool valid = false;
    std::uint16_t machine = 0;  // 0x14c i386, 0x8664 x64
    std::uint16_t magic = 0;    // 0x10b PE32, 0x20b PE32+
    std::uint16_t subsystem = 0;
    std::vector<std::string> imports;       // the import directory's DLLs, lower case
    std::vector<std::string> delayImports;  // the delay-load directory's, lower case
};

// A little-endian value at offset; zero where the bytes end first.
template <class T>
T ReadAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value{};
    if (offset <= bytes.size() && bytes.size() - offset >= sizeof(T)) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

// The whole file; empty if it cannot be read.
std::vector<std::uint8_t> FileBytes(const std::wstring& path);

// Parses the headers by hand; never reads outside the bytes, valid is false if they
// are not a PE file.
PeImage ParsePeImage(const std::vector<std::uint8_t>& bytes);

// The DLLs a program loads: those it imports, then those it delay-loads.
std::vector<std::string> LoadedDlls(const PeImage& image);

// Those of dlls that not every Windows installation carries (the compiler's runtimes
// among them: the build links those in), in the same order.
std::vector<std::string> NotWindowsOwn(const std::vector<std::string>& dlls);

}  // namespace quendral::testing
