// A console for tests, linked in place of the terminal: a virtual screen that wraps and
// scrolls like the real one, and a queue of key codes that fails the test when it runs dry.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scripted_console {

// Thrown by read_key when no key is queued, so a test that waits for more input fails.
struct ScriptExhausted : std::runtime_error {
    ScriptExhausted() : std::runtime_error("the test read a key that was never queued") {}
};
// Thrown by fatal_error in place of ending the process.
struct FatalReport : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A fresh, blank screen of the given size, the cursor in the top-left corner, no keys.
void reset(int width = 80, int height = 25);
// Every character of `codes` is one key code.
void queue_keys(std::string_view codes);
void queue_codes(const std::vector<uint8_t>& codes);
std::size_t keys_left();
// Asked for the next code whenever the queue is empty, so a test can answer what the screen
// shows; an empty answer ends the script.
void set_key_source(std::function<std::optional<uint8_t>()> source);

// Screen rows, 1-based, with trailing blanks removed.
std::string row(int number);
std::vector<std::string> rows();
// The cursor, 1-based.
int cursor_row();
int cursor_col();

// What the game wrote since the last clear_screen, each end_line as '\n'.
std::string written_since_clear();
// Everything written since reset, each clear_screen as '\f' and each end_line as '\n'.
std::string transcript();
// Forgets the transcript so far, so that a run of thousands of games keeps only its latest
// output.
void clear_transcript();
int clear_count();
int prepare_count();
int restore_count();

} // namespace scripted_console
