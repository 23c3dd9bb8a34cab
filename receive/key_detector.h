// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tells key down from key up in the baseband: a moving sum as long as about a dot (the matched
// filter for a keyed tone), its magnitude against a threshold between the levels of noise and
// tone, which follow fading, with hysteresis; a run shorter than a third of a dot is taken for
// noise and joined to its neighbours. Each mark's edges are then placed against its own level,
// so a fading mark keeps its length. Reports each mark with the space before it once the mark
// ends, and the space under way as it grows. Threads: one at a time.
#include <array>
#include <complex>
#include <cstdint>
#include <span>

namespace zudorave {

struct ToneRun {
  bool tone = false;
  double seconds = 0;
};

class RunSink {
 public:
  virtual void OnRun(const ToneRun& run) = 0;
  // The space under way has lasted this long.
  virtual void OnSilence(double seconds) = 0;

 protected:
  ~RunSink() = default;
};

class KeyDetector {
 public:
  static constexpr std::size_t Longest = 512;  // filter samples, well over 5 wpm's dot

  explicit KeyDetector(double rate);

  // Forgets everything but the dot length.
  void Reset();
  // The dot length the filter and the shortest run follow.
  void SetDot(double seconds);
  // Sets the levels from a stretch of signal to come, so the first marks are seen.
  void Prime(std::span<const std::complex<float>> samples);
  void Push(std::complex<float> sample, RunSink& sink);
  // Ends the run under way as if the input stopped here.
  void Flush(RunSink& sink);

  // Tone over noise in the filter's band, and in 3 kHz.
  double SnrDb() const;
  // The tone's offset from 0 Hz seen over the marks since the last call, or 0 without marks
  // or when they turn too unevenly to tell.
  double TakeOffsetHz();
  bool KeyDown() const { return down_; }

 private:
  double Threshold(bool rising) const;
  // Follows the marks' level and how fast it changes, a mark ending at this level here.
  void Trend(double level, double at);
  // The threshold for a mark whose level is this.
  double Level(double level, bool rising) const;
  // Where a mark of this level has its edges.
  double Edge(double level, bool rising) const;
  // The mark's level near its start or its end: the filter takes its length to rise and
  // to fall, and a fading mark is not as strong at one end as at the other.
  double Highest(double rise, double fall, bool atRise) const;
  // Where the magnitude crosses level beside edge: back to it if it is already past, on to it
  // if not yet, within the samples kept and the current run; edge if nowhere.
  double Cross(double edge, double level, bool rising) const;
  void Confirm(double edge, RunSink& sink);
  void Follow(double magnitude);

  double rate_;
  double dot_;
  std::size_t length_ = 8;  // filter samples
  std::size_t shortest_ = 3;
  std::array<std::complex<float>, 2 * Longest> ring_{};
  std::array<float, Longest> magnitudes_{};  // by sample, for a look back
  std::size_t lowRun_ = 0;                   // samples since raw was last high
  std::size_t pos_ = 0;
  std::complex<double> sum_{};
  std::complex<double> last_{};
  std::size_t sinceExact_ = 0;

  int64_t now_ = 0;       // samples pushed
  double previous_ = 0;   // the last magnitude
  bool raw_ = false;      // above the threshold, with hysteresis
  bool down_ = false;     // the confirmed state
  double runStart_ = 0;   // where the confirmed run began, in samples
  bool pending_ = false;  // raw differs from confirmed since pendingStart_
  double pendingStart_ = 0;
  double riseEdge_ = 0;  // where the mark under way rose over the threshold
  double quiet_ = 0;     // the last sample surely without a mark
  double before_ = 0;    // the tone's level before the mark under way lifted it
  double logLevel_ = 0;  // of the marks, as they end
  double slope_ = 0;     // of logLevel_, per second
  double peak_ = 0;      // the highest magnitude in the mark under way
  double markEnd_ = 0;

  double noise_ = 0;             // mean magnitude while the key is up
  double signal_ = 0;            // typical peak of a mark
  double power_ = 0;             // mean power inside marks
  std::complex<double> turn_{};  // sum of sample-to-sample turns inside marks
  double turnSize_ = 0;          // sum of their sizes
};

}  // namespace zudorave
