// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station is doing. The program keeps it as one 32-bit value whose numbers are fixed
// (0 to 7, below); the code speaks of it by name.
#include <cstdint>

namespace zudorave {

enum class StationState : int32_t {
  Idle = 0,
  Transmitting = 1,
  Receiving = 2,
  ReceivingFromHeld = 3,
  StoppingTransmit = 4,
  Held = 5,
  ManualKeying = 6,
  ManualFromHeld = 7,
};

inline constexpr StationState AllStationStates[] = {
    StationState::Idle,
    StationState::Transmitting,
    StationState::Receiving,
    StationState::ReceivingFromHeld,
    StationState::StoppingTransmit,
    StationState::Held,
    StationState::ManualKeying,
    StationState::ManualFromHeld,
};

// The families the engine and the threads look for.
constexpr bool Sends(StationState state) {
  return state == StationState::Transmitting || state == StationState::StoppingTransmit;
}
constexpr bool KeysByHand(StationState state) {
  return state == StationState::ManualKeying || state == StationState::ManualFromHeld;
}
constexpr bool Receives(StationState state) {
  return state == StationState::Receiving || state == StationState::ReceivingFromHeld;
}

}  // namespace zudorave
