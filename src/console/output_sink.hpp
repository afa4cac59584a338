// What a console backend provides to the field-writing operations: put printable characters
// at the cursor, wrapping at the window's edge, and hand what was put to the console.
#pragma once

#include <string_view>

namespace console::detail {

void put_chars(std::string_view chars);
// Called once at the end of every console operation: its output must have arrived on return.
void flush_output();

} // namespace console::detail
