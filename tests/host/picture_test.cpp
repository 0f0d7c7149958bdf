#include <doctest/doctest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/picture.h"

using namespace quendral::picture;

namespace {

std::vector<std::uint8_t> Background() {
    std::ifstream file(std::string(QUENDRAL_SOURCE_DIR) + "/ui/res/background.jpg",
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Image Decode(const std::vector<std::uint8_t>& bytes) {
    return DecodeJpeg(bytes.data(), bytes.size());
}

// Either nothing, or a whole picture of the size it says.
bool WholeOrEmpty(const Image& image) {
    if (image.Empty()) return image.width == 0 && image.height == 0;
    return image.width > 0 && image.height > 0 && image.width <= kMaxSide &&
           image.height <= kMaxSide &&
           image.pixels.size() ==
               static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
}

// The offset of the frame header's height field (after FF C0/C2, length and precision).
std::size_t FrameSizeAt(const std::vector<std::uint8_t>& jpeg) {
    for (std::size_t i = 2; i + 4 < jpeg.size();) {
        const std::uint8_t marker = jpeg[i + 1];
        if (marker == 0xC0 || marker == 0xC2) return i + 5;
        i += 2 + (static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    }
    return 0;
}

Image Solid(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    Image image{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        image.pixels.insert(image.pixels.end(), {b, g, r, 255});
    return image;
}

std::uint8_t BlueAt(const Image& image, int x, int y) {
    return image.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                         static_cast<std::size_t>(x)) *
                        4];
}

}  // namespace

TEST_CASE("Picture::the program's background decodes to its 444 x 420 pixels") {
    const std::vector<std::uint8_t> jpeg = Background();
    REQUIRE(jpeg.size() > 1000);
    const Image image = Decode(jpeg);
    REQUIRE(image.width == 444);
    REQUIRE(image.height == 420);
    REQUIRE(image.pixels.size() == 444u * 420u * 4u);
    bool opaque = true;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        opaque = opaque && image.pixels[i] == 255;
    CHECK(opaque);
    // The white panel the controls sit on, in blue, green, red order.
    const std::size_t middle = (200u * 444u + 60u) * 4u;
    CHECK(image.pixels[middle] >= 240);
    CHECK(image.pixels[middle + 1] >= 240);
    CHECK(image.pixels[middle + 2] >= 240);
    // The title band across the top is blue: more blue than red.
    const std::size_t band = (20u * 444u + 300u) * 4u;
    CHECK(image.pixels[band] > image.pixels[band + 2] + 40);
}

TEST_CASE("Picture::damaged, truncated and foreign bytes fail cleanly or decode whole") {
    const std::vector<std::uint8_t> jpeg = Background();
    REQUIRE(FrameSizeAt(jpeg) != 0);

    SUBCASE("nothing, a null pointer, a lone start marker, other formats") {
        CHECK(DecodeJpeg(nullptr, 100).Empty());
        CHECK(DecodeJpeg(jpeg.data(), 0).Empty());
        CHECK(Decode({0xFF, 0xD8}).Empty());
        CHECK(Decode({0xFF, 0xD8, 0xFF, 0xD9}).Empty());
        CHECK(Decode({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}).Empty());
        CHECK(Decode(std::vector<std::uint8_t>(4096, 0xFF)).Empty());
    }
    SUBCASE("cut short anywhere") {
        // Cut inside the headers: nothing. Cut in the compressed data: whatever came
        // through, still a whole picture of the declared size.
        for (std::size_t length = 0; length < jpeg.size(); length += length < 600 ? 1 : 97) {
            INFO("first " << length << " bytes");
            const Image image = Decode(
                std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + static_cast<long>(length)));
            CHECK(WholeOrEmpty(image));
            if (length <= FrameSizeAt(jpeg) + 4) CHECK(image.Empty());
        }
    }
    SUBCASE("bytes overwritten") {
        std::uint32_t seed = 12345;
        const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
        for (int trial = 0; trial < 300; ++trial) {
            std::vector<std::uint8_t> damaged = jpeg;
            const int hits = 1 + static_cast<int>(next() % 8);
            for (int hit = 0; hit < hits; ++hit) {
                // Mostly within the headers, where lengths and tables live.
                const std::size_t at = next() % (trial % 2 == 0 ? 400u : damaged.size());
                damaged[at] = static_cast<std::uint8_t>(next() >> 24);
            }
            INFO("trial " << trial);
            CHECK(WholeOrEmpty(Decode(damaged)));
        }
    }
    SUBCASE("declared sizes of 0 or beyond the limit") {
        const std::size_t at = FrameSizeAt(jpeg);
        for (auto [height, width] : {std::pair{0, 444},
                                     {420, 0},
                                     {65535, 65535},
                                     {420, kMaxSide + 1},
                                     {kMaxSide + 1, 444}}) {
            INFO(width << " x " << height);
            std::vector<std::uint8_t> damaged = jpeg;
            damaged[at] = static_cast<std::uint8_t>(height >> 8);
            damaged[at + 1] = static_cast<std::uint8_t>(height);
            damaged[at + 2] = static_cast<std::uint8_t>(width >> 8);
            damaged[at + 3] = static_cast<std::uint8_t>(width);
            CHECK(Decode(damaged).Empty());
        }
    }
}

TEST_CASE("Picture::scaling keeps colours, averages when shrinking and blends when growing") {
    SUBCASE("a solid colour stays that colour at any size") {
        const Image solid = Solid(444, 420, 200, 100, 50);
        for (auto [width, height] : {std::pair{663, 629}, {553, 524}, {100, 90}, {1, 1}}) {
            const Image scaled = Scale(solid, width, height);
            REQUIRE(scaled.width == width);
            REQUIRE(scaled.height == height);
            REQUIRE(scaled.pixels.size() == static_cast<std::size_t>(width * height * 4));
            bool same = true;
            for (std::size_t i = 0; i < scaled.pixels.size(); i += 4) {
                same = same && scaled.pixels[i] == 200 && scaled.pixels[i + 1] == 100 &&
                       scaled.pixels[i + 2] == 50 && scaled.pixels[i + 3] == 255;
            }
            CHECK(same);
        }
    }
    SUBCASE("shrinking averages every pixel: black and white stripes turn grey") {
        Image stripes = Solid(8, 2, 0, 0, 0);
        for (std::size_t x = 1; x < 8; x += 2) {
            for (std::size_t y = 0; y < 2; ++y) {
                for (std::size_t c = 0; c < 3; ++c) stripes.pixels[(y * 8 + x) * 4 + c] = 255;
            }
        }
        const Image half = Scale(stripes, 4, 1);
        REQUIRE(half.width == 4);
        for (int x = 0; x < 4; ++x) {
            INFO("column " << x);
            CHECK(BlueAt(half, x, 0) >= 96);
            CHECK(BlueAt(half, x, 0) <= 160);
        }
    }
    SUBCASE("growing blends neighbours: a step becomes a ramp, its ends kept") {
        Image step = Solid(4, 1, 0, 0, 0);
        for (std::size_t x = 2; x < 4; ++x) step.pixels[x * 4] = 240;
        const Image grown = Scale(step, 6, 1);
        REQUIRE(grown.width == 6);
        CHECK(BlueAt(grown, 0, 0) == 0);
        CHECK(BlueAt(grown, 5, 0) == 240);
        for (int x = 1; x < 6; ++x) CHECK(BlueAt(grown, x, 0) >= BlueAt(grown, x - 1, 0));
        bool between = false;
        for (int x = 0; x < 6; ++x)
            between = between || (BlueAt(grown, x, 0) > 0 && BlueAt(grown, x, 0) < 240);
        CHECK(between);
    }
    SUBCASE("no size, or beyond the limit, gives nothing") {
        const Image solid = Solid(4, 4, 1, 2, 3);
        CHECK(Scale(solid, 0, 4).Empty());
        CHECK(Scale(solid, 4, -1).Empty());
        CHECK(Scale(solid, kMaxSide + 1, 4).Empty());
        CHECK(Scale(Image{}, 4, 4).Empty());
    }
}

TEST_CASE("Picture::above its status strip the background is the one the window always showed") {
    // The window draws its status over the strip; the picture may change there alone.
    constexpr int kStripTop = 385;
    const Image image = Decode(Background());
    REQUIRE(image.width == 444);
    std::uint64_t hash = 0xcbf29ce484222325;  // FNV-1a
    for (std::size_t i = 0; i < static_cast<std::size_t>(image.width) * kStripTop * 4; ++i) {
        hash = (hash ^ image.pixels[i]) * 0x100000001b3;
    }
    CHECK(hash == 0x896d947f9c7bd994);
}
