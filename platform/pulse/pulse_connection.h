// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One client of the sound server on libpulse: a threaded mainloop and a context on it, with the
// steps every stream of ours takes to open, each bounded by the deadline of the open under way,
// so a stalled server never holds the caller past it.
//
// Threads: Start, and the destructor, on the owner's thread with no lock held. Everything else
// with the mainloop's lock held (a Lock, or inside a libpulse callback), on the owner's thread or
// on the mainloop's own.
#include <sys/time.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_mainloop_api;

namespace zudorave {

class PulseConnection {
 public:
  enum class Step : uint8_t { Done, Refused, TimedOut };
  enum class Side : uint8_t { Sink, Source };

  // Holds the mainloop's lock for a scope.
  class Lock {
   public:
    explicit Lock(PulseConnection& connection);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    pa_threaded_mainloop* mainloop_;
  };

  PulseConnection() = default;
  ~PulseConnection();
  PulseConnection(const PulseConnection&) = delete;
  PulseConnection& operator=(const PulseConnection&) = delete;

  // Starts the mainloop's thread once; false when libpulse cannot.
  bool Start();
  // The mainloop's lock, taken and given back across calls; on the owner's thread.
  void Acquire();
  void Release();
  bool Started() const { return mainloop_ != nullptr; }

  // The deadline the waits below keep, from now.
  void SetDeadline(uint32_t withinMs);
  // A context ready for streams, made anew when the last one failed.
  Step Connect();
  // Starts a context connecting without waiting; false when it cannot even start. State
  // changes go to the listener given to Watch.
  bool ConnectInBackground();
  void Disconnect();
  bool Ready() const;
  // False once the server has gone or refused us.
  bool Alive() const;
  // The server's name for the device of that side whose description or name is given; empty
  // asks for the default and finds it at once. Monitors of sinks are not sources here, as SDL
  // does not list them.
  Step FindDevice(Side side, const std::string& wanted, std::string& name);
  // How many devices of that side there are, monitors left out as above.
  Step CountDevices(Side side, uint32_t& count);
  // Waits on the mainloop until done() or the deadline; true when done.
  bool WaitFor(const std::function<bool()>& done);

  // Called on the mainloop's thread whenever the context's state changes.
  void Watch(std::function<void()> listener) { listener_ = std::move(listener); }
  // Wakes whatever waits in WaitFor to check again.
  void Signal();

  pa_context* Context() const { return context_; }
  pa_mainloop_api* Api() const;

 private:
  Step ListDevices(Side side,
                   const std::function<void(const char* description, const char* name)>& each);

  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  std::function<void()> listener_;
  std::atomic<bool> timedOut_{false};
  timeval deadline_{};
};

}  // namespace zudorave
