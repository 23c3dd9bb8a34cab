// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_choice.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/audio_format.h"

namespace zudorave {

namespace {

const char* Side(bool capture) { return capture ? "input" : "output"; }

void PrintList(const char* heading, const std::vector<std::string>& names, std::FILE* out) {
  std::fprintf(out, "%s\n", heading);
  for (const std::string& name : names) std::fprintf(out, "  %s\n", name.c_str());
}

}  // namespace

bool PrintDevices(SdlAudio& audio, std::FILE* out) {
  if (const auto failure = audio.StartFailure()) {
    std::fprintf(stderr, "zudorave: the sound system did not start: %s\n", failure->c_str());
    return false;
  }
  PrintList("Output devices:", audio.DeviceNames(false), out);
  PrintList("Input devices:", audio.DeviceNames(true), out);
  return true;
}

bool CheckChosenDevices(SdlAudio& audio, const AudioChoice& choice) {
  for (const bool capture : {false, true}) {
    const std::string& name = capture ? choice.input : choice.output;
    if (name.empty()) continue;
    if (const auto failure = audio.StartFailure()) {
      std::fprintf(stderr, "zudorave: cannot look for the %s device '%s': %s\n", Side(capture),
                   name.c_str(), failure->c_str());
      return false;
    }
    const std::vector<std::string> names = audio.DeviceNames(capture);
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    std::fprintf(stderr, "zudorave: there is no %s device '%s'\n", Side(capture), name.c_str());
    PrintList(capture ? "Input devices:" : "Output devices:", names, stderr);
    return false;
  }
  return true;
}

void SayWhyNotOpened(const AudioOpenFailure& failure) {
  const std::string device =
      failure.device.empty() ? std::string("the default device") : "'" + failure.device + "'";
  std::fprintf(stderr,
               "zudorave: the sound %s (%s) did not open: %s; check that the sound server runs, "
               "or pick a device from --list-devices with --%s-device\n",
               Side(failure.capture), device.c_str(), failure.reason.c_str(),
               Side(failure.capture));
}

void SayServerChange(const char* what, PulseRenderOut::Event event) {
  if (event == PulseRenderOut::Event::Lost) {
    std::fprintf(
        stderr, "zudorave: the sound server went away; the %s plays again once it is back\n", what);
  } else {
    std::fprintf(stderr, "zudorave: the sound server is back; the %s plays again\n", what);
  }
}

void SayCaptureChange(PulseRenderOut::Event event, uint64_t missedSamples) {
  if (event == PulseRenderOut::Event::Lost) {
    std::fprintf(stderr,
                 "zudorave: the sound server went away; the capture records again once it is "
                 "back, and counts what it misses\n");
  } else {
    std::fprintf(stderr,
                 "zudorave: the sound server is back; the capture records again (%.1f s missed "
                 "in this run)\n",
                 static_cast<double>(missedSamples) / SampleRate);
  }
}

}  // namespace zudorave
