// The skin's pictures as GDI bitmaps, decoded from the program's own resources: the 1x set at
// start, the 2x set on first use, see-through versions (key colour out, premultiplied alpha for
// AlphaBlend) on first use, and resampled sizes for scale factors between whole numbers.
#pragma once

#include "ui/face.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace quelvex {

// A 32-bit top-down DIB section; owns its bitmap.
struct SkinBitmap {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
    std::uint32_t* pixels = nullptr; // BGRA, width x height
    SkinBitmap() = default;
    SkinBitmap(int w, int h);
    SkinBitmap(SkinBitmap&& other) noexcept;
    SkinBitmap& operator=(SkinBitmap&& other) noexcept;
    ~SkinBitmap();
    explicit operator bool() const { return bitmap != nullptr; }
};

// Decodes the PNG resource of that name (as make_resources.cmake names them: "n0", "n0_2x").
SkinBitmap loadPngResource(HINSTANCE instance, const std::string& name);

class SkinBitmaps {
  public:
    explicit SkinBitmaps(HINSTANCE instance);

    // The picture as drawn 1:1 at 1x, or its 2x version (falling back to 1x when the skin has none).
    const SkinBitmap& plain(Image picture, bool doubled) const;
    // The same with every pixel of the colour of its bottom-left pixel transparent.
    const SkinBitmap& seeThrough(Image picture, bool doubled) const;
    // Resampled from the 2x version to exactly this many device pixels.
    const SkinBitmap& fitted(Image picture, bool seeThrough, int width, int height) const;

    // Names of the pictures the skin should hold but the program lacks.
    std::string missing() const;

  private:
    struct Version {
        SkinBitmap plain;
        mutable SkinBitmap keyed;
        mutable bool keyedReady = false;
    };
    struct Entry {
        Version normal;
        mutable Version doubled;
        mutable bool doubledRead = false;
    };
    const Version& version(Image picture, bool doubled) const;

    HINSTANCE instance_;
    std::array<Entry, kImageCount> entries_;
    mutable std::unordered_map<std::uint64_t, SkinBitmap> fitted_;
};

} // namespace quelvex
