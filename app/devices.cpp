#include "app/devices.h"

#include "app/device_choice.h"
#include "app/generator_output.h"
#include "app/keying_output.h"
#include "platform/qt/qt_ui_thread.h"
#include "platform/sdl/sdl_joystick.h"
#include "platform/sdl/sdl_speaker.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/thread_timer.h"

namespace zudorave {

Devices CreateDevices(AudioChoice choice) {
  Devices devices;
  const std::string output = choice.output;
  devices.audio = std::make_unique<SdlAudio>(std::move(choice));
  devices.uiContext = std::make_unique<QObject>();
  devices.uiThread = std::make_unique<QtUiThread>(devices.uiContext.get());
  devices.waveOut = std::make_unique<GeneratorOutput>(
      *devices.audio, output, [](PulseRenderOut::Event event) { SayServerChange("tone", event); });
  devices.keyingOut = std::make_unique<KeyingOutput>(
      *devices.audio, output,
      [](PulseRenderOut::Event event) { SayServerChange("sidetone", event); });
  devices.waveIn = std::make_unique<SdlWaveIn>(*devices.audio, *devices.uiThread);
  devices.speaker = std::make_unique<SdlSpeaker>(*devices.audio);
  devices.timer = std::make_unique<ThreadTimer>();
  devices.joystick = std::make_unique<SdlJoystick>();
  return devices;
}

}  // namespace zudorave
