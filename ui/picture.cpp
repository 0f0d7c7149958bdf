#include "ui/picture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

// stb_image, for JPEG only, from memory only, and no larger than the program accepts.
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS 4096
// Zeroed memory: a scan that names a Huffman table the file never defined then decodes
// zeros, where stb_image 2.27 would read the table's uninitialised indices and with them
// far outside its arrays.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(block, size) std::realloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace quendral::picture {

static_assert(STBI_MAX_DIMENSIONS == kMaxSide);

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// One output pixel's taps along one axis: the first source index and their weights.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// The tent filter's taps for every output position when size source pixels become
// scaled ones: radius one source pixel when growing, one output pixel when shrinking.
std::vector<Taps> TentTaps(int size, int scaled) {
    const double ratio = static_cast<double>(size) / scaled;
    const double radius = std::max(1.0, ratio);
    std::vector<Taps> all(static_cast<std::size_t>(scaled));
    for (int out = 0; out < scaled; ++out) {
        const double centre = (out + 0.5) * ratio - 0.5;
        const int first = std::max(0, static_cast<int>(std::floor(centre - radius)) + 1);
        const int last = std::min(size - 1, static_cast<int>(std::ceil(centre + radius)) - 1);
        Taps& taps = all[static_cast<std::size_t>(out)];
        taps.first = first;
        double total = 0;
        for (int at = first; at <= last; ++at) {
            const double weight = 1.0 - std::abs(at - centre) / radius;
            taps.weights.push_back(static_cast<float>(std::max(0.0, weight)));
            total += std::max(0.0, weight);
        }
        if (total <= 0) {  // no tap reached: the nearest source pixel alone
            taps.first = std::clamp(static_cast<int>(std::lround(centre)), 0, size - 1);
            taps.weights.assign(1, 1.0f);
            continue;
        }
        for (float& weight : taps.weights) weight = static_cast<float>(weight / total);
    }
    return all;
}

// stb_image 2.27 builds a Huffman table from its 16 code counts without checking that
// they add up to at most 256, and writes past the table's arrays when they do. Every
// byte pair the decoder could take for a table definition (FF C4) is read here the
// way the decoder reads it (bytes past the end as 0), and any table of more than 256
// codes turns the file down.
bool HuffmanTablesFit(const std::uint8_t* data, std::size_t size) {
    const auto byteAt = [&](std::size_t at) -> unsigned { return at < size ? data[at] : 0u; };
    for (std::size_t marker = 0; marker + 1 < size; ++marker) {
        if (data[marker] != 0xFF || data[marker + 1] != 0xC4) continue;
        long left = static_cast<long>(byteAt(marker + 2) << 8 | byteAt(marker + 3)) - 2;
        std::size_t at = marker + 4;
        while (left > 0) {
            const unsigned header = byteAt(at);
            if ((header >> 4) > 1 || (header & 15) > 3) break;  // the decoder refuses it
            unsigned codes = 0;
            for (std::size_t i = 1; i <= 16; ++i) codes += byteAt(at + i);
            if (codes > 256) return false;
            left -= static_cast<long>(17 + codes);
            at += 17 + codes;
        }
    }
    return true;
}

}  // namespace

Image DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    Image image;
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX) ||
        !HuffmanTablesFit(data, size)) {
        return image;
    }
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, StbFree> decoded(
        stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, STBI_rgb));
    if (!decoded || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return image;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    image.pixels.resize(count * 4);
    const stbi_uc* from = decoded.get();
    std::uint8_t* to = image.pixels.data();
    for (std::size_t i = 0; i < count; ++i, from += 3, to += 4) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        to[3] = 255;
    }
    image.width = width;
    image.height = height;
    return image;
}

Image Scale(const Image& source, int width, int height) {
    Image scaled;
    if (source.Empty() || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        return scaled;
    }
    const std::vector<Taps> across = TentTaps(source.width, width);
    const std::vector<Taps> down = TentTaps(source.height, height);
    const auto sourceWidth = static_cast<std::size_t>(source.width);
    const auto outWidth = static_cast<std::size_t>(width);

    // Rows first (every source row to the new width), then columns.
    std::vector<float> rows(static_cast<std::size_t>(source.height) * outWidth * 4);
    for (std::size_t y = 0; y < static_cast<std::size_t>(source.height); ++y) {
        const std::uint8_t* line = source.pixels.data() + y * sourceWidth * 4;
        float* out = rows.data() + y * outWidth * 4;
        for (const Taps& taps : across) {
            const std::uint8_t* pixel = line + static_cast<std::size_t>(taps.first) * 4;
            float sum[3] = {};
            for (float weight : taps.weights) {
                for (int c = 0; c < 3; ++c) sum[c] += weight * pixel[c];
                pixel += 4;
            }
            for (int c = 0; c < 3; ++c) out[c] = sum[c];
            out += 4;
        }
    }

    scaled.pixels.resize(outWidth * static_cast<std::size_t>(height) * 4);
    std::uint8_t* out = scaled.pixels.data();
    for (const Taps& taps : down) {
        for (std::size_t x = 0; x < outWidth; ++x) {
            const float* pixel =
                rows.data() + (static_cast<std::size_t>(taps.first) * outWidth + x) * 4;
            float sum[3] = {};
            for (float weight : taps.weights) {
                for (int c = 0; c < 3; ++c) sum[c] += weight * pixel[c];
                pixel += outWidth * 4;
            }
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
            }
            out[3] = 255;
            out += 4;
        }
    }
    scaled.width = width;
    scaled.height = height;
    return scaled;
}

}  // namespace quendral::picture
