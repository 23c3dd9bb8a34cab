// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_connection.h"

#include <pulse/pulseaudio.h>

namespace zudorave {

PulseConnection::Lock::Lock(PulseConnection& connection) : mainloop_(connection.mainloop_) {
  pa_threaded_mainloop_lock(mainloop_);
}

PulseConnection::Lock::~Lock() { pa_threaded_mainloop_unlock(mainloop_); }

PulseConnection::~PulseConnection() {
  if (!mainloop_) return;
  {
    Lock lock(*this);
    Disconnect();
  }
  pa_threaded_mainloop_stop(mainloop_);
  pa_threaded_mainloop_free(mainloop_);
}

bool PulseConnection::Start() {
  if (mainloop_) return true;
  mainloop_ = pa_threaded_mainloop_new();
  if (!mainloop_) return false;
  if (pa_threaded_mainloop_start(mainloop_) < 0) {
    pa_threaded_mainloop_free(mainloop_);
    mainloop_ = nullptr;
    return false;
  }
  return true;
}

void PulseConnection::Acquire() { pa_threaded_mainloop_lock(mainloop_); }

void PulseConnection::Release() { pa_threaded_mainloop_unlock(mainloop_); }

pa_mainloop_api* PulseConnection::Api() const { return pa_threaded_mainloop_get_api(mainloop_); }

void PulseConnection::SetDeadline(uint32_t withinMs) {
  pa_timeval_add(pa_gettimeofday(&deadline_), pa_usec_t{withinMs} * PA_USEC_PER_MSEC);
}

bool PulseConnection::Ready() const {
  return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool PulseConnection::Alive() const {
  return context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

PulseConnection::Step PulseConnection::Connect() {
  if (Ready()) return Step::Done;
  if (!Alive() && !ConnectInBackground()) return Step::Refused;
  const auto settled = [this] {
    return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) || Ready();
  };
  if (!WaitFor(settled)) return Step::TimedOut;
  if (Ready()) return Step::Done;
  Disconnect();
  return Step::Refused;
}

bool PulseConnection::ConnectInBackground() {
  Disconnect();  // one the server dropped: connect anew
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Zudorave");
  pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "zudorave");
  context_ = pa_context_new_with_proplist(Api(), "Zudorave", properties);
  pa_proplist_free(properties);
  if (!context_) return false;
  pa_context_set_state_callback(
      context_,
      [](pa_context*, void* self) {
        auto& connection = *static_cast<PulseConnection*>(self);
        connection.Signal();
        if (connection.listener_) connection.listener_();
      },
      this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    Disconnect();
    return false;
  }
  return true;
}

void PulseConnection::Disconnect() {
  if (!context_) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

PulseConnection::Step PulseConnection::FindDevice(Side side, const std::string& wanted,
                                                  std::string& name) {
  name.clear();
  if (wanted.empty()) return Step::Done;
  std::string found;
  const Step step = ListDevices(side, [&](const char* description, const char* deviceName) {
    if (found.empty() && (wanted == description || wanted == deviceName)) found = deviceName;
  });
  if (step != Step::Done) return step;
  name = found;
  return name.empty() ? Step::Refused : Step::Done;
}

PulseConnection::Step PulseConnection::CountDevices(Side side, uint32_t& count) {
  count = 0;
  return ListDevices(side, [&count](const char*, const char*) { ++count; });
}

// Sources that monitor a sink are left out, as SDL leaves them out of its list.
PulseConnection::Step PulseConnection::ListDevices(
    Side side, const std::function<void(const char* description, const char* name)>& each) {
  struct Search {
    PulseConnection* connection;
    const std::function<void(const char*, const char*)>& each;
    bool done = false;
    void Take(int last, const char* description, const char* deviceName) {
      if (last) {
        done = true;
        connection->Signal();
      } else if (deviceName) {
        each(description ? description : "", deviceName);
      }
    }
  } search{this, each, false};
  pa_operation* operation = nullptr;
  if (side == Side::Sink) {
    operation = pa_context_get_sink_info_list(
        context_,
        [](pa_context*, const pa_sink_info* info, int last, void* data) {
          static_cast<Search*>(data)->Take(last, info ? info->description : nullptr,
                                           info ? info->name : nullptr);
        },
        &search);
  } else {
    operation = pa_context_get_source_info_list(
        context_,
        [](pa_context*, const pa_source_info* info, int last, void* data) {
          const bool listed = info && info->monitor_of_sink == PA_INVALID_INDEX;
          static_cast<Search*>(data)->Take(last, listed ? info->description : nullptr,
                                           listed ? info->name : nullptr);
        },
        &search);
  }
  if (!operation) return Step::Refused;
  WaitFor([&search] { return search.done; });
  if (!search.done) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  return search.done ? Step::Done : Step::TimedOut;
}

bool PulseConnection::WaitFor(const std::function<bool()>& done) {
  timedOut_ = false;
  pa_mainloop_api* api = Api();
  pa_time_event* timer = api->time_new(
      api, &deadline_,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
        auto& connection = *static_cast<PulseConnection*>(self);
        connection.timedOut_ = true;
        connection.Signal();
      },
      this);
  while (!done() && !timedOut_) pa_threaded_mainloop_wait(mainloop_);
  api->time_free(timer);
  return done();
}

void PulseConnection::Signal() { pa_threaded_mainloop_signal(mainloop_, 0); }

}  // namespace zudorave
