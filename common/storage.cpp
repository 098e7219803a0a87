#include "storage.h"

#include <unistd.h>

#include <string>

#include "console.h"

void CHECK_STORAGE(uint64_t nBytes, std::string_view what) {
  const long nPages = ::sysconf(_SC_PHYS_PAGES);
  const long nPageSize = ::sysconf(_SC_PAGESIZE);
  if (nPages <= 0 || nPageSize <= 0) return;
  const uint64_t nMemory = static_cast<uint64_t>(nPages) * static_cast<uint64_t>(nPageSize);
  if (nBytes <= nMemory) return;
  const uint64_t nMiB = 1 << 20;
  std::string report = "memory cannot be obtained for ";
  report.append(what.data(), what.size());
  report += ": it needs " + std::to_string(nBytes / nMiB) + " MiB, more than the machine's " +
            std::to_string(nMemory / nMiB) + " MiB";
  ABNORMAL_END(report);
}
