// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into the program only when it is built with a sanitizer. Each line names one library's
// known fault, none of which calls into our code, so a leak or race of ours still fails the run:
//   libdbus-1         Qt's connection to the session bus is never freed.
//   libSDL2           SDL 2.26's PulseAudio backend starts queries on the server (at its start,
//                     and on every change of the server's devices, other streams' included) that
//                     it never releases, 88 bytes each. SDL's audio rests wherever libpulse
//                     plays, so this covers only its start and its use where libpulse cannot.
//   libpulsecommon    (a race, not a leak) its shared ring buffer synchronises with atomics the
//                     tools cannot see.
// libpulse is built without frame pointers: a leak's stack is unwound the slow way, or it would
// end inside libpulse and never show whether SDL or our own libpulse code asked for the memory.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n"
         "leak:libSDL2-2.0.so\n";
}

extern "C" const char* __tsan_default_suppressions() { return "race:libpulsecommon-*.so\n"; }
