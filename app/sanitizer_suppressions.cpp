// Linked into the program only when it is built with a sanitizer. It names system libraries only,
// none of which calls into our code, so a leak or race of ours still makes the run fail:
//   libpulse       the sound server's client keeps a little per stream and per context for good
//   libdbus-1      Qt's connection to the session bus is never freed
//   libpulsecommon its shared ring buffer synchronises with atomics the tools cannot see
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libpulse.so\n"
         "leak:libdbus-1.so\n";
}

extern "C" const char* __tsan_default_suppressions() { return "race:libpulsecommon-*.so\n"; }
