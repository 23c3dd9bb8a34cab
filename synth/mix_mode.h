#pragma once
#include <cstdint>

namespace zudorave {

// A mixing mode is the command id of its radio button.
inline constexpr uint32_t ModeLsb = 1039;
inline constexpr uint32_t ModeUsb = 1040;
inline constexpr uint32_t ModeDsb = 1041;
inline constexpr uint32_t ModeSum = 1042;
inline constexpr uint32_t ModeProduct = 1043;

// OscMask bits.
inline constexpr int32_t Af1Bit = 1;
inline constexpr int32_t Af2Bit = 2;
inline constexpr int32_t Af3Bit = 4;
inline constexpr int32_t MikeBit = 8;

}  // namespace zudorave
