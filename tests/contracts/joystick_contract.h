// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every joystick does, the real one and the double alike. A rig gives the joystick as
// `joystick` with none plugged in, plugs one in with Plug() (false when it cannot), and sets
// its buttons 1 to 4 with Press and Release; in SetUp it skips where it cannot run.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/joystick.h"

namespace zudorave::testing {

template <typename Rig>
class JoystickContract : public ::testing::Test {
 protected:
  struct Target : JoystickTarget {
    std::vector<std::pair<uint32_t, uint32_t>> messages;
    void OnJoyButton(uint32_t message, uint32_t buttons) override {
      messages.emplace_back(message, buttons);
    }
  };

  void SetUp() override { rig.SetUp(); }

  Rig rig;
  Joystick& joystick = rig.joystick;
  Target target;
};
TYPED_TEST_SUITE_P(JoystickContract);

TYPED_TEST_P(JoystickContract, CapturesOnlyAJoystickThereIsForOneTargetAtATime) {
  EXPECT_EQ(this->joystick.GetNumDevs(), 0u);
  EXPECT_EQ(this->joystick.SetCapture(&this->target, JOYSTICKID1), JOYERR_PARMS);
  ASSERT_TRUE(this->rig.Plug());
  EXPECT_EQ(this->joystick.GetNumDevs(), 1u);
  EXPECT_EQ(this->joystick.SetCapture(nullptr, JOYSTICKID1), JOYERR_PARMS);
  EXPECT_EQ(this->joystick.SetCapture(&this->target, JOYSTICKID1 + 1), JOYERR_PARMS);
  ASSERT_EQ(this->joystick.SetCapture(&this->target, JOYSTICKID1), JOYERR_NOERROR);
  typename TestFixture::Target other;
  EXPECT_EQ(this->joystick.SetCapture(&other, JOYSTICKID1), JOYERR_NOCANDO);
  EXPECT_EQ(this->joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
  EXPECT_EQ(this->joystick.SetCapture(&other, JOYSTICKID1), JOYERR_NOERROR);
  EXPECT_EQ(this->joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
}

TYPED_TEST_P(JoystickContract, TellsTheHolderEachChangeWhenPolled) {
  using Messages = std::vector<std::pair<uint32_t, uint32_t>>;
  ASSERT_TRUE(this->rig.Plug());
  this->rig.Press(1);  // down before the capture: news at its first look
  ASSERT_EQ(this->joystick.SetCapture(&this->target, JOYSTICKID1), JOYERR_NOERROR);
  this->rig.Press(3);
  EXPECT_TRUE(this->target.messages.empty());
  this->joystick.Poll();
  EXPECT_EQ(this->target.messages,
            (Messages{{MM_JOY1BUTTONDOWN, JOY_BUTTON1 | JOY_BUTTON3 | JOY_BUTTON1CHG},
                      {MM_JOY1BUTTONDOWN, JOY_BUTTON1 | JOY_BUTTON3 | JOY_BUTTON3CHG}}));
  this->target.messages.clear();
  this->rig.Release(1);
  this->joystick.Poll();
  this->joystick.Poll();  // nothing changed since
  EXPECT_EQ(this->target.messages, (Messages{{MM_JOY1BUTTONUP, JOY_BUTTON3 | JOY_BUTTON1CHG}}));
  EXPECT_EQ(this->joystick.ReleaseCapture(JOYSTICKID1), JOYERR_NOERROR);
  this->rig.Press(2);
  this->joystick.Poll();
  EXPECT_EQ(this->target.messages.size(), 1u);
}

REGISTER_TYPED_TEST_SUITE_P(JoystickContract, CapturesOnlyAJoystickThereIsForOneTargetAtATime,
                            TellsTheHolderEachChangeWhenPolled);

}  // namespace zudorave::testing
