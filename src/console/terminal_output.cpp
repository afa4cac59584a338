// Output to the terminal: the console keeps its own column and wraps as soon as a character
// fills the last one, writes every operation out before it returns, and remembers what was
// written since the last clear so that it can paint it again after a suspend or a resize.
#include <algorithm>
#include <array>
#include <cerrno>

#include <poll.h>
#include <unistd.h>

#include "console/console.hpp"
#include "console/output_sink.hpp"
#include "console/terminal_parts.hpp"

namespace console::terminal {

namespace {

constexpr std::string_view HOME_AND_CLEAR = "\x1b[H\x1b[2J";
constexpr std::string_view LINE_END = "\r\n";
constexpr char LOG_LINE_END = '\n';
constexpr char UNPRINTABLE = '?';
// Far more than a screen holds: a repaint writes only the rows that are still on it.
constexpr std::size_t LOG_CAPACITY = 32 * 1024;
constexpr std::size_t PENDING_CAPACITY = 4096;

struct Output {
    WindowSize window{80, 25, false};
    int column = 0; // where the next character goes, 0-based
    std::array<char, PENDING_CAPACITY> pending{};
    std::size_t pending_size = 0;
    // What the game wrote since the last clear: its characters, each line end as '\n'.
    std::array<char, LOG_CAPACITY> log{};
    std::size_t log_size = 0;
};

Output out; // NOLINT: the one terminal of the process

void wait_until_writable() {
    pollfd pfd{STDOUT_FILENO, POLLOUT, 0};
    while (poll(&pfd, 1, -1) < 0) {
        if (errno != EINTR) {
            fatal_system_error("cannot write to standard output", errno);
        }
        exit_if_ending();
    }
}

void write_out(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            exit_if_ending();
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            wait_until_writable();
        } else {
            fatal_system_error("cannot write to standard output", written < 0 ? errno : EIO);
        }
    }
}

void send_pending() {
    write_out(out.pending.data(), out.pending_size);
    out.pending_size = 0;
}

void emit(std::string_view bytes) {
    for (const char c : bytes) {
        if (out.pending_size == out.pending.size()) {
            send_pending();
        }
        out.pending[out.pending_size++] = c;
    }
}

void emit_line_end() {
    emit(LINE_END);
    out.column = 0;
}

// The terminal would hold the cursor in the last column until the next character; the
// console's window moves on at once, so it ends the row itself.
void emit_char(char c) {
    emit(std::string_view(&c, 1));
    if (++out.column >= out.window.columns) {
        emit_line_end();
    }
}

void emit_clear() {
    emit(HOME_AND_CLEAR);
    out.column = 0;
}

// Makes room by forgetting the oldest line, or, within one endless line, its oldest rows.
void trim_log() {
    const auto begin = out.log.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(out.log_size);
    auto keep = std::find(begin, end, LOG_LINE_END);
    if (keep != end) {
        ++keep;
    } else {
        const auto width = static_cast<std::size_t>(out.window.columns);
        keep = begin + static_cast<std::ptrdiff_t>((out.log_size / 2) / width * width);
    }
    std::copy(keep, end, begin);
    out.log_size -= static_cast<std::size_t>(keep - begin);
}

void log_char(char c) {
    if (out.log_size == out.log.size()) {
        trim_log();
    }
    out.log[out.log_size++] = c;
}

// Where the rows still on the screen begin in the log. Each line takes its length divided
// by the width, plus one rows: an exactly full line leaves the cursor on a fresh row.
std::size_t first_visible() {
    const auto width = static_cast<std::size_t>(out.window.columns);
    auto rows_left = static_cast<std::size_t>(out.window.rows);
    std::size_t end = out.log_size;
    for (;;) {
        std::size_t start = end;
        while (start > 0 && out.log[start - 1] != LOG_LINE_END) {
            --start;
        }
        const std::size_t rows = (end - start) / width + 1;
        if (rows > rows_left) {
            return start + (rows - rows_left) * width;
        }
        rows_left -= rows;
        if (start == 0 || rows_left == 0) {
            return start;
        }
        end = start - 1;
    }
}

} // namespace

void set_window_size(WindowSize size) {
    out.window = size;
    out.column = std::min(out.column, size.columns - 1);
}

void repaint() {
    if (!out.window.on_terminal) {
        return; // a file or a pipe keeps what it was given
    }
    emit_clear();
    for (std::size_t i = first_visible(); i < out.log_size; ++i) {
        if (out.log[i] == LOG_LINE_END) {
            emit_line_end();
        } else {
            emit_char(out.log[i]);
        }
    }
    send_pending();
}

} // namespace console::terminal

namespace console {

namespace detail {

void put_chars(std::string_view chars) {
    for (char c : chars) {
        // Only printable ASCII, so that the column kept here is the terminal's.
        if (c < ' ' || c > '~') {
            c = terminal::UNPRINTABLE;
        }
        terminal::log_char(c);
        terminal::emit_char(c);
    }
}

void flush_output() {
    terminal::send_pending();
    terminal::act_on_signals();
}

} // namespace detail

void clear_screen() {
    terminal::out.log_size = 0;
    terminal::emit_clear();
    detail::flush_output();
}

void end_line() {
    terminal::log_char(terminal::LOG_LINE_END);
    terminal::emit_line_end();
    detail::flush_output();
}

} // namespace console
