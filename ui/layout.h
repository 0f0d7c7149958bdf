// Where everything sits, in twips (1,440 to the inch), and the one conversion to pixels.
#pragma once

namespace quendral::layout {

struct TwipsRect {
    int left, top, width, height;
};

struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect&) const = default;
};

inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                        : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

constexpr PixelRect ToPixels(TwipsRect r, int dpi) {
    return {TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi), TwipsToPixels(r.width, dpi),
            TwipsToPixels(r.height, dpi)};
}

inline constexpr int kClientWidth = 6630;
inline constexpr int kClientHeight = 6285;

inline constexpr TwipsRect kListe{1643, 1665, 1875, 2595};
inline constexpr TwipsRect kEkle{1628, 4365, 1905, 330};
inline constexpr TwipsRect kSaniye{4433, 2040, 165, 270};
inline constexpr TwipsRect kAz{4073, 2040, 255, 255};
inline constexpr TwipsRect kCok{4673, 2040, 255, 255};
inline constexpr TwipsRect kLabel1{4148, 1680, 615, 255};
inline constexpr TwipsRect kCommand2{3908, 2520, 1095, 2535};
inline constexpr TwipsRect kCommand1{1560, 4800, 975, 255};
inline constexpr TwipsRect kCommand3{2640, 4800, 975, 255};
// The status, on the picture's strip along the bottom, right of its note sign.
inline constexpr TwipsRect kDurum{420, 5805, 6060, 465};

}  // namespace quendral::layout
