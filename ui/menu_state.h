// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which File and Config items are enabled in each operating state. The other items are never
// greyed here; "Use Speaker" has a rule of its own.
#include <array>
#include <cstdint>
#include <utility>

#include "morse/operating_state.h"

namespace zudorave {

// Pairs of menu command id and whether it is enabled, for the seven items the state decides.
using MenuEnabling = std::array<std::pair<int, bool>, 7>;

MenuEnabling MenuStateFor(StationState state);

}  // namespace zudorave
