// A built Quendral.exe read back as data, as Windows reads it: machine, imports, version
// resource and icons. The window tests check each build's own file with it, and the
// release test the one unpacked from the zip.
#pragma once

#include <cstdint>
#include <string>

namespace quendral::testing {

// Checks the file at path; machine is 0x14c (32-bit) or 0x8664 (64-bit).
void CheckBuiltFile(const std::wstring& path, std::uint16_t machine);

}  // namespace quendral::testing
