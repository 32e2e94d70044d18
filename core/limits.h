// The size limit shared by the file engines.
#pragma once

#include <cstdint>

// Sources and joined outputs must stay below 2 GiB: the whole file is held in one block, and
// the piece arithmetic is 32-bit.
constexpr uint32_t kMaxFileBytes = 0x7FFFFFFFu;
