// File size of a directory entry, 64-bit.
#pragma once

#include <cstdint>
#include <string>

// The size in bytes of the entry named Path (a file or a directory), or -1 when
// no entry of that name exists. Never throws.
int64_t FileSizeOf(const std::u16string& Path);
