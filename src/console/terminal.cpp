// The terminal console's set-up, its tidying and its fatal exit.
#include <array>
#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "console/console.hpp"
#include "console/terminal_parts.hpp"

namespace console {

namespace {

constexpr std::string_view PROGRAM_NAME = "gridtake: ";
constexpr std::size_t REPORT_CAPACITY = 512;
constexpr int FATAL_STATUS = 1;

bool prepared = false; // NOLINT: the one terminal of the process

// Appends `text` to `line` at `used`, cut to what fits, any control character as a blank.
void append(std::array<char, REPORT_CAPACITY>& line, std::size_t& used, std::string_view text) {
    for (const char c : text) {
        if (used == line.size()) {
            return;
        }
        line[used++] = (c >= 0 && c < ' ') ? ' ' : c;
    }
}

} // namespace

void prepare() {
    if (prepared) {
        return;
    }
    prepared = true;
    terminal::save_start_settings();
    terminal::install_signal_handlers();
    terminal::set_window_size(terminal::read_window_size());
    terminal::enter_single_key_mode();
}

void restore() {
    terminal::leave_single_key_mode();
    if (prepared) {
        terminal::remove_signal_handlers();
        prepared = false;
    }
}

void fatal_error(std::string_view report) {
    terminal::leave_single_key_mode();
    std::array<char, REPORT_CAPACITY> line{};
    std::size_t used = 0;
    append(line, used, PROGRAM_NAME);
    append(line, used, report.substr(0, REPORT_CAPACITY - PROGRAM_NAME.size() - 1));
    line[used++] = '\n'; // the report was cut to leave room for it
    // Standard error is the last resort: if it fails too, there is no one left to tell.
    const char* data = line.data();
    while (used > 0) {
        const ssize_t written = write(STDERR_FILENO, data, used);
        if (written > 0) {
            data += written;
            used -= static_cast<std::size_t>(written);
        } else if (written == 0 || errno != EINTR) {
            break;
        }
    }
    _exit(FATAL_STATUS);
}

namespace terminal {

void fatal_system_error(std::string_view what, int error_number) {
    std::array<char, REPORT_CAPACITY> line{};
    std::size_t used = 0;
    append(line, used, what);
    append(line, used, ": ");
    append(line, used, std::strerror(error_number));
    fatal_error(std::string_view(line.data(), used));
}

} // namespace terminal

} // namespace console
