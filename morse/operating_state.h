#pragma once
// What the station is doing. The value is shared between threads, so it is kept in a
// std::atomic<int32_t>; these are its values.
#include <cstdint>

namespace zudorave {

inline constexpr int32_t Idle = 0;
inline constexpr int32_t Transmitting = 1;
inline constexpr int32_t Receiving = 2;
inline constexpr int32_t ReceivingFromHeld = 3;
inline constexpr int32_t StoppingTransmit = 4;
inline constexpr int32_t Held = 5;
inline constexpr int32_t ManualKeying = 6;
inline constexpr int32_t ManualFromHeld = 7;

}  // namespace zudorave
