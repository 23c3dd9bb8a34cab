// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture_input.h"

#include "app/pulse_server.h"

namespace zudorave {

CaptureInput::CaptureInput(SdlAudio& audio, UiThread& ui, const std::string& device, Notice notice,
                           SampleTap* tap)
    : audio_(audio), pulse_(ui, device), sdl_(audio, ui) {
  pulse_.TapInto(tap);
  sdl_.TapInto(tap);
  if (!notice) return;
  pulse_.OnNotice([this, notice = std::move(notice)](PulseWaveIn::Event event) {
    notice(event, pulse_.MissedSamples());
  });
}

// Counted without waking SDL's audio where it rests; both leave sinks' monitors out.
uint32_t CaptureInput::GetNumDevs() {
  return SdlOnPulseServer(audio_) ? pulse_.GetNumDevs() : sdl_.GetNumDevs();
}

MmResult CaptureInput::Open(const WaveFormatEx& format, WimDataTarget* target) {
  if (open_) return MMSYSERR_ALLOCATED;
  if (SdlOnPulseServer(audio_)) {
    const MmResult result = pulse_.Open(format, target);
    if (result == MMSYSERR_NOERROR) last_ = open_ = &pulse_;
    if (result != MMSYSERR_NODRIVER) return result;
  }
  const MmResult result = sdl_.Open(format, target);
  if (result == MMSYSERR_NOERROR) last_ = open_ = &sdl_;
  return result;
}

MmResult CaptureInput::PrepareHeader(WaveHdr& header) {
  return open_ ? open_->PrepareHeader(header) : MMSYSERR_INVALHANDLE;
}

MmResult CaptureInput::UnprepareHeader(WaveHdr& header) {
  return open_ ? open_->UnprepareHeader(header) : MMSYSERR_INVALHANDLE;
}

MmResult CaptureInput::AddBuffer(WaveHdr& header) {
  return open_ ? open_->AddBuffer(header) : MMSYSERR_INVALHANDLE;
}

MmResult CaptureInput::Start() { return open_ ? open_->Start() : MMSYSERR_INVALHANDLE; }

MmResult CaptureInput::Stop() { return open_ ? open_->Stop() : MMSYSERR_INVALHANDLE; }

MmResult CaptureInput::Reset() { return open_ ? open_->Reset() : MMSYSERR_INVALHANDLE; }

MmResult CaptureInput::Close() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  const MmResult result = open_->Close();
  open_ = nullptr;
  return result;
}

uint64_t CaptureInput::MissedSamples() const { return last_ ? last_->MissedSamples() : 0; }

}  // namespace zudorave
