// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SDL's audio subsystem, started once for the program's life, and the thread that closes its
// devices. Closing an SDL device joins the device's audio thread, which may be waiting on the
// sound server for a second or more (a sink nothing consumes, a suspended or Bluetooth sink).
// So a device is closed in two steps: paused on the caller's thread, which is quick and silences
// it at once, then closed here in the background.
//
// Threads: construct and destroy on one thread, before and after every device (the program
// makes it first and destroys it last). Open, Close, CountDevices, DeviceNames, DriverName,
// StartFailure and FinishCloses may be called from any thread.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct SDL_AudioSpec;

namespace zudorave {

// Why a device did not open: its side, SDL's name of it (empty: the system's default) and
// SDL's reason.
struct AudioOpenFailure {
  bool capture = false;
  std::string device;
  std::string reason;
};

// The devices every open goes to, by SDL's name (empty: the system's default), and who hears
// why an open failed. That is called on the opening thread, once for a run of the same failure.
struct AudioChoice {
  std::string output;
  std::string input;
  std::function<void(const AudioOpenFailure&)> openFailed;
};

class SdlAudio {
 public:
  explicit SdlAudio(AudioChoice choice = {});
  // Finishes every close handed over, then stops the subsystem.
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the chosen device of that side, paused, in exactly the format asked for (SDL converts
  // when the server wants another). Returns its id, or 0 when there is no server or device.
  uint32_t Open(bool capture, const SDL_AudioSpec& wanted, SDL_AudioSpec& obtained);
  // Pauses the device, which returns once its callback is out and keeps it out for good, so
  // whatever the callback reads may be released right after; the device is closed later.
  void Close(uint32_t id);
  // Devices SDL knows of; 0 without a sound server.
  uint32_t CountDevices(bool capture);
  // Their names, as an AudioChoice takes them; none without a sound server.
  std::vector<std::string> DeviceNames(bool capture);
  // SDL's name of the sound system it plays on ("pulseaudio", "pipewire", "alsa", ...); empty
  // when there is none. At rest, the name it played on last, without starting again.
  std::string DriverName();
  // Stops the subsystem while no device of SDL's is open or waiting to close; whatever needs it
  // next starts it again. SDL's PulseAudio backend keeps a client of its own that hears every
  // change of the server's devices, other programs' streams and ours included, and SDL 2.26
  // leaks a little on each; at rest it hears none.
  void Rest();
  // SDL's reason when its audio subsystem has not started (no sound system at all).
  std::optional<std::string> StartFailure();
  // Waits until every device handed to Close so far is closed.
  void FinishCloses();

 private:
  struct Device;
  bool Start();  // with opening_ held
  void RunCloser();

  const AudioChoice choice_;

  std::mutex opening_;  // SDL's search for a free device slot is not safe from two threads
  bool started_ = false;
  std::string driver_;  // as of the last start
  std::string startFailure_;
  std::optional<AudioOpenFailure> lastFailure_;  // told already; cleared by an open that works

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable closed_;
  std::vector<Device> open_;
  std::vector<Device> waiting_;  // paused, to be closed
  int closing_ = 0;
  bool quit_ = false;
  std::thread closer_;  // last: starts once everything it reads is in place
};

}  // namespace zudorave
