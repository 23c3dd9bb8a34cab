// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ALSA's library prints its own errors to stderr ("ALSA lib confmisc.c:855:(parse_card) ...")
// whenever SDL falls back to it and finds no card. The program says why a device did not open
// in a line of its own, so these are dropped.
// Threads: call before SDL's audio starts, from the thread that starts it.

namespace zudorave {

// Drops ALSA's error lines for the rest of the process.
void QuietAlsaErrors();

}  // namespace zudorave
