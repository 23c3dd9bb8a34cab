// SPDX-License-Identifier: GPL-3.0-or-later
// The keying engine without devices: the test is the element timer's thread and the audio
// thread, and reads the key's edges from the engine's sample clock.
#include "morse/keying_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "morse/morse_keyer.h"
#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_render_out.h"
#include "platform/testing/queued_ui_thread.h"

namespace zudorave::testing {
namespace {

constexpr uint32_t Callback = 256;

// A time on the key's timeline: whole milliseconds that fall exactly on their sample, or the
// sample count marked as off the grid.
std::string MsAt(uint64_t samples) {
  const uint64_t ms = (samples * 10 + 220) / 441;
  return MsToSamples(ms) == samples ? std::to_string(ms) : "~" + std::to_string(samples);
}

struct Change {
  uint64_t atMs;  // after the first key-down
  std::function<void(StationValues&)> apply;
};

struct Send {
  const char* what;
  std::string text;
  std::function<void(StationValues&)> setUp;
  std::vector<Change> changes;
  std::string timeline;  // "+ms@KeyedCharIndex" down, "-ms" up, "|" the end reported
};

// Sends as the element timer and the audio thread would: a tick every tickDots[i] dots (the
// first after one dot, as the timer starts, and tickLate samples after its slot), callbacks of
// 256 samples.
std::string SendTimeline(const Send& c, const std::vector<int>& tickDots, int32_t dotMs = 100,
                         uint64_t tickLate = 0, uint64_t untilMs = 20000) {
  StationValues station;
  station.DotMs = dotMs;
  station.RequestedDotMs = dotMs;
  station.TransmitText.Set(c.text);
  if (c.setUp) c.setUp(station);
  station.OperatingState = StationState::Transmitting;
  KeyingEngine engine(station);
  engine.Begin(300);
  const uint64_t dot = MsToSamples(static_cast<uint64_t>(dotMs));
  std::string timeline;
  uint64_t clock = 0;
  uint64_t nextTick = dot + tickLate;
  std::size_t ticks = 0;
  std::size_t changes = 0;
  bool down = false;
  std::optional<uint64_t> first;
  while (clock < MsToSamples(untilMs)) {
    if (clock >= nextTick) {
      if (engine.Tick()) return timeline + " |";
      nextTick += dot * static_cast<uint64_t>(tickDots[ticks++ % tickDots.size()]);
    }
    while (first && changes < c.changes.size() &&
           clock >= *first + MsToSamples(c.changes[changes].atMs)) {
      c.changes[changes++].apply(station);
    }
    for (uint32_t left = Callback; left > 0;) {
      const KeySpan span = engine.NextSpan(left);
      if (span.down != down) {
        down = span.down;
        if (!first) first = clock;
        timeline += (down ? " +" : " -") + MsAt(clock - *first);
        if (down) timeline += "@" + std::to_string(station.KeyedCharIndex);
      }
      clock += span.samples;
      left -= span.samples;
    }
  }
  return timeline + " (no end)";
}

TEST(KeyingEngine, SendsTheTextUnitForUnitOnItsSampleClockHoweverTheTicksCome) {
  auto stop = [](StationValues& s) { s.OperatingState = StationState::StoppingTransmit; };
  const Send cases[] = {
      {"characters three units apart", "EE", {}, {}, " +0@0 -100 +400@1 -500 |"},
      {"a dash is three units, a gap one", "A", {}, {}, " +0@0 -100 +200@0 -500 |"},
      {"a space adds four units", "E E", {}, {}, " +0@0 -100 +800@2 -900 |"},
      {"Ignore Spaces",
       "E E",
       [](StationValues& s) { s.IgnoreSpaces = 1; },
       {},
       " +0@0 -100 +400@2 -500 |"},
      {"lower case, no code, no record", "e#{e", {}, {}, " +0@0 -100 +400@3 -500 |"},
      {"extra spacing",
       "EE",
       [](StationValues& s) { s.ExtraSpacing = 30; },
       {},
       " +0@0 -100 +430@1 -530 |"},
      {"a speed change waits for the next character",
       "EE",
       {},
       {{50,
         [](StationValues& s) {
           s.RequestedDotMs = 50;
           s.SpeedChangePending = 1;
         }}},
       " +0@0 -100 +400@1 -450 |"},
      {"Loop, then Stop",
       "ET",
       [](StationValues& s) { s.LoopFlag = 1; },
       {{2500, stop}},
       " +0@0 -100 +400@1 -700 +1000@0 -1100 +1400@1 -1700 +2000@0 -2100 +2400@1 -2700 |"},
      {"Stop mid-character", "EEE", {}, {{50, stop}}, " +0@0 -100 |"},
      {"typed while sending, the caret where the text box has it",
       "E",
       [](StationValues& s) { s.KeyedCharIndex = 5; },
       {{50, [](StationValues& s) { s.TransmitText.Append('t'); }}},
       " +0@5 -100 +400@6 -700 |"},
      {"from Held at the keyed character",
       "EET",
       [](StationValues& s) { s.KeyedCharIndex = 1; },
       {},
       " +0@1 -100 +400@2 -700 |"},
      {"nothing to send", "", {}, {}, " |"},
      {"nothing keyable, with Loop", "#", [](StationValues& s) { s.LoopFlag = 1; }, {}, " |"},
  };
  for (const Send& c : cases) {
    EXPECT_EQ(SendTimeline(c, {1}), c.timeline) << c.what;
    // Late and bunched ticks change nothing that is heard.
    EXPECT_EQ(SendTimeline(c, {3, 1, 5}), c.timeline) << c.what << ", uneven ticks";
  }
}

// The timeline of a text sent without a break: each character starts where the one before it
// ended, its edges where its pattern puts them; past the text's end it starts again, up to the
// character under way at stopMs.
std::string IdealTimeline(const std::string& text, uint32_t dotMs, uint32_t extraMs,
                          uint64_t stopMs = 0) {
  std::string timeline;
  uint64_t startMs = 0;
  for (std::size_t i = 0; i < text.size() || startMs < stopMs; ++i) {
    const std::size_t index = i % text.size();
    const CharacterTiming timing = TimeCharacter(SendPattern(text[index]), dotMs, extraMs);
    for (uint32_t edge = 0; edge < timing.edges; ++edge) {
      timeline += (edge % 2 == 0 ? " +" : " -") + MsAt(MsToSamples(startMs + timing.edgeMs[edge]));
      if (edge % 2 == 0) timeline += "@" + std::to_string(index);
    }
    startMs += timing.lengthMs;
  }
  return timeline + " |";
}

uint64_t PassMs(const std::string& text, uint32_t dotMs, uint32_t extraMs, std::size_t count) {
  uint64_t ms = 0;
  for (std::size_t i = 0; i < count; ++i)
    ms += TimeCharacter(SendPattern(text[i]), dotMs, extraMs).lengthMs;
  return ms;
}

// Characters of 16 units and more once left the next one unplanned until a tick came.
TEST(KeyingEngine, EveryCharacterFollowsTheOneBeforeOnTimeHoweverLong) {
  std::string every;
  for (int c = ' ' + 1; c <= 'Z'; ++c) {
    if (Keyable(SendPattern(static_cast<char>(c)))) every += static_cast<char>(c);
  }
  every += " E";  // a word gap after the longest characters, then the shortest
  struct Case {
    uint32_t dotMs;
    uint32_t extraMs;
    bool loop;
  };
  const Case cases[] = {{48, 0, false}, {48, 0, true}, {100, 1000, false}, {240, 25, true}};
  for (const Case& c : cases) {
    // With Loop, stopped one millisecond into the second pass's fourth character.
    const uint64_t passMs = PassMs(every, c.dotMs, c.extraMs, every.size());
    const uint64_t stopMs = c.loop ? passMs + PassMs(every, c.dotMs, c.extraMs, 3) + 1 : 0;
    Send send{"every character",
              every,
              [&c](StationValues& s) {
                s.ExtraSpacing = static_cast<int32_t>(c.extraMs);
                s.LoopFlag = c.loop ? 1 : 0;
                s.IgnoreSpaces = 0;
              },
              {},
              {}};
    if (c.loop)
      send.changes = {
          {stopMs, [](StationValues& s) { s.OperatingState = StationState::StoppingTransmit; }}};
    const std::string ideal = IdealTimeline(every, c.dotMs, c.extraMs, stopMs);
    const uint64_t untilMs = 2 * passMs + 10000;
    const auto dot = MsToSamples(c.dotMs);
    // Ticks a sample short of a dot late, and bunched.
    EXPECT_EQ(SendTimeline(send, {1}, static_cast<int32_t>(c.dotMs), dot - 1, untilMs), ideal)
        << c.dotMs << " ms a dot, " << c.extraMs << " ms extra, loop " << c.loop;
    EXPECT_EQ(SendTimeline(send, {3, 1, 5}, static_cast<int32_t>(c.dotMs), dot / 2, untilMs), ideal)
        << c.dotMs << " ms a dot, " << c.extraMs << " ms extra, loop " << c.loop << ", uneven";
  }
}

// How often the keyed sine changes sign between two times: twice its frequency over the time.
int SignChanges(const std::vector<int16_t>& samples, uint64_t fromMs, uint64_t toMs) {
  int changes = 0;
  for (uint64_t i = MsToSamples(fromMs) + 1; i < MsToSamples(toMs); ++i) {
    changes += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
  }
  return changes;
}

TEST(KeyingEngine, AToneChangeWhileSendingIsKeyedFromTheNextCharacterOn) {
  StationValues station;
  station.DotMs = 100;
  station.TransmitText.Set("EE");  // dots at 0 and 400 ms
  station.OperatingState = StationState::Transmitting;
  KeyingEngine engine(station);
  engine.Begin(300);
  engine.Tick();
  std::vector<int16_t> heard(MsToSamples(600));
  engine.Render(std::span(heard).first(MsToSamples(50)));
  engine.Retune(1000);  // halfway through the first dot
  engine.Render(std::span(heard).subspan(MsToSamples(50)));
  EXPECT_NEAR(SignChanges(heard, 10, 90), 2 * 300 * 80 / 1000, 1);
  EXPECT_NEAR(SignChanges(heard, 410, 490), 2 * 1000 * 80 / 1000, 1);
}

// The paddles through SetPaddle into the engine, at times in units of 100 ms.
struct Press {
  double atUnits;  // negative: before the run begins
  int32_t input;
};

class Paddles : public ::testing::Test {
 protected:
  Paddles() {
    station.DotMs = 100;
    station.OperatingState = StationState::ManualKeying;
  }

