#include "platform/windows/skin_bitmaps.h"

#include "ui/face_drawing.h"
#include "ui/layout.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace quelvex {

SkinBitmap::SkinBitmap(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down, so rows run as in the PNG
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;
    width = w;
    height = h;
    pixels = static_cast<std::uint32_t*>(bits);
}

SkinBitmap::SkinBitmap(SkinBitmap&& other) noexcept
    : bitmap(std::exchange(other.bitmap, nullptr)), width(other.width), height(other.height),
      pixels(std::exchange(other.pixels, nullptr)) {}

SkinBitmap& SkinBitmap::operator=(SkinBitmap&& other) noexcept {
    if (this != &other) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = std::exchange(other.bitmap, nullptr);
        pixels = std::exchange(other.pixels, nullptr);
        width = other.width;
        height = other.height;
    }
    return *this;
}

SkinBitmap::~SkinBitmap() {
    if (bitmap) DeleteObject(bitmap);
}

SkinBitmap loadPngResource(HINSTANCE instance, const std::string& name) {
    std::wstring wide;
    for (char c : name)
        wide += static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c)));
    HRSRC found = FindResourceW(instance, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(instance, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgba =
        stbi_load_from_memory(static_cast<const stbi_uc*>(data),
                              static_cast<int>(SizeofResource(instance, found)), &w, &h, &channels, 4);
    if (!rgba) return {};
    SkinBitmap out(w, h);
    if (out) {
        const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        for (std::size_t i = 0; i < count; ++i) {
            const stbi_uc* p = rgba + 4 * i;
            // Premultiplied BGRA: what AlphaBlend wants, and the same as plain for opaque pixels.
            const unsigned a = p[3];
            out.pixels[i] =
                (a << 24) | ((p[0] * a / 255u) << 16) | ((p[1] * a / 255u) << 8) | (p[2] * a / 255u);
        }
    }
    stbi_image_free(rgba);
    return out;
}

namespace {

SkinBitmap keyedOut(const SkinBitmap& source) {
    if (!source) return {};
    SkinBitmap out(source.width, source.height);
    if (!out) return out;
    const std::size_t count =
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
    std::copy(source.pixels, source.pixels + count, out.pixels);
    keyOutCornerColour(out.pixels, out.width, out.height, static_cast<std::size_t>(out.width));
    return out;
}

// Area-weighted resampling of premultiplied pixels: each device pixel takes the mean of the
// source area it covers, which keeps downscaled artwork sharp and edges of cut-outs clean.
SkinBitmap resampled(const SkinBitmap& source, int width, int height) {
    SkinBitmap out(width, height);
    if (!out || !source) return out;
    struct Span {
        int first;
        std::vector<float> weights;
    };
    const auto spans = [](int from, int to) {
        std::vector<Span> result(static_cast<std::size_t>(to));
        const double step = static_cast<double>(from) / to;
        for (int d = 0; d < to; ++d) {
            const double a = d * step, b = (d + 1) * step;
            Span& s = result[static_cast<std::size_t>(d)];
            s.first = static_cast<int>(a);
            for (int x = s.first; x < from && x < b; ++x)
                s.weights.push_back(
                    static_cast<float>((std::min<double>(b, x + 1) - std::max<double>(a, x)) / step));
        }
        return result;
    };
    const auto xs = spans(source.width, width), ys = spans(source.height, height);
    std::vector<float> row(static_cast<std::size_t>(source.width) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0.0f);
        const Span& sy = ys[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < sy.weights.size(); ++k) {
            const std::uint32_t* line =
                source.pixels + static_cast<std::size_t>(sy.first + static_cast<int>(k)) * source.width;
            for (int x = 0; x < source.width; ++x)
                for (int c = 0; c < 4; ++c)
                    row[static_cast<std::size_t>(x) * 4 + c] += sy.weights[k] * ((line[x] >> (8 * c)) & 0xFF);
        }
        for (int x = 0; x < width; ++x) {
            const Span& sx = xs[static_cast<std::size_t>(x)];
            float acc[4] = {};
            for (std::size_t k = 0; k < sx.weights.size(); ++k)
                for (int c = 0; c < 4; ++c)
                    acc[c] +=
                        sx.weights[k] * row[static_cast<std::size_t>(sx.first + static_cast<int>(k)) * 4 + c];
            std::uint32_t px = 0;
            for (int c = 0; c < 4; ++c)
                px |= static_cast<std::uint32_t>(std::clamp(acc[c] + 0.5f, 0.0f, 255.0f)) << (8 * c);
            out.pixels[static_cast<std::size_t>(y) * width + x] = px;
        }
    }
    return out;
}

} // namespace

SkinBitmaps::SkinBitmaps(HINSTANCE instance) : instance_(instance) {
    for (Image picture : skinPictures())
        entries_[static_cast<std::size_t>(picture)].normal.plain =
            loadPngResource(instance, std::string(imageName(picture)));
}

const SkinBitmaps::Version& SkinBitmaps::version(Image picture, bool doubled) const {
    static const Version none;
    if (picture >= Image::Count) return none;
    const Entry& e = entries_[static_cast<std::size_t>(picture)];
    if (!doubled) return e.normal;
    if (!e.doubledRead) {
        e.doubledRead = true;
        e.doubled.plain = loadPngResource(instance_, std::string(imageName(picture)) + "_2x");
    }
    return e.doubled.plain ? e.doubled : e.normal;
}

const SkinBitmap& SkinBitmaps::plain(Image picture, bool doubled) const {
    return version(picture, doubled).plain;
}

const SkinBitmap& SkinBitmaps::seeThrough(Image picture, bool doubled) const {
    const Version& v = version(picture, doubled);
    if (!v.keyedReady) {
        v.keyed = keyedOut(v.plain);
        v.keyedReady = true;
    }
    return v.keyed;
}

const SkinBitmap& SkinBitmaps::fitted(Image picture, bool seeThrough, int width, int height) const {
    static const SkinBitmap none;
    if (picture >= Image::Count || width <= 0 || height <= 0) return none;
    const std::uint64_t key = (std::uint64_t(picture) << 33) | (std::uint64_t(seeThrough) << 32) |
                              (std::uint64_t(width & 0xFFFF) << 16) | std::uint64_t(height & 0xFFFF);
    if (const auto it = fitted_.find(key); it != fitted_.end()) return it->second;
    const SkinBitmap& source = seeThrough ? this->seeThrough(picture, true) : plain(picture, true);
    if (!source) return none;
    // Every size a scale change brings is another set; a few hundred is one or two scales.
    if (fitted_.size() > 1024) fitted_.clear();
    return fitted_.emplace(key, resampled(source, width, height)).first->second;
}

std::string SkinBitmaps::missing() const {
    std::string names;
    for (Image picture : skinPictures())
        if (!entries_[static_cast<std::size_t>(picture)].normal.plain) {
            if (!names.empty()) names += ", ";
            names += imageName(picture);
        }
    return names;
}

} // namespace quelvex
