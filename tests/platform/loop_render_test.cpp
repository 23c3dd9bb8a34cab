// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/loop_render.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/wave_types.h"

namespace zudorave {
namespace {

using Samples = std::vector<int16_t>;

Samples Render(Samples& source, uint32_t count, LoopCursor& cursor, std::size_t n) {
  Samples out(n, -1);
  RenderLoop(source.data(), count, cursor, out);
  return out;
}

TEST(PassesFor, OnlyBothLoopFlagsTogetherRepeat) {
  EXPECT_EQ(PassesFor(WHDR_BEGINLOOP | WHDR_ENDLOOP, 10000), 10000u);
  EXPECT_EQ(PassesFor(WHDR_BEGINLOOP | WHDR_ENDLOOP | WHDR_PREPARED, 3), 3u);
  EXPECT_EQ(PassesFor(WHDR_BEGINLOOP, 3), 1u);
  EXPECT_EQ(PassesFor(WHDR_ENDLOOP, 3), 1u);
  EXPECT_EQ(PassesFor(0, 3), 1u);
}

TEST(RenderLoop, RepeatsThePassesThenFallsSilent) {
  Samples source{1, 2, 3};
  LoopCursor cursor{0, 2};
  EXPECT_EQ(Render(source, 3, cursor, 8), (Samples{1, 2, 3, 1, 2, 3, 0, 0}));
  EXPECT_EQ(cursor.passesLeft, 0u);
  EXPECT_EQ(Render(source, 3, cursor, 3), (Samples{0, 0, 0}));
}

TEST(RenderLoop, CarriesThePositionAcrossCallbacks) {
  Samples source{1, 2, 3, 4, 5};
  LoopCursor cursor{0, 2};
  EXPECT_EQ(Render(source, 5, cursor, 3), (Samples{1, 2, 3}));
  EXPECT_EQ(Render(source, 5, cursor, 3), (Samples{4, 5, 1}));
  EXPECT_EQ(cursor.passesLeft, 1u);
  EXPECT_EQ(Render(source, 5, cursor, 3), (Samples{2, 3, 4}));
  EXPECT_EQ(Render(source, 5, cursor, 3), (Samples{5, 0, 0}));
}

TEST(RenderLoop, PlaysOnlyTheFirstCountSamples) {
  Samples source{1, 2, 3, 9, 9};
  LoopCursor cursor{0, 2};
  EXPECT_EQ(Render(source, 3, cursor, 7), (Samples{1, 2, 3, 1, 2, 3, 0}));
}

TEST(RenderLoop, ReadsTheBufferAfreshOnEveryCall) {
  Samples source{1, 2, 3, 4};
  LoopCursor cursor{0, 5};
  EXPECT_EQ(Render(source, 4, cursor, 2), (Samples{1, 2}));
  source = {7, 7, 8, 9};
  EXPECT_EQ(Render(source, 4, cursor, 4), (Samples{8, 9, 7, 7}));
}

TEST(RenderLoop, NothingToPlayIsSilence) {
  Samples source{1, 2};
  LoopCursor noPasses{0, 0};
  EXPECT_EQ(Render(source, 2, noPasses, 3), (Samples{0, 0, 0}));
  LoopCursor empty{0, 4};
  EXPECT_EQ(Render(source, 0, empty, 3), (Samples{0, 0, 0}));
  EXPECT_EQ(empty.passesLeft, 4u);
  LoopCursor noBuffer{0, 4};
  Samples out(2, -1);
  RenderLoop(nullptr, 2, noBuffer, out);
  EXPECT_EQ(out, (Samples{0, 0}));
}

TEST(RenderLoop, APositionPastAShortenedBufferStartsOver) {
  Samples source{1, 2, 3, 4};
  LoopCursor cursor{3, 1};
  EXPECT_EQ(Render(source, 2, cursor, 3), (Samples{1, 2, 0}));
}

}  // namespace
}  // namespace zudorave
