// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL joystick against SDL's virtual joystick: which messages the target gets, and when it
// gets none. A real joystick plugged in would come first, so the tests then step aside.
#include "platform/sdl/sdl_joystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <utility>
#include <vector>

#include "tests/contracts/joystick_contract.h"

namespace zudorave {
namespace {

using Message = std::pair<uint32_t, uint32_t>;
constexpr uint32_t Down = MM_JOY1BUTTONDOWN;
constexpr uint32_t Up = MM_JOY1BUTTONUP;

struct RecordingTarget : JoystickTarget {
  std::vector<Message> messages;
  void OnJoyButton(uint32_t message, uint32_t buttons) override {
    messages.emplace_back(message, buttons);
  }
};

// Six buttons, one more than the paddles use; unplugged when it goes, so make it after the
// SdlJoystick.
class VirtualJoystick {
 public:
  VirtualJoystick()
      : index_(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 0, 6, 0)),
        handle_(SDL_JoystickOpen(index_)) {}
  ~VirtualJoystick() { Unplug(); }
  VirtualJoystick(const VirtualJoystick&) = delete;
  VirtualJoystick& operator=(const VirtualJoystick&) = delete;

  bool Plugged() const { return handle_ != nullptr; }
  // sdlButton counts from 0, so 0 is button 1.
  void Set(int sdlButton, bool down) {
    SDL_JoystickSetVirtualButton(handle_, sdlButton, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void Unplug() {
    if (handle_ == nullptr) return;
    SDL_JoystickDetachVirtual(index_);
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
  }

 private:
  int index_;
  SDL_Joystick* handle_;
};

TEST(SdlJoystick, WithoutAJoystickThereIsNothingToCaptureAndSignalsStayAlone) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  SdlJoystick joystick;
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);

  if (joystick.GetNumDevs() != 0) GTEST_SKIP() << "a joystick is plugged in";
  RecordingTarget target;
  EXPECT_EQ(joystick.SetCapture(&target, JOYSTICKID1), JOYERR_PARMS);
  joystick.Poll();
  EXPECT_EQ(joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
  EXPECT_TRUE(target.messages.empty());
}

TEST(SdlJoystick, ReportsEachChangedButtonWithTheButtonsDownNow) {
  SdlJoystick joystick;
  if (joystick.GetNumDevs() != 0) GTEST_SKIP() << "a joystick is plugged in";
  VirtualJoystick paddles;
  ASSERT_TRUE(paddles.Plugged()) << SDL_GetError();
  EXPECT_EQ(joystick.GetNumDevs(), 1u);
  RecordingTarget target;
  ASSERT_EQ(joystick.SetCapture(&target, JOYSTICKID1), JOYERR_NOERROR);
  RecordingTarget other;
  EXPECT_EQ(joystick.SetCapture(&other, JOYSTICKID1), JOYERR_NOCANDO);

  struct Step {
    std::vector<std::pair<int, bool>> set;  // SDL button, down
    std::vector<Message> expected;
  };
  const std::vector<Step> steps = {
      {{{0, true}}, {{Down, 0x0101}}},
      {{{2, true}}, {{Down, 0x0405}}},
      {{{0, false}}, {{Up, 0x0104}}},
      // Two in one look: both carry everything down now.
      {{{3, true}, {1, true}}, {{Down, 0x020E}, {Down, 0x080E}}},
      // Button 5 is no paddle, and held buttons are not reported again.
      {{{4, true}}, {}},
      // Button order, not the order SDL was told.
      {{{2, false}, {0, true}}, {{Down, 0x010B}, {Up, 0x040B}}},
      {{{3, false}, {1, false}, {0, false}}, {{Up, 0x0100}, {Up, 0x0200}, {Up, 0x0800}}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    for (const auto& [button, down] : steps[i].set) paddles.Set(button, down);
    target.messages.clear();
    joystick.Poll();
    EXPECT_EQ(target.messages, steps[i].expected) << "step " << i;
  }
  EXPECT_TRUE(other.messages.empty());
  // Nothing piles up in SDL's queue, which no one reads.
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
}

TEST(SdlJoystick, ReportsNothingOnceReleasedOrUnplugged) {
  SdlJoystick joystick;
  if (joystick.GetNumDevs() != 0) GTEST_SKIP() << "a joystick is plugged in";
  VirtualJoystick paddles;
  ASSERT_TRUE(paddles.Plugged()) << SDL_GetError();
  RecordingTarget target;
  ASSERT_EQ(joystick.SetCapture(&target, JOYSTICKID1), JOYERR_NOERROR);
  paddles.Set(0, true);
  joystick.Poll();
  EXPECT_EQ(joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
  paddles.Set(0, false);
  paddles.Set(1, true);
  joystick.Poll();
  // A new capture starts afresh: the held button is news, the one let go meanwhile is not.
  ASSERT_EQ(joystick.SetCapture(&target, JOYSTICKID1), JOYERR_NOERROR);
  joystick.Poll();
  // SDL lets go of every button of a joystick that is unplugged; the player did not.
  paddles.Unplug();
  joystick.Poll();
  EXPECT_EQ(target.messages, (std::vector<Message>{{Down, 0x0101}, {Down, 0x0202}}));
  EXPECT_EQ(joystick.GetNumDevs(), 0u);
  EXPECT_EQ(joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
}

// The contract the double keeps too, on SDL's virtual joystick.
struct RealStick {
  SdlJoystick joystick;
  std::optional<VirtualJoystick> paddles;  // made after the joystick subsystem starts
  void SetUp() {
    if (joystick.GetNumDevs() != 0) GTEST_SKIP() << "a joystick is plugged in";
  }
  bool Plug() {
    paddles.emplace();
    return paddles->Plugged();
  }
  void Press(int button) { paddles->Set(button - 1, true); }
  void Release(int button) { paddles->Set(button - 1, false); }
};
}  // namespace

namespace testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Device, JoystickContract, RealStick);
}  // namespace testing

}  // namespace zudorave
