// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/cw_decoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zudorave {

namespace {

constexpr double ReducedSeconds = 8;    // heard again when a tone is found
constexpr double BasebandSeconds = 16;  // for learning the speed at the start
constexpr double LockAfterSeconds = 1.5;
constexpr double LockScore = 2.5;  // a tone's average power over the band's median
constexpr double LostScore = 1.6;
constexpr double LostSeconds = 6;
constexpr double TryEverySeconds = 0.5;
constexpr double SteerEverySeconds = 0.5;
constexpr double SameToneHz = 40;
constexpr double RetuneHz = 2;
constexpr double StrongerBy = 1.6;     // another tone this much stronger takes over...
constexpr double StrongerSeconds = 3;  // ...after this long
constexpr double SteerGain = 0.5;
constexpr double SteerMostHz = 5;
// The dot lengths trial runs start from: 50, 20 and 8 words a minute.
constexpr std::array<double, 3> TrialDots = {0.024, 0.06, 0.15};
// Every so often a trial run over the last seconds looks for a much faster sender.
constexpr double ScoutEverySeconds = 1;
constexpr double ScoutSeconds = 4;
constexpr double ScoutShorter = 2.5;       // its filter against the dot's
constexpr double FasterBy = 0.7;           // a dot this much shorter is taken when it fits Morse...
constexpr double ScoutMisfit = 0.06;       // ...this well...
constexpr double Clearer = 0.6;            // ...and clearly better than the dot in use...
constexpr std::ptrdiff_t ScoutMarks = 10;  // ...over this many marks at least
// Marks heard before reading starts, so the speed is learnt from enough of them.
constexpr std::size_t MarksToStart = 12;

class Collector : public RunSink {
 public:
  explicit Collector(std::vector<ToneRun>& runs) : runs_(runs) {}
  void OnRun(const ToneRun& run) override { runs_.push_back(run); }
  void OnSilence(double /*seconds*/) override {}

 private:
  std::vector<ToneRun>& runs_;
};

MorseDecodeMap FilledMap() {
  MorseDecodeMap map;
  FillMorseDecodeMap(map);
  return map;
}

}  // namespace

CwDecoder::CwDecoder(double sampleRate)
    : map_(FilledMap()),
      reducer_(sampleRate),
      finder_(reducer_.OutputRate()),
      channel_(reducer_.OutputRate()),
      detector_(channel_.OutputRate()),
      scout_(channel_.OutputRate()),
      reader_(map_, timing_, text_),
      reduced_(static_cast<std::size_t>(ReducedSeconds * reducer_.OutputRate())),
      baseband_(static_cast<std::size_t>(BasebandSeconds * channel_.OutputRate())) {
  text_.reserve(4096);
  trialRuns_.reserve(4096);
}

void CwDecoder::Feed(std::span<const float> samples) {
  while (!samples.empty()) {
    const std::size_t count = std::min(samples.size(), block_.size());
    const std::size_t reduced = reducer_.Reduce(samples.first(count), reducedBlock_);
    for (std::size_t i = 0; i < reduced; ++i) Reduced(reducedBlock_[i]);
    samples = samples.subspan(count);
  }
}

void CwDecoder::Feed(std::span<const int16_t> samples) {
  while (!samples.empty()) {
    const std::size_t count = std::min(samples.size(), block_.size());
    for (std::size_t i = 0; i < count; ++i) block_[i] = static_cast<float>(samples[i]) / 32768.0f;
    Feed(std::span<const float>(block_.data(), count));
    samples = samples.subspan(count);
  }
}

void CwDecoder::Reduced(float sample) {
  reduced_.Push(sample);
  std::complex<float> baseband;
  if (stage_ != Stage::Searching && channel_.Push(sample, baseband)) Baseband(baseband);
  if (finder_.Push(sample)) Spectrum();
}

void CwDecoder::Baseband(std::complex<float> sample) {
  baseband_.Push(sample);
  if (stage_ == Stage::Reading) {
    detector_.Push(sample, reader_);
  } else if (++sinceTry_ >= static_cast<std::size_t>(TryEverySeconds * channel_.OutputRate())) {
    sinceTry_ = 0;
    TryStart(false);
  }
}

void CwDecoder::Spectrum() {
  const PitchFinder::Peak peak = finder_.Strongest();
  switch (stage_) {
    case Stage::Searching:
      if (finder_.Seconds() >= LockAfterSeconds && peak.score >= LockScore) Lock(peak.hz);
      break;
    case Stage::Settling: {
      // Nothing read yet: a stronger tone elsewhere is simply taken instead, and the same tone
      // again where the longer average puts it, since a slow sender's long filter loses a tone
      // a few hertz off.
      const double off = std::abs(peak.hz - channel_.Pitch());
      if (off > SameToneHz
              ? peak.score > StrongerBy * finder_.ScoreNear(channel_.Pitch(), SameToneHz / 2)
              : off > RetuneHz) {
        Lock(peak.hz);
      }
      break;
    }
    case Stage::Reading:
      Watch();
      break;
  }
}

void CwDecoder::Lock(double hz) {
  channel_.Tune(hz);
  baseband_.Clear();
  stage_ = Stage::Settling;
  sinceTry_ = 0;
  strongerFrames_ = lostFrames_ = 0;
  std::complex<float> baseband;
  for (const float sample : reduced_.All()) {
    if (channel_.Push(sample, baseband)) baseband_.Push(baseband);
  }
}

