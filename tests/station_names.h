// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names of the station's values in test messages.
#include <ostream>

#include "morse/operating_state.h"

namespace zudorave {

inline const char* Name(StationState state) {
  constexpr const char* names[] = {
      "Idle", "Transmitting", "Receiving",     "ReceivingFromHeld", "StoppingTransmit",
      "Held", "ManualKeying", "ManualFromHeld"};
  const auto index = static_cast<std::size_t>(state);
  return index < std::size(names) ? names[index] : "?";
}

inline std::ostream& operator<<(std::ostream& out, StationState state) {
  return out << Name(state);
}

}  // namespace zudorave
