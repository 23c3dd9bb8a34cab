#include "app/devices.h"

namespace zudorave {

namespace {

// Until the sound card is reached, every device reports that there is no driver: the program
// then warns at start and runs silent.
class NoWaveOut : public WaveOut {
 public:
  MmResult Open(const WaveFormatEx&) override { return MMSYSERR_NODRIVER; }
  MmResult PrepareHeader(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult UnprepareHeader(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult Write(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult Reset() override { return MMSYSERR_INVALHANDLE; }
  MmResult Close() override { return MMSYSERR_INVALHANDLE; }
};

class NoWaveIn : public WaveIn {
 public:
  uint32_t GetNumDevs() override { return 0; }
  MmResult Open(const WaveFormatEx&, WimDataTarget*) override { return MMSYSERR_NODRIVER; }
  MmResult PrepareHeader(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult UnprepareHeader(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult AddBuffer(WaveHdr&) override { return MMSYSERR_INVALHANDLE; }
  MmResult Start() override { return MMSYSERR_INVALHANDLE; }
  MmResult Stop() override { return MMSYSERR_INVALHANDLE; }
  MmResult Reset() override { return MMSYSERR_INVALHANDLE; }
  MmResult Close() override { return MMSYSERR_INVALHANDLE; }
};

class NoSpeaker : public Speaker {
 public:
  void Beep(uint32_t, uint32_t) override {}
  void MessageBeep(uint32_t) override {}
};

}  // namespace

Devices CreateDevices() {
  return Devices{std::make_unique<NoWaveOut>(), std::make_unique<NoWaveIn>(),
                 std::make_unique<NoSpeaker>()};
}

}  // namespace zudorave
