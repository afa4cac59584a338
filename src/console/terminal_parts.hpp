// How the pieces of the terminal console reach one another: its modes, its signals, its
// output and its input each live in a file of their own.
#pragma once

#include <string_view>

namespace console::terminal {

// terminal_modes.cpp: the settings at start and single-key mode.
void save_start_settings();
void enter_single_key_mode();
void leave_single_key_mode(); // the settings at start, exactly; harmless when never changed
struct WindowSize {
    int columns;
    int rows;
    bool on_terminal; // false: standard output is no terminal, and the size is 80 x 25
};
WindowSize read_window_size();

// terminal_signals.cpp: handlers only note a signal; it is acted on here, between writes and
// in the wait for a key.
void install_signal_handlers();
void remove_signal_handlers();
void act_on_signals();
void exit_if_ending(); // acts at once on break, SIGTERM or SIGHUP
// Waits until standard input can be read (true) or `timeout_ms` passes (false; -1 waits for
// ever), acting on signals that arrive meanwhile.
bool wait_for_input(int timeout_ms);

// terminal_output.cpp
void set_window_size(WindowSize size);
void repaint(); // clears and writes again what the game wrote since it last cleared

// terminal_input.cpp: reads what is already typed, so that no key is lost to a suspend.
void take_in_typed_bytes();

// terminal.cpp
[[noreturn]] void fatal_system_error(std::string_view what, int error_number);

} // namespace console::terminal
