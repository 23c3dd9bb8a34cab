// SPDX-License-Identifier: GPL-3.0-or-later
// The library faults these tests run into, one a line, none of which calls into our code, so a
// finding in our code still fails the tests. No line covers libpulse: what our libpulse devices
// take from it must all come back (device_cycles_test.cpp opens and closes each many times).
//   libSDL2           SDL 2.26's PulseAudio backend starts queries on the server (at its start,
//                     and on every change of the server's devices, other streams' included) that
//                     it never releases, 88 bytes each; the SDL devices' tests run SDL there.
//   libpulsecommon    (a race, not a leak) its shared ring buffer synchronises with atomics the
//                     tools cannot see.
// libpulse is built without frame pointers: a leak's stack is unwound the slow way, or it would
// end inside libpulse and never show whether SDL or our own libpulse code asked for the memory.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2-2.0.so\n"; }

extern "C" const char* __tsan_default_suppressions() { return "race:libpulsecommon-*.so\n"; }
