#pragma once
#include <cstdint>

namespace shared {

// Kinds of the timed message window.
enum TMessageType : std::uint8_t {
    mtMessage = 0, // OK only
    mtDialog = 1   // OK and Cancel
};

} // namespace shared
