// The effective resolution of a slot: photo pixels shown per printed inch.

#include "production/slot_resolution.h"
#include "records/resolution_threshold.h"

#include "production_fixture.h"
#include "raster/raster.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

// A 3000 x 2250 page at 300 dpi (10 x 7.5 inches) made on a 1000 x 750
// canvas: every canvas pixel is 3 page pixels, so the slot (0, 0, 500, 375)
// prints 1500 x 1125 pixels, 5 x 3.75 inches.
PrintFrame Frame() {
    return PrintFrame{QSize(3000, 2250), QSize(400, 300), QSize(1000, 750), 300};
}

SlotPlacement Slot(int zoom = 0, int angle = 0) {
    SlotPlacement p = Placement(Rect{0, 0, 500, 375});
    p.zoom = zoom;
    p.angle = angle;
    return p;
}

QSize Shown(int w, int h, int orientation) {
    return ShownImageSize(JpegWithOrientation(QuadrantImage(w, h), orientation));
}

struct ResolutionCase {
    const char* name;
    QSize photo;
    SlotPlacement placement;
    double ppi;
};

} // namespace

TEST(SlotResolution, PhotoPixelsPerPrintedInch) {
    const ResolutionCase cases[] = {
        {"whole photo of the slot's proportions", QSize(1200, 900), Slot(), 1200 / 5.0},
        // Zoom 3 cuts 3/30 of the crop from every side: 960 of 1200 pixels.
        {"zoomed in", QSize(1200, 900), Slot(3), 960 / 5.0},
        {"slot turned by 90 degrees", QSize(1200, 900), Slot(0, 90), 1200 / 5.0},
        // Stored upright 900 x 1200 but turned by its EXIF orientation.
        {"EXIF-turned photo", Shown(900, 1200, 6), Slot(), 1200 / 5.0},
        // Without the turn only 900 x 675 of it fits the 4:3 slot.
        {"portrait photo in a landscape slot", Shown(900, 1200, 1), Slot(), 900 / 5.0},
    };
    for (const ResolutionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto ppi = EffectiveResolution(c.photo, c.placement, Frame());
        ASSERT_TRUE(ppi.has_value());
        EXPECT_NEAR(*ppi, c.ppi, 0.5);
    }
    EXPECT_FALSE(EffectiveResolution(QSize(), Slot(), Frame())) << "no photo, nothing printed";
}

TEST(SlotResolution, TwoLevelsBelowTheThreshold) {
    const ResolutionThreshold threshold;
    EXPECT_EQ(threshold.warn, 150);
    EXPECT_EQ(threshold.low, 100);
    EXPECT_EQ(LevelOf(150, threshold), ResolutionLevel::Sharp);
    EXPECT_EQ(LevelOf(149.9, threshold), ResolutionLevel::Soft);
    EXPECT_EQ(LevelOf(100, threshold), ResolutionLevel::Soft);
    EXPECT_EQ(LevelOf(99.9, threshold), ResolutionLevel::Low);
    SetResolutionThreshold(ResolutionThreshold{200, 120});
    EXPECT_EQ(CurrentResolutionThreshold().warn, 200);
    EXPECT_EQ(LevelOf(119, CurrentResolutionThreshold()), ResolutionLevel::Low);
    SetResolutionThreshold(ResolutionThreshold{});
}
