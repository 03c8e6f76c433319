#include "platform/linux/disk_statvfs.h"

namespace quelvex {
namespace {

// Answers this close together belong to the same poll.
constexpr auto kReuseFor = std::chrono::milliseconds(20);

} // namespace

const struct statvfs* StatvfsDisk::query() {
    const auto now = std::chrono::steady_clock::now();
    if (now - readAt_ > kReuseFor) {
        valid_ = statvfs(".", &fs_) == 0;
        readAt_ = now;
    }
    return valid_ ? &fs_ : nullptr;
}

std::int64_t StatvfsDisk::totalBytes() {
    const struct statvfs* fs = query();
    return fs ? static_cast<std::int64_t>(static_cast<unsigned long long>(fs->f_blocks) * fs->f_frsize) : -1;
}

std::int64_t StatvfsDisk::freeBytes() {
    const struct statvfs* fs = query();
    return fs ? static_cast<std::int64_t>(static_cast<unsigned long long>(fs->f_bavail) * fs->f_frsize) : -1;
}

} // namespace quelvex
