#include "actions/jpeg_writer.h"

#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <jpeglib.h>

namespace quelvex {
namespace {

// The few file calls that differ between systems. Paths are UTF-8 on both.
#ifdef _WIN32
// Windows' narrow calls read paths in the ANSI code page: go through UTF-16 instead.
std::wstring widen(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                        static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                              wide.data(), n);
    return wide;
}

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}
unsigned long processId() {
    return ::GetCurrentProcessId();
}

// Binary mode: text mode would write CR before every LF byte of the picture.
int createNew(const std::string& path) {
    return ::_wopen(widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
std::FILE* streamOf(int fd) {
    return ::_fdopen(fd, "wb");
}
void closeFile(int fd) {
    ::_close(fd);
}
void removeFile(const std::string& path) {
    ::_wremove(widen(path).c_str());
}

// rename() refuses an existing target on Windows; the capture must replace it.
bool replaceFile(const std::string& from, const std::string& to) {
    if (::MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    switch (::GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    default: errno = EIO;
    }
    return false;
}
#else
std::size_t lastSeparator(const std::string& path) {
    return path.rfind('/');
}
long processId() {
    return ::getpid();
}
int createNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
std::FILE* streamOf(int fd) {
    return ::fdopen(fd, "wb");
}
void closeFile(int fd) {
    ::close(fd);
}
void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}
bool replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}
#endif

// libjpeg's own error handler ends the process; this one jumps back to the encoder with the
// message, so a failed write is only a failed capture.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int savedErrno;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->savedErrno = errno;
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// To `file`, or to a buffer libjpeg allocates in `*memory` when `file` is null. Kept free of
// objects with destructors: a longjmp out of libjpeg lands here.
bool encode(std::FILE* file, unsigned char** memory, unsigned long* memorySize, const Rgb32Pixels& px,
            ErrorManager& err) {
    jpeg_compress_struct cinfo{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpOnError;
    err.savedErrno = 0;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    if (file != nullptr)
        jpeg_stdio_dest(&cinfo, file);
    else
        jpeg_mem_dest(&cinfo, memory, memorySize);
    cinfo.image_width = static_cast<JDIMENSION>(px.width);
    cinfo.image_height = static_cast<JDIMENSION>(px.height);
    cinfo.input_components = 4;
    // The 32-bit words read straight, with no conversion copy.
    cinfo.in_color_space = std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    constexpr JDIMENSION kBatch = 16;
    JSAMPROW rows[kBatch];
    while (cinfo.next_scanline < cinfo.image_height) {
        JDIMENSION n = 0;
        for (; n < kBatch && cinfo.next_scanline + n < cinfo.image_height; ++n)
            rows[n] = const_cast<JSAMPROW>(px.data + (cinfo.next_scanline + n) * px.stride);
        jpeg_write_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

std::string describe(const std::string& what, int error) {
    return error != 0 ? what + ": " + std::strerror(error) : what;
}

} // namespace

std::optional<std::string> writeJpeg(const std::string& path, const Rgb32Pixels& pixels) {
    if (pixels.data == nullptr || pixels.width <= 0 || pixels.height <= 0) return "no picture to write";

    // The temporary file sits in the target's folder so that the rename never crosses devices.
    const std::size_t slash = lastSeparator(path);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    static unsigned serial = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + ".quelvex-capture-" + std::to_string(processId()) + "-" + std::to_string(++serial) +
               ".tmp";
        fd = createNew(temp);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return describe("cannot create a file in the folder of " + path, errno);

    std::FILE* file = streamOf(fd);
    if (file == nullptr) {
        const int error = errno;
        closeFile(fd);
        removeFile(temp);
        return describe("cannot write " + temp, error);
    }
    ErrorManager err;
    const bool encoded = encode(file, nullptr, nullptr, pixels, err);
    // fclose flushes what stdio still holds: a full disk may only show here.
    const int closeError = std::fclose(file) == 0 ? 0 : errno;
    std::optional<std::string> failure;
    if (!encoded)
        failure = describe("cannot write " + path + " (" + err.message + ")", err.savedErrno);
    else if (closeError != 0)
        failure = describe("cannot write " + path, closeError);
    else if (!replaceFile(temp, path))
        failure = describe("cannot replace " + path, errno);
    if (failure) removeFile(temp);
    return failure;
}

void warmUpJpegEncoder(int width) {
    if (width <= 0) return;
    constexpr int kRows = 16;
    const std::vector<std::uint8_t> strip(static_cast<std::size_t>(width) * 4 * kRows);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    ErrorManager err;
    encode(nullptr, &out, &size, Rgb32Pixels{strip.data(), width, kRows, static_cast<std::size_t>(width) * 4},
           err);
    std::free(out);
}

} // namespace quelvex
