// Runs a program in a pseudo-terminal as a user's shell would, for the tests of the real
// binary. A stand-in shell process leads the terminal's session and starts the program as the
// foreground job in its own process group, so that job control (Ctrl+Z, SIGTSTP) works as in a
// real terminal; it reports the program's stops and its end to the test through a pipe. The
// test keeps the terminal's slave side open, so that it can read the terminal settings at any
// time, and reads the master side into a virtual screen. Every wait has a deadline.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <string_view>

#include "pty_screen.hpp"

namespace pty_session {

using Clock = std::chrono::steady_clock;
// Long enough for a loaded machine; a correct program answers in milliseconds.
inline constexpr std::chrono::milliseconds DEFAULT_WAIT{10000};

enum class Input { terminal, pipe };
enum class Output { terminal, dev_full, closed_pipe };

struct Options {
    std::string program;
    int width = 80;
    int height = 25;
    Input input = Input::terminal;
    Output output = Output::terminal;
};

enum class ChildState { running, stopped, exited, killed };

struct Session {
    pid_t shell = -1;   // the stand-in shell, a child of the test
    pid_t program = -1; // the program, a child of the shell
    int master = -1;
    int slave = -1;      // kept open by the test for tcgetattr
    int input_pipe = -1; // the write end, when standard input is a pipe
    int error_pipe = -1; // the read end of the program's standard error
    int status_pipe = -1;
    termios start_settings{};
    pty_screen::Screen screen;
    std::string output;       // every byte read from the master
    std::string error_output; // everything the program wrote to standard error
    bool error_closed = false;
    ChildState state = ChildState::running;
    int stop_signal = 0;
    int exit_code = 0;   // when exited
    int kill_signal = 0; // when killed
    int sync_count = 0;
};

// An ordinary cooked terminal: line editing, echo, signals, CR/NL translation, flow control.
termios cooked_settings();
// The start settings, compared field by field.
bool same_settings(const termios& a, const termios& b);
std::string describe(const termios& settings);

// Starts the program; the terminal gets `cooked_settings()` and the window size first.
void start(Session& session, const Options& options);
// Ends the program if it still runs, reaps both processes and closes every descriptor.
void finish(Session& session);

// Writes bytes to the program's input: the terminal's master, or the input pipe.
void send(Session& session, std::string_view bytes);
void close_input_pipe(Session& session);
void close_master(Session& session);
void send_signal(const Session& session, int signal);
// Sets the window size on the master (the kernel tells the foreground job with SIGWINCH) and
// gives the virtual screen the new size, blank.
void resize(Session& session, int width, int height);

// Reads whatever arrives from the program and the shell until `deadline`, or until at least
// one read has made progress. Returns false when the deadline passed with nothing new.
bool pump(Session& session, Clock::time_point deadline);

// Reads until `done(session)` holds; false when `timeout` passes first.
template <typename Predicate>
bool wait_until(Session& session, Predicate done,
                std::chrono::milliseconds timeout = DEFAULT_WAIT) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!done(session)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        pump(session, deadline);
    }
    return true;
}

// Whether the program has exited or was killed.
bool program_ended(const Session& session);
bool wait_for_exit(Session& session, std::chrono::milliseconds timeout = DEFAULT_WAIT);
bool wait_for_stop(Session& session, std::chrono::milliseconds timeout = DEFAULT_WAIT);
// Once the program has ended or stopped: makes sure that everything it wrote to the terminal
// has reached the virtual screen, by sending a marker through the terminal after it.
bool sync_output(Session& session, std::chrono::milliseconds timeout = DEFAULT_WAIT);
// The terminal's settings as they are now; fails the calling test when they cannot be read.
termios current_settings(const Session& session);

// Waits until the terminal's settings equal `expected`, reading the program's output meanwhile:
// nothing on the terminal tells when a program changes them.
bool wait_for_settings(Session& session, const termios& expected,
                       std::chrono::milliseconds timeout = DEFAULT_WAIT);

// The status as a shell shows it: the exit code, or 128 plus the signal that ended it.
int shell_status(const Session& session);
std::string describe_state(const Session& session);

} // namespace pty_session
