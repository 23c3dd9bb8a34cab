// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/keying_output.h"

#include "app/pulse_server.h"

namespace zudorave {

KeyingOutput::KeyingOutput(SdlAudio& audio, const std::string& device,
                           PulseRenderOut::Notice notice, OutputLevel* level)
    : audio_(audio), pulse_(device), sdl_(audio) {
  pulse_.OnNotice(std::move(notice));
  levelled_.level = level;
}

void KeyingOutput::Levelled::Render(std::span<int16_t> out) {
  source->Render(out);
  if (level != nullptr) level->Apply(out);
}

MmResult KeyingOutput::Open(const WaveFormatEx& format, RenderSource& source) {
  if (open_) return MMSYSERR_ALLOCATED;
  // No audio thread renders while nothing is open.
  levelled_.source = &source;
  RenderSource& played = levelled_;
  if (SdlOnPulseServer(audio_)) {
    const MmResult result = pulse_.Open(format, played);
    if (result == MMSYSERR_NOERROR) open_ = &pulse_;
    if (result != MMSYSERR_NODRIVER) return result;
  }
  const MmResult result = sdl_.Open(format, played);
  if (result == MMSYSERR_NOERROR) open_ = &sdl_;
  return result;
}

MmResult KeyingOutput::Close() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  RenderOut* open = open_.exchange(nullptr);
  return open->Close();
}

bool KeyingOutput::Lost() const {
  const RenderOut* open = open_.load();
  return open != nullptr && open->Lost();
}

}  // namespace zudorave
