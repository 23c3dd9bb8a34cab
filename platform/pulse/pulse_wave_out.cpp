// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_wave_out.h"

namespace zudorave {

PulseWaveOut::~PulseWaveOut() { Close(); }

MmResult PulseWaveOut::Open(const WaveFormatEx& format) {
  if (out_.IsOpen()) return MMSYSERR_ALLOCATED;
  return out_.Open(format, loop_);
}

MmResult PulseWaveOut::Close() {
  if (!out_.IsOpen()) return MMSYSERR_INVALHANDLE;
  out_.Close();  // no Render runs after this
  ForgetLoop();
  return MMSYSERR_NOERROR;
}

}  // namespace zudorave
