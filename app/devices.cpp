// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devices.h"

#include "app/beep_speaker.h"
#include "app/capture_input.h"
#include "app/device_choice.h"
#include "app/generator_output.h"
#include "app/keying_output.h"
#include "platform/qt/qt_ui_thread.h"
#include "platform/sdl/sdl_joystick.h"
#include "platform/thread_timer.h"

namespace zudorave {

Devices CreateDevices(AudioChoice choice) {
  Devices devices;
  const std::string output = choice.output;
  const std::string input = choice.input;
  devices.audio = std::make_unique<SdlAudio>(std::move(choice));
  devices.uiContext = std::make_unique<QObject>();
  devices.uiThread = std::make_unique<QtUiThread>(devices.uiContext.get());
  devices.waveOut = std::make_unique<GeneratorOutput>(
      *devices.audio, output, [](PulseRenderOut::Event event) { SayServerChange("tone", event); },
      &devices.levels->generator);
  devices.keyingOut = std::make_unique<KeyingOutput>(
      *devices.audio, output,
      // The keyer says what a loss means for the run (tests/system/server_loss_test.sh).
      [](PulseRenderOut::Event event) {
        if (event == PulseRenderOut::Event::Back) SayServerChange("sidetone", event);
      },
      &devices.levels->sidetone);
  devices.received = std::make_unique<ReceivedSamples>();
  devices.waveIn = std::make_unique<CaptureInput>(*devices.audio, *devices.uiThread, input,
                                                  &SayCaptureChange, devices.received.get());
  devices.speaker = std::make_unique<BeepSpeaker>(*devices.audio, output);
  devices.timer = std::make_unique<ThreadTimer>();
  devices.joystick = std::make_unique<SdlJoystick>();
  return devices;
}

}  // namespace zudorave
