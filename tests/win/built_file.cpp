#include "win/built_file.h"

#include <doctest/doctest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "harness/pe_image.h"

namespace quendral::testing {

namespace {

std::u16string VersionString(const std::vector<std::uint8_t>& block, std::u16string_view table,
                             std::u16string_view name) {
    std::u16string query =
        u"\\StringFileInfo\\" + std::u16string(table) + u"\\" + std::u16string(name);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), reinterpret_cast<const wchar_t*>(query.c_str()), &value,
                        &length) ||
        value == nullptr) {
        return u"<missing>";
    }
    std::u16string text(static_cast<const char16_t*>(value), length);
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return text;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

}  // namespace

void CheckBuiltFile(const std::wstring& path, std::uint16_t machine) {
    INFO("file: " << std::string(path.begin(), path.end()));
    const std::vector<std::uint8_t> bytes = FileBytes(path);
    REQUIRE(!bytes.empty());

    // Headers and imports.
    const PeImage pe = ParsePeImage(bytes);
    REQUIRE(pe.valid);
    CHECK(pe.machine == machine);
    CHECK(pe.magic == (machine == 0x8664 ? 0x20B : 0x10B));
    CHECK(pe.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI);
    CHECK_FALSE(pe.imports.empty());
    for (const std::string& dll : NotWindowsOwn(LoadedDlls(pe))) {
        FAIL_CHECK("loads a DLL that is not Windows' own: " << dll);
    }

    // Version resource.
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<std::uint8_t> block(size);
    REQUIRE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    REQUIRE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    REQUIRE(fixed != nullptr);
    CHECK(fixed->dwSignature == 0xFEEF04BDu);
    CHECK(fixed->dwFileVersionMS == 0x00010000u);
    CHECK(fixed->dwFileVersionLS == 0u);
    CHECK(fixed->dwProductVersionMS == 0x00010000u);
    CHECK(fixed->dwProductVersionLS == 0u);
    WORD* translation = nullptr;
    UINT translationLength = 0;
    REQUIRE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                           reinterpret_cast<void**>(&translation), &translationLength));
    REQUIRE(translationLength == 4);
    CHECK(translation[0] == 0x0409);
    CHECK(translation[1] == 0x04B0);
    const std::u16string table = u"040904B0";
    CHECK(VersionString(block, table, u"ProductName") == u"Quendral");
    CHECK(VersionString(block, table, u"InternalName") == u"Quendral");
    CHECK(VersionString(block, table, u"OriginalFilename") == u"Quendral.exe");
    CHECK(VersionString(block, table, u"FileVersion") == u"1.00");
    CHECK(VersionString(block, table, u"ProductVersion") == u"1.00");
    const std::u16string company = VersionString(block, table, u"CompanyName");
    CHECK(company != u"<missing>");
    CHECK_FALSE(company.empty());

    // Icons: group 1 naming exactly 30001 (32 x 32, 16 colours) and 30002 (16 x 16, 16 colours).
    HMODULE image = LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    REQUIRE(image != nullptr);
    auto resource = [&](WORD id, LPCWSTR type) {
        std::vector<std::uint8_t> data;
        HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) return data;
        HGLOBAL loaded = LoadResource(image, found);
        const auto* start = static_cast<const std::uint8_t*>(LockResource(loaded));
        if (start != nullptr) data.assign(start, start + SizeofResource(image, found));
        return data;
    };
    const std::vector<std::uint8_t> group = resource(1, RT_GROUP_ICON);
    REQUIRE(group.size() >= 6);
    CHECK(ReadAt<WORD>(group, 0) == 0);
    CHECK(ReadAt<WORD>(group, 2) == 1);
    const WORD count = ReadAt<WORD>(group, 4);
    CHECK(count == 2);
    REQUIRE(group.size() == 6 + count * sizeof(GroupIconEntry));
    bool saw32 = false, saw16 = false;
    for (WORD i = 0; i < count; ++i) {
        const auto entry = ReadAt<GroupIconEntry>(group, 6 + i * sizeof(GroupIconEntry));
        INFO("icon entry " << i << " id " << entry.id);
        const std::vector<std::uint8_t> icon = resource(entry.id, RT_ICON);
        CHECK(icon.size() == entry.bytesInRes);
        // Its own header says the same: width, twice the height (XOR + AND), 4 bits.
        const int side = entry.id == 30001 ? 32 : 16;
        CHECK(ReadAt<std::int32_t>(icon, 4) == side);
        CHECK(ReadAt<std::int32_t>(icon, 8) == side * 2);
        CHECK(ReadAt<WORD>(icon, 14) == 4);
        CHECK(entry.colourCount == 16);
        CHECK(entry.bitCount == 4);
        if (entry.id == 30001) {
            saw32 = true;
            CHECK(entry.width == 32);
            CHECK(entry.height == 32);
        } else if (entry.id == 30002) {
            saw16 = true;
            CHECK(entry.width == 16);
            CHECK(entry.height == 16);
        } else {
            FAIL_CHECK("an icon entry other than 30001 and 30002");
        }
    }
    CHECK(saw32);
    CHECK(saw16);
    CHECK_FALSE(resource(30001, RT_ICON).empty());
    CHECK_FALSE(resource(30002, RT_ICON).empty());

    // The manifest: common controls 6, DPI awareness for every system that has it, Vista
    // to 11 as supported, and only the forms Windows XP SP3's loader takes: each element
    // in its namespace by a plain xmlns, never by a prefix.
    const std::vector<std::uint8_t> manifestBytes = resource(1, RT_MANIFEST);
    const std::string manifest(manifestBytes.begin(), manifestBytes.end());
    for (const char* part : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
             "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
             "PerMonitorV2, PerMonitor<",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
         }) {
        CHECK_MESSAGE(manifest.find(part) != std::string::npos, "the manifest lacks " << part);
    }
    CHECK(manifest.find("xmlns:") == std::string::npos);
    FreeLibrary(image);
}

}  // namespace quendral::testing
