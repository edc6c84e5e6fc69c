#pragma once

// The page cache emptied (root only), so a run reads from the disk as a
// workstation that has just started would.

#include <fcntl.h>
#include <unistd.h>

namespace kestrova::bench {

inline bool DropCaches() {
  ::sync();
  const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
  if (fd < 0) return false;
  const bool ok = ::write(fd, "3", 1) == 1;
  ::close(fd);
  return ok;
}

}  // namespace kestrova::bench
