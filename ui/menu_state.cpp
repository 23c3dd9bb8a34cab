// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu_state.h"

#include "morse/operating_state.h"
#include "ui/menu_resource.h"

namespace zudorave {

MenuEnabling MenuStateFor(StationState state) {
  const bool resting = state == StationState::Idle || state == StationState::Held;
  // Sending and receiving leave only Stop; the other states leave every command offered.
  const bool busy = state == StationState::Transmitting || Receives(state);
  return {{{ID_FILE_OPEN, resting},
           {ID_FILE_SAVE, resting},
           {ID_FILE_SAVE_AS, false},
           {ID_CONFIG_RECEIVE, !busy},
           {ID_CONFIG_TRANSMIT, !busy},
           {ID_CONFIG_MANUAL, !busy},
           {ID_CONFIG_STOP, !resting}}};
}

}  // namespace zudorave
