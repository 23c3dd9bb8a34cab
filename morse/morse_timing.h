#pragma once
#include <cstdint>

namespace zudorave {

inline constexpr int32_t InitialDotMs = 171;  // 7 words per minute

}  // namespace zudorave
