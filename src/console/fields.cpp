// Right-justified fields, shared by every console backend.
#include <array>
#include <charconv>

#include "console/console.hpp"
#include "console/output_sink.hpp"

namespace console {

namespace {

constexpr std::string_view BLANKS = "                                ";

void put_blanks(std::size_t count) {
    while (count > 0) {
        const std::size_t chunk = count < BLANKS.size() ? count : BLANKS.size();
        detail::put_chars(BLANKS.substr(0, chunk));
        count -= chunk;
    }
}

} // namespace

void write_text(std::string_view text, int32_t width) {
    if (width > 0 && static_cast<std::size_t>(width) > text.size()) {
        put_blanks(static_cast<std::size_t>(width) - text.size());
    }
    detail::put_chars(text);
    detail::flush_output();
}

void write_int(int32_t value, int32_t width) {
    std::array<char, 12> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    write_text(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())),
               width);
}

void write_char(char c, int32_t width) {
    write_text(std::string_view(&c, 1), width);
}

} // namespace console
