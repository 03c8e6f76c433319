#pragma once

#include "ui/disk.h"

#include <chrono>
#include <sys/statvfs.h>

namespace quelvex {

// The file system of the current directory, through statvfs. The poll asks for the size and the
// free space one after the other; both answers come from one call.
class StatvfsDisk : public DiskInfo {
  public:
    std::int64_t totalBytes() override;
    std::int64_t freeBytes() override;

  private:
    const struct statvfs* query();
    struct statvfs fs_ {};
    bool valid_ = false;
    std::chrono::steady_clock::time_point readAt_{};
};

} // namespace quelvex
