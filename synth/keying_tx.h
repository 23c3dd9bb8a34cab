// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying side's own output: a render output of its own that plays whatever the keying
// source renders, so keying never touches the generator's loop and the sound server mixes the
// two. OpenSndTx, StopSndTx and CloseSndTx on the user-interface thread; the source renders on
// the output's audio thread while it is open.
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/render_out.h"

namespace zudorave {

class KeyingTx : private RenderSource {
 public:
  // device and source outlive this object.
  KeyingTx(RenderOut& device, RenderSource& source);
  // Closes the device, so the source is never asked again.
  ~KeyingTx() override;
  KeyingTx(const KeyingTx&) = delete;
  KeyingTx& operator=(const KeyingTx&) = delete;

  // Opens the device playing the source, for a run; false when it cannot. An open device is
  // closed first, so none is ever orphaned.
  bool OpenSndTx();
  // Silent at once: the source is not asked any more; the device stays open.
  void StopSndTx();
  // Releases the device; always true.
  bool CloseSndTx();

  bool DeviceOpen() const { return open_; }
  // Any thread while open: the device went away under it (see RenderOut::Lost).
  bool DeviceLost() const { return device_.Lost(); }

 private:
  void Render(std::span<int16_t> out) override;

  RenderOut& device_;
  RenderSource& source_;
  std::atomic<bool> silent_{false};
  bool open_ = false;
};

}  // namespace zudorave
