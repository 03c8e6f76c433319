#include "core/form1.h"

#include "ui/digits.h"

namespace quelvex {

// Figures are kept in 64 bits: a disk of 2 TiB or more would not fit in 32, and its truncated
// figure would never compare equal, forcing a redraw on every poll.
void TForm1::Timer3Timer() {
    const std::int64_t sizeKb = svc_.disk.totalBytes() / 1024;
    if (sizeKb == s_.shownDiskSizeKb && svc_.disk.freeBytes() / 1024 == s_.shownDiskFreeKb) return;
    s_.diskSizeKb = svc_.disk.totalBytes() / 1024;
    s_.diskFreeKb = svc_.disk.freeBytes() / 1024;
    drawNine(face_, kDiskSizeDigits, s_.diskSizeKb);
    drawNine(face_, kDiskFreeDigits, s_.diskFreeKb);
    s_.shownDiskSizeKb = s_.diskSizeKb;
    s_.shownDiskFreeKb = s_.diskFreeKb;
}

} // namespace quelvex
