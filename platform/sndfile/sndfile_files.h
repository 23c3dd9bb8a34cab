// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound files through libsndfile: WAV, FLAC, Ogg and the rest it knows.
// Threads: any; each open file on one thread at a time.
#include "platform/sound_file.h"

namespace zudorave {

class SndfileFiles : public SoundFiles {
 public:
  OpenedSoundFile OpenToRead(const std::string& path) override;
  CreatedSoundFile CreateToWrite(const std::string& path, int rate) override;
};

}  // namespace zudorave
