// Large storage is checked before it is taken.
#pragma once

#include <cstdint>
#include <string_view>

// Storage beyond the machine's physical memory is refused before any of it is taken:
// the system may promise it anyway and then end the process once the pages are touched.
// Ends abnormally, naming what the storage is for, when nBytes exceed that memory.
void CHECK_STORAGE(uint64_t nBytes, std::string_view what);
