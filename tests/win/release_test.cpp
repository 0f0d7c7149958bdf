// The release as a Windows user gets it: dist/Quendral-<version>.zip, which the shipped
// 32-bit build packs, unpacked by the test set-up into release\ beside this program.
// Its Quendral.exe must be the very file the shipped build's window tests ran, its
// version and icons must read back as Windows reads them, SHA256SUMS must hold what
// certutil would say of each file, and the licence and notices must be there. Both suites run it: a
// 64-bit program reads a 32-bit one as data just as well.
#include <doctest/doctest.h>
#include <windows.h>
#include <bcrypt.h>
#include <imagehlp.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "harness/harness.h"
#include "harness/pe_image.h"
#include "ui/version.h"
#include "win/built_file.h"

using namespace quendral::testing;

namespace {

std::wstring Unpacked(std::wstring_view name) {
    return BesideThisProgram(L"release\\").append(name);
}

// The shipped build's Quendral.exe: beside the 32-bit suite, in the build next door for
// the 64-bit one.
std::wstring ShippedProgram() {
    return BesideThisProgram(sizeof(void*) == 4 ? L"Quendral.exe" : L"..\\windows\\Quendral.exe");
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The names in the unpacked folder, sorted.
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const std::unique_ptr<void, decltype(&FindClose)> search(
        FindFirstFileW((folder + L"*").c_str(), &found), &FindClose);
    if (search.get() == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// SHA-256 through the system's own provider, in lower-case hex; empty on failure.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return {};
    const auto closeAlgorithm = [](BCRYPT_ALG_HANDLE a) { BCryptCloseAlgorithmProvider(a, 0); };
    const std::unique_ptr<void, decltype(closeAlgorithm)> algorithmOwner(algorithm, closeAlgorithm);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) return {};
    const std::unique_ptr<void, decltype(&BCryptDestroyHash)> hashOwner(hash, &BCryptDestroyHash);
    std::vector<std::uint8_t> input = bytes;  // the call takes a non-const buffer
    std::uint8_t digest[32]{};
    if (!BCRYPT_SUCCESS(BCryptHashData(hash, input.data(), static_cast<ULONG>(input.size()), 0)) ||
        !BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0))) {
        return {};
    }
    std::string hex;
    for (std::uint8_t b : digest) {
        hex += "0123456789abcdef"[b >> 4];
        hex += "0123456789abcdef"[b & 15];
    }
    return hex;
}

}  // namespace

// The text files, in the order SHA256SUMS lists them after Quendral.exe.
const wchar_t* const kTexts[] = {L"README.txt", L"LICENSE.txt", L"THIRD-PARTY-NOTICES.txt"};

TEST_CASE("release::the zip holds the program, its README, licence, notices and sums, no more") {
    const std::vector<std::wstring> expected = {L"LICENSE.txt", L"Quendral.exe", L"README.txt",
                                                L"SHA256SUMS", L"THIRD-PARTY-NOTICES.txt"};
    CHECK(FolderEntries(Unpacked(L"")) == expected);
}

TEST_CASE("release::its Quendral.exe is the shipped 32-bit program, with no date in it") {
    const std::vector<std::uint8_t> released = FileBytes(Unpacked(L"Quendral.exe"));
    REQUIRE_FALSE(released.empty());
    CHECK(released == FileBytes(ShippedProgram()));

    const PeImage pe = ParsePeImage(released);
    REQUIRE(pe.valid);
    CHECK(pe.machine == IMAGE_FILE_MACHINE_I386);
    // No link time in the header, and a checksum that is the content's own.
    const std::size_t header = ReadAt<std::uint32_t>(released, 0x3C);
    CHECK(ReadAt<std::uint32_t>(released, header + 8) == 0u);
    DWORD inHeader = 0, computed = 0;
    const std::wstring path = Unpacked(L"Quendral.exe");
    REQUIRE(MapFileAndCheckSumW(path.c_str(), &inHeader, &computed) == CHECKSUM_SUCCESS);
    CHECK(inHeader == computed);
}

TEST_CASE("release::version resource and icons read back from the unpacked Quendral.exe") {
    CheckBuiltFile(Unpacked(L"Quendral.exe"), IMAGE_FILE_MACHINE_I386);
}

TEST_CASE("release::SHA256SUMS holds every other file's SHA-256; the texts read on Windows") {
    const std::string exe = Sha256Hex(FileBytes(Unpacked(L"Quendral.exe")));
    REQUIRE(exe.size() == 64);
    // The form `sha256sum -c` reads: hash, two spaces, name, one line each.
    std::string expected = exe + "  Quendral.exe\n";
    for (const wchar_t* name : kTexts) {
        INFO("file: " << Narrow(std::wstring_view(name)));
        const std::vector<std::uint8_t> bytes = FileBytes(Unpacked(name));
        const std::string sum = Sha256Hex(bytes);
        REQUIRE(sum.size() == 64);
        expected += sum + "  " + Narrow(std::wstring_view(name)) + "\n";

        const std::string text = Text(bytes);
        REQUIRE_FALSE(text.empty());
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + 1)) {
            INFO("line ending at byte " << at);
            REQUIRE(at > 0);
            REQUIRE(text[at - 1] == '\r');
        }
    }
    CHECK(Text(FileBytes(Unpacked(L"SHA256SUMS"))) == expected);

    const std::string readme = Text(FileBytes(Unpacked(L"README.txt")));
    CHECK(readme.rfind("Quendral " QUENDRAL_VERSION_TEXT "\r\n", 0) == 0);
    CHECK(readme.find("@VERSION@") == std::string::npos);
}

TEST_CASE("release::the licence is MIT, and the notices cover what Quendral.exe carries") {
    const std::string licence = Text(FileBytes(Unpacked(L"LICENSE.txt")));
    CHECK(licence.rfind("MIT License\r\n", 0) == 0);
    CHECK(licence.find("Copyright (c) 2026 the Quendral authors") != std::string::npos);

    // The picture's decoder is compiled in, and the MinGW-w64 runtime starts every
    // program the cross build links; the map-driven selection must keep both, and no
    // line meant only for the packing goes out.
    const std::string notices = Text(FileBytes(Unpacked(L"THIRD-PARTY-NOTICES.txt")));
    CHECK(notices.rfind("Third-party notices for Quendral.exe\r\n", 0) == 0);
    CHECK(notices.find("\r\nstb_image (") != std::string::npos);
    CHECK(notices.find("Copyright (c) 2017 Sean Barrett") != std::string::npos);
    CHECK(notices.find("\r\nThe MinGW-w64 runtime (") != std::string::npos);
    CHECK(notices.find("\r\nLinked from:") == std::string::npos);
}
