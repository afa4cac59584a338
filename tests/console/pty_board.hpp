// Reading the game's screen off the virtual terminal, as a player reads it: the layout of the
// instructions, the board, the scores and the lines written below them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pty_screen.hpp"

namespace pty_board {

inline constexpr int SIZE = 6;
inline constexpr const char* THINKING = "Wait a minute. Im thinking.";
inline constexpr const char* NEW_GAME = "Push the Button to Start a New Game";
inline constexpr const char* REFUSED_KEY = "Push Buttons 1 - 9.";

enum class CellKind { number, empty, marker };

struct Cell {
    CellKind kind = CellKind::empty;
    int value = 0;
    bool operator==(const Cell&) const = default;
};

struct Board {
    std::array<std::array<Cell, SIZE>, SIZE> cells{}; // [row - 1][column - 1]
    int marker_row = 0;                               // 1-based
    int marker_col = 0;
    int machine_points = 0;
    int player_points = 0;
    int score_row = 0;              // the screen row of the score line, 1-based
    std::vector<std::string> below; // the rows under the score line, to the last one not blank
    bool complete = false;          // the cursor stands at the start of a row below the score line
    std::vector<std::string> rows;  // the screen it was read from
};

// The rows that the instructions, the column header and the underline take in a window
// `width` columns wide, without trailing blanks: a line goes on in the next row when it fills
// the last column, so a line exactly as wide as the window leaves an empty row after it.
std::vector<std::string> top_rows(int width);

// The board drawn on `rows` of a window `width` wide, or nothing with the reason in `problem`.
std::optional<Board> read_board(const std::vector<std::string>& rows, int width,
                                std::string& problem);
// The same for what the screen shows now, `complete` set from its cursor.
std::optional<Board> read_board(const pty_screen::Screen& screen, std::string& problem);
std::optional<Board> read_board(const pty_screen::Screen& screen);

const Cell& cell(const Board& board, int row, int col);
int count_cells(const Board& board, CellKind kind);
// The rows of `col` that hold a number, ascending.
std::vector<int> number_rows(const Board& board, int col);
// The columns of `row` that hold a number, ascending.
std::vector<int> number_cols(const Board& board, int row);

// The line that the result of a game with these scores is announced with.
std::string result_line(const Board& board);

} // namespace pty_board
