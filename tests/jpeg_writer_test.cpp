// The capture file on disk: exactly the encoder's bytes, replacing an older picture, in a folder
// whose name is not ASCII.
#include "actions/jpeg_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace quelvex::testing {
namespace {

std::vector<unsigned char> encodeInMemory(const Rgb32Pixels& px) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(px.width);
    cinfo.image_height = static_cast<JDIMENSION>(px.height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(px.data + cinfo.next_scanline * px.stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

TEST(JpegWriter, WritesTheEncodersBytesAndReplacesTheOldFile) {
    namespace fs = std::filesystem;
    // A name of our own per run: another checkout may be running these tests on this machine.
    fs::path folder = fs::temp_directory_path() / u8"quelvex-año-";
    folder += std::to_string(std::random_device{}());
    fs::create_directories(folder);
    const std::u8string target = (folder / "capture.jpg").u8string();
    const std::string path(target.begin(), target.end());

    warmUpJpegEncoder(64); // leaves nothing behind that would change the file
    for (std::uint32_t seed : {7u, 91u}) {
        // A busy picture, so that the file holds many 0x0A and 0x1A bytes.
        std::vector<std::uint32_t> words(64 * 48);
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<std::uint32_t>(i * 2654435761u * seed);
        const Rgb32Pixels px{reinterpret_cast<const std::uint8_t*>(words.data()), 64, 48, 64 * 4};
        EXPECT_EQ(writeJpeg(path, px), std::nullopt);
        std::ifstream in(folder / "capture.jpg", std::ios::binary);
        EXPECT_EQ(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}), encodeInMemory(px));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

} // namespace
} // namespace quelvex::testing
