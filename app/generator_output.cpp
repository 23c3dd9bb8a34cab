// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/generator_output.h"

#include "app/pulse_server.h"

namespace zudorave {

GeneratorOutput::GeneratorOutput(SdlAudio& audio, const std::string& device,
                                 PulseRenderOut::Notice notice, OutputLevel* level)
    : audio_(audio), level_(level), pulse_(device), sdl_(audio) {
  pulse_.OnNotice(std::move(notice));
  pulse_.SetLevel(level);
  sdl_.SetLevel(level);
  if (level_ != nullptr) level_->OnChange([this] { BufferChanged(); });
}

GeneratorOutput::~GeneratorOutput() {
  if (level_ != nullptr) level_->OnChange({});
}

MmResult GeneratorOutput::Open(const WaveFormatEx& format) {
  if (open_) return MMSYSERR_ALLOCATED;
  if (SdlOnPulseServer(audio_)) {
    const MmResult result = pulse_.Open(format);
    if (result == MMSYSERR_NOERROR) open_ = &pulse_;
    if (result != MMSYSERR_NODRIVER) return result;
  }
  const MmResult result = sdl_.Open(format);
  if (result == MMSYSERR_NOERROR) open_ = &sdl_;
  return result;
}

MmResult GeneratorOutput::PrepareHeader(WaveHdr& header) {
  return open_ ? open_->PrepareHeader(header) : MMSYSERR_INVALHANDLE;
}

MmResult GeneratorOutput::UnprepareHeader(WaveHdr& header) {
  return open_ ? open_->UnprepareHeader(header) : MMSYSERR_INVALHANDLE;
}

MmResult GeneratorOutput::Write(WaveHdr& header) {
  return open_ ? open_->Write(header) : MMSYSERR_INVALHANDLE;
}

MmResult GeneratorOutput::Reset() { return open_ ? open_->Reset() : MMSYSERR_INVALHANDLE; }

MmResult GeneratorOutput::Close() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  const MmResult result = open_->Close();
  open_ = nullptr;
  return result;
}

}  // namespace zudorave
