#include <doctest/doctest.h>

#include "ui/layout.h"

using namespace quendral::layout;

TEST_CASE("Layout::twips become pixels for the window's DPI") {
    SUBCASE("15 twips to the pixel at 96 DPI, rounded to the nearest") {
        CHECK(TwipsToPixels(6630, 96) == 442);
        CHECK(TwipsToPixels(6285, 96) == 419);
        CHECK(TwipsToPixels(1643, 96) == 110);  // 109.53
        CHECK(TwipsToPixels(4433, 96) == 296);  // 295.53
        CHECK(TwipsToPixels(7, 96) == 0);
        CHECK(TwipsToPixels(8, 96) == 1);  // a half rounds up
    }
    SUBCASE("larger DPIs scale every place together") {
        CHECK(ToPixels(kCommand2, 144) == PixelRect{391, 252, 110, 254});
        CHECK(TwipsToPixels(kClientWidth, 120) == 553);
        CHECK(TwipsToPixels(kClientWidth, 192) == 884);
    }
    SUBCASE("negative places round symmetrically") {
        CHECK(TwipsToPixels(-8, 96) == -1);
    }
}