  // The elements keyed ("." and "-", "?" for any other length) until the time given.
  std::string Key(const std::vector<Press>& presses, double untilUnits) {
    std::size_t next = 0;
    while (next < presses.size() && presses[next].atUnits < 0)
      keyer.SetPaddle(presses[next++].input);
    engine.Begin(300);
    const double unit = static_cast<double>(MsToSamples(100));
    std::string elements;
    uint64_t clock = 0;
    uint64_t downAt = 0;
    bool down = false;
    while (static_cast<double>(clock) < untilUnits * unit) {
      while (next < presses.size() && static_cast<double>(clock) >= presses[next].atUnits * unit) {
        keyer.SetPaddle(presses[next++].input);
      }
      for (uint32_t left = Callback; left > 0;) {
        const KeySpan span = engine.NextSpan(left);
        if (span.down && !down) downAt = clock;
        if (!span.down && down) {
          const uint64_t length = clock - downAt;
          elements += length == MsToSamples(100) ? '.' : length == MsToSamples(300) ? '-' : '?';
        }
        down = span.down;
        clock += span.samples;
        left -= span.samples;
      }
    }
    return elements;
  }

  StationValues station;
  FakeRenderOut unused;
  FakePeriodicTimer timer;
  QueuedUiThread ui;
  const int32_t toneHz = 300;
  MorseKeyer keyer{station, unused, timer, ui, toneHz};  // SetPaddle, and the decode map
  KeyingEngine engine{station};
};

constexpr int32_t L = LeftPaddle;
constexpr int32_t R = RightPaddle;
constexpr int32_t Up = NoPaddle;

TEST_F(Paddles, TheIambicKeyer) {
  struct Case {
    const char* what;
    std::vector<Press> presses;
    double until;
    std::string elements;
  };
  const Case cases[] = {
      {"a tap keys one dot", {{0, L}, {0.3, Up}}, 4, "."},
      {"a held paddle repeats", {{0, L}, {4.5, Up}}, 8, "..."},
      {"the right paddle dashes", {{0, R}, {7.5, Up}}, 12, "--"},
      {"both held alternate", {{0, L}, {0.5, R}, {9, Up}}, 14, ".-.-"},
      {"the other paddle pressed during an element is keyed next",
       {{0, R}, {1, L}, {1.5, Up}},
       8,
       "-."},
      {"the same paddle again during its element",
       {{0, R}, {0.5, Up}, {1, R}, {1.5, Up}},
       10,
       "--"},
      {"a tap of the other paddle after a tap", {{0, L}, {0.3, Up}, {0.5, R}, {0.7, Up}}, 8, ".-"},
      {"a paddle left down by an earlier run keys only once pressed again",
       {{-1, L}, {3, L}, {3.5, Up}},
       6,
       "."},
  };
  for (const Case& c : cases) {
    station.Paddles.Store({});
    EXPECT_EQ(Key(c.presses, c.until), c.elements) << c.what;
    // Once the paddles are up, the state is handed back and every latch was used.
    EXPECT_EQ(station.Paddles.Load(), PaddleValues{}) << c.what;
  }
}

TEST_F(Paddles, WhatIsKeyedIsDecoded) {
  struct Case {
    const char* what;
    std::vector<Press> presses;
    double until;
    std::string text;
  };
  const Case cases[] = {
      {"a gap of 1.9 units", {{0, L}, {0.5, Up}, {2.9, R}, {3, Up}}, 9, "a"},
      {"2.1 ends a character", {{0, L}, {0.5, Up}, {3.1, R}, {3.2, Up}}, 9, "et"},
      {"4.9", {{0, L}, {0.5, Up}, {5.9, L}, {6, Up}}, 11, "ee"},
      {"5.1 ends a word", {{0, L}, {0.5, Up}, {6.1, L}, {6.2, Up}}, 11, "e e"},
      {"a long gap is one space", {{0, L}, {0.5, Up}, {20, L}, {20.5, Up}}, 24, "e e"},
      {"no space before anything is keyed", {{8, L}, {8.5, Up}}, 12, "e"},
      {"six dots mean nothing", {{0, L}, {11.5, Up}}, 16, ""},
  };
  for (const Case& c : cases) {
    station.DecodedText.Clear();
    station.DecodedTextReady = 0;
    Key(c.presses, c.until);
    engine.Decode();
    EXPECT_EQ(station.DecodedText.Get(), c.text) << c.what;
    EXPECT_EQ(station.DecodedTextReady, c.text.empty() ? 0 : 1) << c.what;
  }
}

}  // namespace
}  // namespace zudorave::testing
