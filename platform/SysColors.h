// The system's colour table (the Windows COLOR_* indexes 0..30).
//
// Windows asks GetSysColor; elsewhere the classic Windows 2000 scheme is used
// (button face 212,208,200, shadow 128,128,128, highlight 255,255,255, dark shadow
// 64,64,64, ...). Values are 0x00BBGGRR; an index outside the table gives black.
#pragma once

#include <cstdint>

namespace platform {
uint32_t SysColor(int index);
}  // namespace platform
