#include "screen_checks.hpp"

#include <array>
#include <cstdio>
#include <string_view>

#include "scripted_console.hpp"

namespace screen_checks {

using gridtake::BOARD_SIZE;
using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;

namespace {

constexpr std::size_t SCREEN_LINES = 18;

const std::array<std::string, 3> INSTRUCTIONS = {
    "Take a number from a row, from the column where the #### tile is.",
    "Press the number keys 1-6 to select a row. The machine will then select a number from "
    "somewhere",
    "from column.Push q to Quit the game",
};
constexpr std::size_t MARGIN = 7; // up to the board's left border

// The 18 lines that draw_screen writes for `state`, each ended by '\n'; built in one buffer
// that is kept from call to call, since the fuzzer asks for it at every key.
const std::string& screen_text(const GameState& state) {
    static std::string text; // NOLINT: a buffer, not state
    text.clear();
    for (const std::string& line : INSTRUCTIONS) {
        text += line;
        text += '\n';
    }
    text.append(MARGIN, ' ');
    for (int col = 1; col <= BOARD_SIZE; ++col) {
        text += "     ";
        text += static_cast<char>('0' + col);
    }
    text += '\n';
    text.append(MARGIN, ' ');
    text.append(6 * BOARD_SIZE, '_');
    text += '\n';
    std::array<char, 8> field{};
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        std::snprintf(field.data(), field.size(), "%5d !", row);
        text += field.data();
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            const int16_t value = cell(state.board, row, col);
            if (value == CELL_EMPTY) {
                text += "      ";
            } else if (value == CELL_MARKER) {
                text += "  ####";
            } else {
                std::snprintf(field.data(), field.size(), "%6d", value);
                text += field.data();
            }
        }
        text += '\n';
        text.append(MARGIN - 1, ' ');
        text += "!\n";
    }
    std::snprintf(field.data(), field.size(), "%d", state.machine_points);
    text += "Machines Point: ";
    text += field.data();
    std::snprintf(field.data(), field.size(), "%d", state.player_points);
    text += " Players Point: ";
    text += field.data();
    text += '\n';
    return text;
}

// Where the screen's 18 lines end in `text`, or npos when it has fewer.
std::size_t screen_end(std::string_view text) {
    std::size_t end = 0;
    for (std::size_t line = 0; line < SCREEN_LINES; ++line) {
        end = text.find('\n', end);
        if (end == std::string_view::npos) {
            return end;
        }
        ++end;
    }
    return end;
}

std::string compare_under_screen(const std::vector<std::string>& wanted) {
    const std::string text = scripted_console::written_since_clear();
    const std::size_t end = screen_end(text);
    if (end == std::string::npos) {
        return "the screen is cut short: [" + text + "]";
    }
    std::string due;
    for (const std::string& line : wanted) {
        due += line;
        due += '\n';
    }
    if (text.compare(end, std::string::npos, due) == 0) {
        return {};
    }
    return "under the screen stands [" + text.substr(end) + "] where [" + due + "] was due";
}

} // namespace

bool note_key(const GameState& state, TurnTrace& turn, uint8_t key) {
    if (turn.clears != scripted_console::clear_count()) {
        turn = {scripted_console::clear_count(), {}};
    }
    if (key == 'q') {
        return false;
    }
    if (key < '1' || key >= '1' + BOARD_SIZE) {
        turn.lines.emplace_back("Push Buttons 1 - 9.");
        return false;
    }
    const int16_t value = cell(state.board, static_cast<uint8_t>(key - '0'), state.marker_col);
    if (value == CELL_EMPTY) {
        turn.lines.emplace_back("You Cant Selecet the Empty!");
        return false;
    }
    if (value == CELL_MARKER) {
        turn.lines.emplace_back("You Cant Select the ####!");
        return false;
    }
    return true;
}

int thinking_lines() {
    constexpr std::string_view THINKING = "Wait a minute. Im thinking.";
    const std::string text = scripted_console::transcript();
    scripted_console::clear_transcript();
    int count = 0;
    for (std::size_t at = text.find(THINKING); at != std::string::npos;
         at = text.find(THINKING, at + THINKING.size())) {
        ++count;
    }
    return count;
}

std::string check_screen(const GameState& state) {
    const std::string text = scripted_console::written_since_clear();
    const std::string& due = screen_text(state);
    if (text.compare(0, due.size(), due) == 0) {
        return {};
    }
    return "the screen reads [" + text.substr(0, due.size()) + "] where [" + due + "] was due";
}

std::string check_turn(TurnTrace& turn) {
    if (turn.clears != scripted_console::clear_count()) {
        turn = {scripted_console::clear_count(), {}};
    }
    return compare_under_screen(turn.lines);
}

std::string check_result(const GameState& state) {
    std::string result = "HA! HA! YOU LOST AGAIN!!";
    if (state.player_points > state.machine_points) {
        result = "CONGRATULATIONS! YOU WON!";
    } else if (state.player_points == state.machine_points) {
        result = "WOW! EVEN! :(";
    }
    return compare_under_screen({result, "Push the Button to Start a New Game"});
}

} // namespace screen_checks
