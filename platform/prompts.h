// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes and the save dialog: the program asks, a person answers. Behind an interface
// so the widget tests can script the answers and read back what was shown.
#include <cstdint>
#include <optional>
#include <string>

namespace zudorave {

// Message box types and answers, with the values the program's texts were written for.
inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_OKCANCEL = 0x01;
inline constexpr uint32_t MB_YESNOCANCEL = 0x03;
inline constexpr uint32_t MB_YESNO = 0x04;
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Save dialog flags.
inline constexpr uint32_t OFN_OVERWRITEPROMPT = 0x02;
inline constexpr uint32_t OFN_HIDEREADONLY = 0x04;

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Shows a modal message box over the active window; returns the button chosen (IDOK...).
  virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t type) = 0;
  // A modal save dialog. filter is "description|pattern|...|" ending in an empty pair.
  // Returns the chosen file name, or nothing when cancelled.
  virtual std::optional<std::string> SaveFileName(const std::string& filter, uint32_t flags) = 0;
  // The desktop's alert sound.
  virtual void Beep() = 0;
};

}  // namespace zudorave
