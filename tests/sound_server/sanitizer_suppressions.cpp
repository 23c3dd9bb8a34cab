// Reports from inside PulseAudio's client libraries, which sanitizers cannot see through (their
// shared ring buffer synchronises with atomics the tools do not instrument). Only those
// libraries are named: a finding in our code still fails the tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libpulse.so\n"; }

extern "C" const char* __tsan_default_suppressions() { return "race:libpulsecommon-*.so\n"; }
