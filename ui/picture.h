// The background picture's pixels, in plain C++: decoding the JPEG the program carries
// and scaling it to the window's size at other DPIs. No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quendral::picture {

// Pixels as a 32-bit top-down device-independent bitmap holds them: rows of blue, green,
// red and an opaque alpha (255).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes

    bool Empty() const { return pixels.empty(); }
};

// The largest side a picture may declare; anything bigger is taken for a damaged file.
inline constexpr int kMaxSide = 4096;

// Decodes a JPEG (baseline or progressive, grey or colour). Anything else, a damaged or
// truncated file, or one declaring a side of 0 or above kMaxSide gives an empty image.
Image DecodeJpeg(const std::uint8_t* data, std::size_t size);

// The picture resampled to width x height with a tent filter: bilinear when it grows,
// averaging every source pixel it covers when it shrinks, so nothing turns blocky or
// drops pixels. Empty for an empty picture or a size below 1 or above kMaxSide.
Image Scale(const Image& source, int width, int height);

}  // namespace quendral::picture
