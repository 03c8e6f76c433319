#pragma once

#include <cstdint>

namespace quelvex {

// Size and free space of the disk that holds the current directory.
class DiskInfo {
  public:
    virtual ~DiskInfo() = default;
    // Bytes, or -1 when the query fails.
    virtual std::int64_t totalBytes() = 0;
    // Bytes available to this user, or -1 when the query fails.
    virtual std::int64_t freeBytes() = 0;
};

} // namespace quelvex
