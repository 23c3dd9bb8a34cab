#include "ui/menu_state.h"

#include "morse/operating_state.h"
#include "ui/menu_resource.h"

namespace zudorave {

MenuEnabling MenuStateFor(int32_t operatingState) {
  const bool resting = operatingState == Idle || operatingState == Held;
  // Sending and receiving leave only Stop; the other states leave every command offered.
  const bool busy = operatingState == Transmitting || operatingState == Receiving ||
                    operatingState == ReceivingFromHeld;
  return {{{ID_FILE_OPEN, resting},
           {ID_FILE_SAVE, resting},
           {ID_FILE_SAVE_AS, false},
           {ID_CONFIG_RECEIVE, !busy},
           {ID_CONFIG_TRANSMIT, !busy},
           {ID_CONFIG_MANUAL, !busy},
           {ID_CONFIG_STOP, !resting}}};
}

}  // namespace zudorave
