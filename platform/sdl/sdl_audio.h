#pragma once
// SDL's audio subsystem, started once for the program's life, and the thread that closes its
// devices. Closing an SDL device joins the device's audio thread, which may be waiting on the
// sound server for a second or more (a sink nothing consumes, a suspended or Bluetooth sink).
// So a device is closed in two steps: paused on the caller's thread, which is quick and silences
// it at once, then closed here in the background.
//
// Threads: construct and destroy on one thread, before and after every device (the program
// makes it first and destroys it last). Open, Close, CountDevices and FinishCloses may be called
// from any thread.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

struct SDL_AudioSpec;

namespace zudorave {

class SdlAudio {
 public:
  SdlAudio();
  // Finishes every close handed over, then stops the subsystem.
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the default device, paused, in exactly the format asked for (SDL converts when the
  // server wants another). Returns its id, or 0 when there is no server or device.
  uint32_t Open(bool capture, const SDL_AudioSpec& wanted, SDL_AudioSpec& obtained);
  // Pauses the device, which returns once its callback is out and keeps it out for good, so
  // whatever the callback reads may be released right after; the device is closed later.
  void Close(uint32_t id);
  // Devices SDL knows of; 0 without a sound server.
  uint32_t CountDevices(bool capture);
  // Waits until every device handed to Close so far is closed.
  void FinishCloses();

 private:
  struct Device;
  bool Start();  // with opening_ held
  void RunCloser();

  std::mutex opening_;  // SDL's search for a free device slot is not safe from two threads
  bool started_ = false;

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
