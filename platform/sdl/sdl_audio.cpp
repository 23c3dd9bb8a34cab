// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/quiet_alsa.h"

namespace zudorave {

// Why an open on one thread may run while the closer closes another device (SDL 2.26):
// SDL_CloseAudioDevice stops and joins only its own device's thread, frees only its own device
// and writes only its own slot of the device table (to null); SDL_OpenAudioDevice takes a slot
// it found null, so never the one being closed. The sound server's client state is shared, and
// SDL's PulseAudio backend guards it with the threaded main loop's lock on every call; that lock
// is not held while the closing thread waits on the server. Two opens at once are not safe
// (both may pick the same free slot), so opens take turns.
struct SdlAudio::Device {
  SDL_AudioDeviceID id;
  bool capture;
  SDL_AudioSpec wanted;
  SDL_AudioSpec obtained;
};

namespace {

bool SameRequest(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
  return a.freq == b.freq && a.format == b.format && a.channels == b.channels &&
         a.samples == b.samples && a.callback == b.callback && a.userdata == b.userdata;
}

}  // namespace

SdlAudio::SdlAudio(AudioChoice choice)
    : choice_(std::move(choice)), closer_([this] { RunCloser(); }) {
  // Starting audio starts SDL's events, which would take SIGINT and SIGTERM over and turn them
  // into quit events no one reads; the program handles its signals itself.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // ALSA, SDL's last resort, prints its own lines when it finds no card; SDL's reason is
  // what openFailed hears.
  QuietAlsaErrors();
  std::lock_guard lock(opening_);
  Start();
}

SdlAudio::~SdlAudio() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  closer_.join();
  // Quitting closes whatever is still open.
  if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Tried again on each open while it fails, so a sound server that comes up later is found.
bool SdlAudio::Start() {
  if (started_) return true;
  started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!started_) {
    startFailure_ = SDL_GetError();
    return false;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  driver_ = driver ? driver : "";
  return true;
}

uint32_t SdlAudio::Open(bool capture, const SDL_AudioSpec& wanted, SDL_AudioSpec& obtained) {
  {
    // A device of the same request still waiting to be closed is taken back: when the server
    // holds closes up, clicking a box on and off would otherwise use up SDL's 15 device slots.
    // It is paused, and a paused device has not called its callback since it was handed over.
    std::lock_guard lock(mutex_);
    const auto waiting = std::find_if(waiting_.rbegin(), waiting_.rend(), [&](const Device& d) {
      return d.capture == capture && SameRequest(d.wanted, wanted);
    });
    if (waiting != waiting_.rend()) {
      obtained = waiting->obtained;
      open_.push_back(*waiting);
      waiting_.erase(std::next(waiting).base());
      return open_.back().id;
    }
  }
  const std::string& device = capture ? choice_.input : choice_.output;
  std::optional<AudioOpenFailure> failure;
  {
    std::lock_guard opening(opening_);
    const bool started = Start();
    const SDL_AudioDeviceID id =
        started ? SDL_OpenAudioDevice(device.empty() ? nullptr : device.c_str(), capture ? 1 : 0,
                                      &wanted, &obtained, 0)
                : 0;
    if (id != 0) {
      lastFailure_.reset();
      std::lock_guard lock(mutex_);
      open_.push_back(Device{id, capture, wanted, obtained});
      return id;
    }
    AudioOpenFailure now{capture, device, started ? SDL_GetError() : startFailure_};
    const bool told = lastFailure_ && lastFailure_->capture == capture &&
                      lastFailure_->device == device && lastFailure_->reason == now.reason;
    if (!told) failure = lastFailure_ = std::move(now);
  }
  // Told outside the lock, so that whoever hears it may open again.
  if (failure && choice_.openFailed) choice_.openFailed(*failure);
  return 0;
}

void SdlAudio::Close(uint32_t id) {
  // SDL sets the pause flag with the device's lock held, which its thread holds around each
  // callback, and checks the flag under that lock before each callback.
  SDL_PauseAudioDevice(id, 1);
  {
    std::lock_guard lock(mutex_);
    const auto open =
        std::find_if(open_.begin(), open_.end(), [id](const Device& d) { return d.id == id; });
    if (open == open_.end()) return;
    waiting_.push_back(*open);
    open_.erase(open);
  }
  wake_.notify_one();
}

uint32_t SdlAudio::CountDevices(bool capture) {
  std::lock_guard opening(opening_);
  if (!Start()) return 0;
  return static_cast<uint32_t>(std::max(0, SDL_GetNumAudioDevices(capture ? 1 : 0)));
}

std::vector<std::string> SdlAudio::DeviceNames(bool capture) {
  std::lock_guard opening(opening_);
  std::vector<std::string> names;
  if (!Start()) return names;
  // Counting asks SDL to look again; the names are read from what it found.
  const int count = SDL_GetNumAudioDevices(capture ? 1 : 0);
  for (int i = 0; i < count; ++i) {
    if (const char* name = SDL_GetAudioDeviceName(i, capture ? 1 : 0)) names.emplace_back(name);
  }
  return names;
}

std::string SdlAudio::DriverName() {
  std::lock_guard opening(opening_);
  if (!started_ && !driver_.empty()) return driver_;
  if (!Start()) return {};
  return driver_;
}

void SdlAudio::Rest() {
  std::lock_guard opening(opening_);
  if (!started_) return;
  {
    std::lock_guard lock(mutex_);
    if (!open_.empty() || !waiting_.empty() || closing_ != 0) return;
  }
  // No open can start meanwhile (opening_ is held), and the closer has nothing to close.
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  started_ = false;
}

std::optional<std::string> SdlAudio::StartFailure() {
  std::lock_guard opening(opening_);
  if (Start()) return std::nullopt;
  return startFailure_;
}

void SdlAudio::FinishCloses() {
  std::unique_lock lock(mutex_);
  closed_.wait(lock, [this] { return waiting_.empty() && closing_ == 0; });
}

// Closes one device at a time, the oldest first; on quitting, the rest before it ends.
void SdlAudio::RunCloser() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !waiting_.empty(); });
    if (waiting_.empty()) return;
    const SDL_AudioDeviceID id = waiting_.front().id;
    waiting_.erase(waiting_.begin());
    ++closing_;
    lock.unlock();
    SDL_CloseAudioDevice(id);
    lock.lock();
    --closing_;
    closed_.notify_all();
  }
}

}  // namespace zudorave
