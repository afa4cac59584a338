// A console for the benchmark that discards everything written, so that the benchmark times
// the game's work and not a terminal's.
#include <cstdio>
#include <cstdlib>

#include "console/console.hpp"
#include "console/output_sink.hpp"

namespace console {

void prepare() {}
void restore() {}
void clear_screen() {}
void end_line() {}

uint8_t read_key() {
    fatal_error("the benchmark has no keyboard");
}

void fatal_error(std::string_view report) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(report.size()), report.data());
    std::exit(EXIT_FAILURE);
}

namespace detail {

void put_chars(std::string_view) {}
void flush_output() {}

} // namespace detail

} // namespace console
