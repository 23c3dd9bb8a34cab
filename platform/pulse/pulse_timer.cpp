// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_timer.h"

#include <pulse/pulseaudio.h>

namespace zudorave {

void PulseTimer::In(uint32_t ms) {
  pa_mainloop_api* api = connection_.Api();
  timeval when{};
  pa_timeval_add(pa_gettimeofday(&when), pa_usec_t{ms} * PA_USEC_PER_MSEC);
  if (event_) {
    api->time_restart(event_, &when);
    return;
  }
  event_ = api->time_new(
      api, &when,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
        static_cast<PulseTimer*>(self)->step_();
      },
      this);
}

void PulseTimer::Cancel() {
  if (!event_) return;
  connection_.Api()->time_free(event_);
  event_ = nullptr;
}

}  // namespace zudorave
