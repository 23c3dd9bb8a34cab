// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_joystick.h"

#include <SDL.h>

#include <algorithm>

namespace zudorave {

namespace {

constexpr int CapturedButtons = 4;  // JOY_BUTTON1 to JOY_BUTTON4

}  // namespace

SdlJoystick::SdlJoystick() {
  // Starting joysticks starts SDL's events, which would take over SIGINT and SIGTERM and turn
  // them into quit events no one reads. The hint is read only when the events start, so it
  // holds only when the joystick starts them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  // No one reads SDL's queue: changes are read from the joystick's state in Poll. Disabling
  // also drops the device events queued while the subsystem started.
  if (started_) SDL_JoystickEventState(SDL_IGNORE);
}

SdlJoystick::~SdlJoystick() {
  ReleaseCapture(JOYSTICKID1);
  if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

uint32_t SdlJoystick::GetNumDevs() {
  if (!started_) return 0;
  // Hot-plugging is detected during an update; the queue being off, nothing else runs one.
  SDL_JoystickUpdate();
  return static_cast<uint32_t>(std::max(0, SDL_NumJoysticks()));
}

uint32_t SdlJoystick::SetCapture(JoystickTarget* target, uint32_t joystickId) {
  if (target == nullptr || joystickId != JOYSTICKID1) return JOYERR_PARMS;
  if (joystick_ != nullptr) return JOYERR_NOCANDO;
  if (GetNumDevs() == 0) return JOYERR_PARMS;
  joystick_ = SDL_JoystickOpen(0);
  if (joystick_ == nullptr) return JOYERR_UNPLUGGED;
  buttons_ = std::clamp(SDL_JoystickNumButtons(joystick_), 0, CapturedButtons);
  down_ = 0;
  target_ = target;
  return JOYERR_NOERROR;
}

uint32_t SdlJoystick::ReleaseCapture(uint32_t joystickId) {
  if (joystickId != JOYSTICKID1) return JOYERR_PARMS;
  if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  target_ = nullptr;
  return JOYERR_NOERROR;
}

void SdlJoystick::Poll() {
  if (joystick_ == nullptr) return;
  SDL_JoystickUpdate();
  // SDL marks every button of an unplugged joystick released; the player let go of none.
  if (!SDL_JoystickGetAttached(joystick_)) return;
  uint32_t now = 0;
  for (int i = 0; i < buttons_; ++i) {
    if (SDL_JoystickGetButton(joystick_, i) == SDL_PRESSED) now |= JOY_BUTTON1 << i;
  }
  const uint32_t changed = now ^ down_;
  down_ = now;
  JoystickTarget* const target = target_;
  for (int i = 0; i < CapturedButtons; ++i) {
    const uint32_t bit = JOY_BUTTON1 << i;
    if ((changed & bit) == 0) continue;
    // The target may release the capture from its handler; the rest is not for it then.
    if (target_ != target) return;
    target->OnJoyButton((now & bit) != 0 ? MM_JOY1BUTTONDOWN : MM_JOY1BUTTONUP, now | (bit << 8));
  }
}

}  // namespace zudorave
