// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio buttons that pick the mixing mode, by control id, in the order the dialog looks
// at them.
#include <algorithm>
#include <array>
#include <utility>

#include "synth/mix_mode.h"
#include "ui/dialog_template.h"

namespace zudorave {

inline constexpr std::array<std::pair<int, MixMode>, 5> ModeButtons{{
    {IDC_LSB, MixMode::Lsb},
    {IDC_USB, MixMode::Usb},
    {IDC_DSB, MixMode::Dsb},
    {IDC_SUM, MixMode::Sum},
    {IDC_PRODUCT, MixMode::Product},
}};

// A mode is known by its button's id wherever the numbers show; the two must not drift apart.
static_assert(std::ranges::all_of(ModeButtons,
                                  [](const auto& button) {
                                    return static_cast<int>(button.second) == button.first;
                                  }),
              "each mode's number is its radio button's id");
static_assert(ModeButtons.size() == std::size(AllMixModes), "a button for every mode");

}  // namespace zudorave
