// What the game needs of its text console. One implementation drives a real terminal;
// tests link a scripted one with a virtual screen in its place.
#pragma once

#include <cstdint>
#include <string_view>

namespace console {

// Set-up at start and tidying at exit. restore() may be called more than once.
void prepare();
void restore();

// Blanks the window and puts the cursor in the top-left corner.
void clear_screen();
// Each writes its value right-justified in a field of `width`; a narrower field adds nothing
// and nothing is ever cut. The output has reached the console when the call returns.
void write_text(std::string_view text, int32_t width);
void write_int(int32_t value, int32_t width);
void write_char(char c, int32_t width);
// Moves the cursor to the first column of the next row.
void end_line();
// Waits for one key press and returns its code; a key with no character returns 0 first and
// its second code on the next call.
uint8_t read_key();

// Ends the program at once: the console is restored, `report` goes to standard error as one
// line and the exit status is 1.
[[noreturn]] void fatal_error(std::string_view report);

} // namespace console
