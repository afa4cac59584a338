// The terminal's settings: those found at start, kept to be put back exactly, and single-key mode.
#include <cerrno>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "console/terminal_parts.hpp"

namespace console::terminal {

namespace {

constexpr int DEFAULT_COLUMNS = 80;
constexpr int DEFAULT_ROWS = 25;
constexpr cc_t CTRL_BACKSLASH = 0x1c;
constexpr cc_t CTRL_Z = 0x1a;

struct Modes {
    bool input_is_terminal = false;
    bool changed = false; // single-key mode is on
    termios at_start{};
};

Modes modes; // NOLINT: the one terminal of the process

termios single_key_settings(const termios& start) {
    termios t = start;
    // Every byte as typed: no CR/NL translation, no flow control (Ctrl+S and Ctrl+Q are keys),
    // no break or parity handling, all eight bits.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK);
    // The console writes its own CR LF; nothing is added to its output.
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8;
    // No echo and no line editing. Signals stay on for Ctrl+\ (break) and Ctrl+Z (suspend) only;
    // NOFLSH keeps keys typed before a suspend.
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
    t.c_lflag |= ISIG | NOFLSH;
    t.c_cc[VINTR] = _POSIX_VDISABLE; // Ctrl+C is the key 3
    t.c_cc[VQUIT] = CTRL_BACKSLASH;
    t.c_cc[VSUSP] = CTRL_Z;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return t;
}

} // namespace

void save_start_settings() {
    modes.input_is_terminal = tcgetattr(STDIN_FILENO, &modes.at_start) == 0;
}

void enter_single_key_mode() {
    if (!modes.input_is_terminal) {
        return;
    }
    const termios wanted = single_key_settings(modes.at_start);
    // TCSANOW: keys already typed stay queued. A background process is stopped here until it
    // is brought to the foreground, and the call comes back interrupted.
    while (tcsetattr(STDIN_FILENO, TCSANOW, &wanted) != 0) {
        if (errno != EINTR) {
            fatal_system_error("cannot set up the terminal", errno);
        }
    }
    modes.changed = true;
}

void leave_single_key_mode() {
    if (!modes.changed) {
        return;
    }
    modes.changed = false;
    // Nothing else can be done if the terminal has gone away.
    while (tcsetattr(STDIN_FILENO, TCSANOW, &modes.at_start) != 0 && errno == EINTR) {
    }
}

WindowSize read_window_size() {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0) {
        return {DEFAULT_COLUMNS, DEFAULT_ROWS, false};
    }
    return {ws.ws_col, ws.ws_row == 0 ? DEFAULT_ROWS : ws.ws_row, true};
}

} // namespace console::terminal
