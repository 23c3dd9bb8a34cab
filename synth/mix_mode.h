// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace zudorave {

// How the enabled sources are combined: the sidebands of the AF3 carrier modulated by AF1 plus
// AF2, the sum, or the product. The numbers are the command ids of the radio buttons that pick
// the modes; ui/ checks at compile time that its buttons say the same.
enum class MixMode : uint32_t { Lsb = 1039, Usb = 1040, Dsb = 1041, Sum = 1042, Product = 1043 };

inline constexpr MixMode AllMixModes[] = {MixMode::Lsb, MixMode::Usb, MixMode::Dsb, MixMode::Sum,
                                          MixMode::Product};

// OscMask bits.
inline constexpr int32_t Af1Bit = 1;
inline constexpr int32_t Af2Bit = 2;
inline constexpr int32_t Af3Bit = 4;
inline constexpr int32_t MikeBit = 8;

}  // namespace zudorave
