// The game's messages: each is one line of its own, written at the cursor.
#pragma once

#include <string_view>

#include "console/console.hpp"

namespace gridtake {

inline void say(std::string_view message) {
    console::write_text(message, 0);
    console::end_line();
}

} // namespace gridtake
