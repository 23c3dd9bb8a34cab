// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the audio thread tells the decoder about manual keying: each element once its tone has
// ended, and the gaps after the last element as they grow long enough to end a character
// (two units) and a word (five).
#include <cstdint>

#include "morse/spsc_ring.h"

namespace zudorave {

enum class KeyEvent : uint8_t { Dot, Dash, CharacterGap, WordGap };

// Drained every few milliseconds; a second of the fastest keying holds fewer than 64 events.
using KeyEventQueue = SpscRing<KeyEvent, 256>;

}  // namespace zudorave
