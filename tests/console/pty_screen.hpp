// A small virtual terminal for the tests that drive the real program in a pseudo-terminal:
// the bytes the program writes are fed in, and the tests read the rows of the screen.
// It behaves like an xterm-like terminal: a character written into the last column leaves the
// cursor there with a wrap pending, and the next printable character starts the next row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pty_screen {

enum class ParseState { text, escape, csi, osc, osc_escape, charset };

struct Screen {
    int width = 80;
    int height = 25;
    std::vector<std::string> cells; // `height` rows of `width` characters
    int row = 0;                    // cursor, 0-based
    int col = 0;
    bool wrap_pending = false;
    int saved_row = 0;
    int saved_col = 0;
    // While the program uses the alternate screen, the main screen waits here unchanged.
    bool alternate = false;
    std::vector<std::string> main_cells;
    ParseState state = ParseState::text;
    std::string sequence; // the escape sequence being read
    // What the screen showed just before each erase of the whole screen that blanked anything,
    // oldest first: the tests use it to see screens that were drawn and replaced within one
    // read.
    std::vector<std::vector<std::string>> erased;
    // Escape sequences this terminal does not know, for failure messages.
    std::vector<std::string> unknown;
};

Screen make_screen(int width, int height);
void feed(Screen& screen, std::string_view bytes);
// Blanks the screen and homes the cursor, as a fresh window of the new size.
void reset(Screen& screen, int width, int height);

// Rows, 1-based, with trailing blanks removed.
std::string row(const Screen& screen, int number);
std::vector<std::string> rows(const Screen& screen);
// All rows, numbered, for failure messages.
std::string dump(const Screen& screen);
std::string dump(const std::vector<std::string>& rows);

} // namespace pty_screen
