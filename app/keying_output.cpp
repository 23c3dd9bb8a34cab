#include "app/keying_output.h"

#include "app/pulse_server.h"

namespace zudorave {

KeyingOutput::KeyingOutput(SdlAudio& audio, const std::string& device,
                           PulseRenderOut::Notice notice)
    : audio_(audio), pulse_(device), sdl_(audio) {
  pulse_.OnNotice(std::move(notice));
}

MmResult KeyingOutput::Open(const WaveFormatEx& format, RenderSource& source) {
  if (open_) return MMSYSERR_ALLOCATED;
  if (SdlOnPulseServer(audio_)) {
    const MmResult result = pulse_.Open(format, source);
    if (result == MMSYSERR_NOERROR) open_ = &pulse_;
    if (result != MMSYSERR_NODRIVER) return result;
  }
  const MmResult result = sdl_.Open(format, source);
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
