#include "scripted_console.hpp"

#include <deque>

#include "console/console.hpp"
#include "console/output_sink.hpp"

namespace scripted_console {

namespace {

struct VirtualConsole {
    int width = 80;
    int height = 25;
    std::vector<std::string> screen;
    int row = 0; // 0-based inside this file
    int col = 0;
    std::deque<uint8_t> keys;
    std::function<std::optional<uint8_t>()> key_source;
    std::string since_clear;
    std::string transcript;
    int clears = 0;
    int prepares = 0;
    int restores = 0;
};

VirtualConsole vc; // NOLINT: the one console of the test process

void next_row() {
    vc.col = 0;
    if (++vc.row == vc.height) {
        vc.screen.erase(vc.screen.begin());
        vc.screen.emplace_back(static_cast<std::size_t>(vc.width), ' ');
        vc.row = vc.height - 1;
    }
}

} // namespace

void reset(int width, int height) {
    vc = VirtualConsole{};
    vc.width = width;
    vc.height = height;
    vc.screen.assign(static_cast<std::size_t>(height),
                     std::string(static_cast<std::size_t>(width), ' '));
}

void queue_keys(std::string_view codes) {
    for (const char c : codes) {
        vc.keys.push_back(static_cast<uint8_t>(c));
    }
}

void queue_codes(const std::vector<uint8_t>& codes) {
    vc.keys.insert(vc.keys.end(), codes.begin(), codes.end());
}

std::size_t keys_left() {
    return vc.keys.size();
}

void set_key_source(std::function<std::optional<uint8_t>()> source) {
    vc.key_source = std::move(source);
}

std::string row(int number) {
    std::string text = vc.screen.at(static_cast<std::size_t>(number - 1));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> rows() {
    std::vector<std::string> all;
    for (int number = 1; number <= vc.height; ++number) {
        all.push_back(row(number));
    }
    return all;
}

int cursor_row() {
    return vc.row + 1;
}
int cursor_col() {
    return vc.col + 1;
}
std::string written_since_clear() {
    return vc.since_clear;
}
std::string transcript() {
    return vc.transcript;
}
void clear_transcript() {
    vc.transcript.clear();
}
int clear_count() {
    return vc.clears;
}
int prepare_count() {
    return vc.prepares;
}
int restore_count() {
    return vc.restores;
}

} // namespace scripted_console

namespace console {

using scripted_console::vc;

void prepare() {
    ++vc.prepares;
}
void restore() {
    ++vc.restores;
}

void clear_screen() {
    for (auto& line : vc.screen) {
        line.assign(static_cast<std::size_t>(vc.width), ' ');
    }
    vc.row = 0;
    vc.col = 0;
    vc.since_clear.clear();
    vc.transcript += '\f';
    ++vc.clears;
}

void end_line() {
    vc.since_clear += '\n';
    vc.transcript += '\n';
    scripted_console::next_row();
}

uint8_t read_key() {
    if (vc.keys.empty() && vc.key_source) {
        if (const auto code = vc.key_source()) {
            return *code;
        }
    }
    if (vc.keys.empty()) {
        throw scripted_console::ScriptExhausted();
    }
    const uint8_t code = vc.keys.front();
    vc.keys.pop_front();
    return code;
}

void fatal_error(std::string_view report) {
    ++vc.restores;
    throw scripted_console::FatalReport(std::string(report));
}

namespace detail {

void put_chars(std::string_view chars) {
    for (const char c : chars) {
        vc.since_clear += c;
        vc.transcript += c;
        vc.screen[static_cast<std::size_t>(vc.row)][static_cast<std::size_t>(vc.col)] = c;
        // The cursor leaves the last column at once, unlike an xterm's pending wrap.
        if (++vc.col == vc.width) {
            scripted_console::next_row();
        }
    }
}

void flush_output() {}

} // namespace detail

} // namespace console
