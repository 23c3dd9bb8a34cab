// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs calls on the user-interface thread, queued behind what is already waiting there.
// Device threads use it to hand results over without touching widgets themselves.
#include <functional>

namespace zudorave {

class UiThread {
 public:
  virtual ~UiThread() = default;
  // Safe from any thread; the call runs later on the user-interface thread.
  virtual void Post(std::function<void()> call) = 0;
};

}  // namespace zudorave
