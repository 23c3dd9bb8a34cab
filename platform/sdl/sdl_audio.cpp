#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <algorithm>

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

SdlAudio::SdlAudio() : closer_([this] { RunCloser(); }) {
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
  if (!started_) started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  return started_;
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
  std::lock_guard opening(opening_);
  if (!Start()) return 0;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &wanted, &obtained, 0);
  if (id == 0) return 0;
  std::lock_guard lock(mutex_);
  open_.push_back(Device{id, capture, wanted, obtained});
  return id;
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
