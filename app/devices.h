// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound devices the program runs on, made in one place: libpulse for every sound device
// where SDL runs on a server that serves it, SDL2 elsewhere, with returned capture buffers
// posted to the user-interface thread through Qt.
#include <QObject>
#include <memory>

#include "capture/received_samples.h"
#include "platform/joystick.h"
#include "platform/output_level.h"
#include "platform/periodic_timer.h"
#include "platform/qt/qt_ui_thread.h"
#include "platform/render_out.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/speaker.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "platform/wave_out.h"

namespace zudorave {

// Members are destroyed in reverse: the devices go before the poster they use, and SDL's audio
// subsystem, first made, goes last. The generator and the keying side each play on an output
// of their own: the generator loops its buffer, the keying engine renders as it plays.
struct Devices {
  // The outputs' levels, which the station sets.
  std::unique_ptr<OutputLevels> levels = std::make_unique<OutputLevels>();
  std::unique_ptr<SdlAudio> audio;
  std::unique_ptr<QObject> uiContext;
  std::unique_ptr<QtUiThread> uiThread;  // Start it once the application exists
  std::unique_ptr<WaveOut> waveOut;
  std::unique_ptr<RenderOut> keyingOut;
  std::unique_ptr<ReceivedSamples> received;  // the input's tap: outlives the input
  std::unique_ptr<WaveIn> waveIn;
  std::unique_ptr<Speaker> speaker;
  std::unique_ptr<PeriodicTimer> timer;
  std::unique_ptr<Joystick> joystick;
};

// Call on the user-interface thread. Every sound device opens the devices the choice names.
Devices CreateDevices(AudioChoice choice = {});

}  // namespace zudorave
