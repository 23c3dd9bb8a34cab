// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace zudorave {

class Speaker {
 public:
  virtual ~Speaker() = default;
  // A tone of the given frequency and length; returns when it has played.
  virtual void Beep(uint32_t frequency, uint32_t milliseconds) = 0;
  // The desktop's own alert sound.
  virtual void MessageBeep(uint32_t type) = 0;
};

}  // namespace zudorave
