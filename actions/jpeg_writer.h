// Capture files: 32-bit pixels straight to a JPEG file with libjpeg-turbo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quelvex {

// Pixels as the screen hands them over: one 32-bit word each, 0xXXRRGGBB in the machine's byte
// order (Qt's RGB32, a 24-bit X11 visual), so blue, green, red, unused in memory on a
// little-endian machine; rows `stride` bytes apart.
struct Rgb32Pixels {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

// Writes a baseline colour JFIF at quality 90, the library's defaults otherwise, to `path`.
// The picture goes to a temporary file in the same folder first and replaces `path` only once
// complete, so a failure half-way (disk full) never leaves a truncated file where a good one
// stood. Returns what went wrong, or nothing on success.
std::optional<std::string> writeJpeg(const std::string& path, const Rgb32Pixels& pixels);

// Encodes a blank strip `width` pixels wide in memory and drops it, so that the next writeJpeg
// on this thread finds the encoder's code, tables and memory ready: the first encode of a
// process otherwise takes about a millisecond longer. Writes no file.
void warmUpJpegEncoder(int width);

} // namespace quelvex
