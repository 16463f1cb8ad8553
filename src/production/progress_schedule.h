#pragma once

// The values a page reports to its run's current bar. i is the page's
// position in its ComposeTask call, step = 100 / pages, R the number of slot
// rectangles of the page's template.
namespace progress_schedule {

// p(f) = trunc((i + f) * step)
inline int At(int i, int step, double f) {
    return static_cast<int>((i + f) * step);
}

// After customer photo k is decoded. A template without rectangles advances
// nothing per photo.
inline int AfterPhoto(int i, int step, int k, int rects) {
    const int perPhoto = rects > 0 ? static_cast<int>(step * 0.1 / rects) : 0;
    return static_cast<int>((i + 0.05) * step + k * perPhoto);
}

// After slot s is drawn in the first pass.
inline int AfterSlot(int i, int step, int s, int rects) {
    const int perSlot = rects > 0 ? static_cast<int>(step * 0.4 / rects) : 0;
    return static_cast<int>((i + 0.42) * step + s * perSlot);
}

} // namespace progress_schedule