double CwDecoder::Estimate(std::span<const std::complex<float>> samples, double dot,
                           double& misfit) {
  Collector collector(trialRuns_);
  // Twice: the second run's filter fits the dot the first one found.
  for (int pass = 0; pass < 2; ++pass) {
    scout_.Reset();
    scout_.SetDot(dot);
    scout_.Prime(samples);
    trialRuns_.clear();
    for (const std::complex<float> sample : samples) scout_.Push(sample, collector);
    dot = TimingModel::FitDot(trialRuns_, misfit);
  }
  return dot;
}

void CwDecoder::TryStart(bool anyway) {
  const std::span<std::complex<float>> history = baseband_.All();
  double bestDot = 0;
  double bestMisfit = HUGE_VAL;
  double offsetHz = 0;
  std::size_t marks = 0;
  for (const double guess : TrialDots) {
    double misfit = HUGE_VAL;
    const double dot = Estimate(history, guess, misfit);
    if (misfit < bestMisfit) {
      bestMisfit = misfit;
      bestDot = dot;
      offsetHz = scout_.TakeOffsetHz();
      marks = static_cast<std::size_t>(std::count_if(trialRuns_.begin(), trialRuns_.end(),
                                                     [](const ToneRun& r) { return r.tone; }));
    }
  }
  if (!anyway && marks < MarksToStart) return;
  if (bestMisfit == HUGE_VAL) return;

  // Take out what is left of the tone's offset, keeping the newest sample's phase.
  if (std::abs(offsetHz) < SteerMostHz * 2) {
    const double step = -2 * std::numbers::pi * offsetHz / channel_.OutputRate();
    for (std::size_t n = 0; n < history.size(); ++n) {
      const double angle =
          step * (static_cast<double>(n) - static_cast<double>(history.size() - 1));
      history[n] *= std::complex<float>(std::polar(1.0, angle));
    }
    channel_.Tune(channel_.Pitch() + offsetHz);
  }

  timing_.Settle(bestDot);
  detector_.Reset();
  detector_.SetDot(bestDot);
  detector_.Prime(history);
  reader_.Reset();
  stage_ = Stage::Reading;
  sinceSteer_ = sinceScout_ = 0;
  for (const std::complex<float> sample : history) detector_.Push(sample, reader_);
  (void)detector_.TakeOffsetHz();
}

void CwDecoder::Watch() {
  detector_.SetDot(timing_.Dot());

  const PitchFinder::Peak peak = finder_.Strongest();
  const double here = finder_.ScoreNear(channel_.Pitch(), SameToneHz / 2);
  const bool elsewhere = std::abs(peak.hz - channel_.Pitch()) > SameToneHz;
  strongerFrames_ = elsewhere && peak.score > StrongerBy * here ? strongerFrames_ + 1 : 0;
  lostFrames_ = here < LostScore ? lostFrames_ + 1 : 0;
  const double seconds = finder_.FrameSeconds();
  if (static_cast<double>(strongerFrames_) * seconds >= StrongerSeconds &&
      peak.score >= LockScore) {
    reader_.Flush();
    Lock(peak.hz);
    return;
  }
  if (static_cast<double>(lostFrames_) * seconds >= LostSeconds) {
    reader_.Flush();
    stage_ = Stage::Searching;
    return;
  }
  if (static_cast<double>(++sinceSteer_) * seconds >= SteerEverySeconds) {
    sinceSteer_ = 0;
    const double offset = detector_.TakeOffsetHz();
    channel_.Tune(channel_.Pitch() + std::clamp(SteerGain * offset, -SteerMostHz, SteerMostHz));
  }
  if (static_cast<double>(++sinceScout_) * seconds >= ScoutEverySeconds) {
    sinceScout_ = 0;
    Scout();
  }
}

// A filter matched to the dot runs the marks of a much faster sender together, and the
// timing learnt from them never finds the way out: a trial run over the last seconds with a
// much shorter filter does.
void CwDecoder::Scout() {
  const double dot = timing_.Dot();
  double misfit = HUGE_VAL;
  const auto recent =
      baseband_.Last(static_cast<std::size_t>(ScoutSeconds * channel_.OutputRate()));
  const double found = Estimate(recent, dot / ScoutShorter, misfit);
  const auto marks = std::count_if(trialRuns_.begin(), trialRuns_.end(),
                                   [](const ToneRun& run) { return run.tone; });
  if (found < FasterBy * dot && misfit < ScoutMisfit && misfit < Clearer * timing_.Misfit() &&
      marks >= ScoutMarks) {
    timing_.Settle(found);
    detector_.SetDot(found);
  }
}

void CwDecoder::Flush() {
  if (stage_ == Stage::Searching) {
    const PitchFinder::Peak peak = finder_.Strongest();
    if (peak.score < LockScore) return;
    Lock(peak.hz);
  }
  if (stage_ == Stage::Settling) TryStart(true);
  detector_.Flush(reader_);
  reader_.Flush();
}

std::string CwDecoder::TakeText() {
  std::string text = text_;
  text_.clear();
  return text;
}

DecoderReadout CwDecoder::Readout() const {
  DecoderReadout readout;
  readout.reading = stage_ == Stage::Reading;
  readout.pitchHz = channel_.Pitch();
  readout.wpm = 1.2 / timing_.Dot();
  readout.snrDb = detector_.SnrDb();
  return readout;
}

}  // namespace zudorave
