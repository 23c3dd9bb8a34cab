#pragma once

namespace zudorave {

// Stands in for the Morse keyer until the keying work lands; the dialog owns one as its
// first member so construction order is already right.
class KeyerStub {};

}  // namespace zudorave
