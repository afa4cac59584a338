#include "pty_board.hpp"

#include <charconv>
#include <string_view>

namespace pty_board {

namespace {

constexpr int ROW_LINE_LENGTH = 43;
constexpr int LOWEST = -15;
constexpr int HIGHEST = 14;
constexpr std::string_view BORDER_LINE = "      !";
constexpr std::string_view MACHINE_SCORE = "Machines Point: ";
constexpr std::string_view PLAYER_SCORE = " Players Point: ";

std::string right_justified(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The lines of the screen above the board, as the program writes them.
std::vector<std::string> top_lines() {
    std::string header(7, ' ');
    for (int col = 1; col <= SIZE; ++col) {
        header += right_justified(std::to_string(col), 6);
    }
    return {"Take a number from a row, from the column where the #### tile is.",
            "Press the number keys 1-6 to select a row. The machine will then select a number "
            "from somewhere",
            "from column.Push q to Quit the game", header,
            std::string(7, ' ') + std::string(6 * SIZE, '_')};
}

// Reads the whole of `text` as a decimal integer written without leading zeros or plus sign.
std::optional<int> whole_number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || std::to_string(value) != text) {
        return std::nullopt;
    }
    return value;
}

std::optional<Cell> read_cell(const std::string& field) {
    if (field == "      ") {
        return Cell{CellKind::empty, 0};
    }
    if (field == "  ####") {
        return Cell{CellKind::marker, 0};
    }
    const std::size_t first = field.find_first_not_of(' ');
    const std::optional<int> value = whole_number(std::string_view(field).substr(first));
    if (!value || *value < LOWEST || *value > HIGHEST) {
        return std::nullopt;
    }
    return Cell{CellKind::number, *value};
}

bool read_row_line(const std::string& text, int row, Board& board, std::string& problem) {
    const std::string prefix = right_justified(std::to_string(row), 5) + " !";
    std::string line = text;
    if (line.size() > static_cast<std::size_t>(ROW_LINE_LENGTH) ||
        line.compare(0, prefix.size(), prefix) != 0) {
        problem = "row line " + std::to_string(row) + " is \"" + text + "\"";
        return false;
    }
    line.resize(ROW_LINE_LENGTH, ' ');
    for (int col = 1; col <= SIZE; ++col) {
        const std::string field = line.substr(static_cast<std::size_t>(6 * col + 1), 6);
        const std::optional<Cell> read = read_cell(field);
        if (!read) {
            problem = "row " + std::to_string(row) + ", column " + std::to_string(col) +
                      " shows \"" + field + "\"";
            return false;
        }
        board.cells[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)] = *read;
        if (read->kind == CellKind::marker) {
            board.marker_row = row;
            board.marker_col = col;
        }
    }
    return true;
}

bool read_scores(const std::string& text, Board& board) {
    std::string_view line(text);
    if (!line.starts_with(MACHINE_SCORE)) {
        return false;
    }
    line.remove_prefix(MACHINE_SCORE.size());
    const std::size_t split = line.find(PLAYER_SCORE);
    if (split == std::string_view::npos) {
        return false;
    }
    const std::optional<int> machine = whole_number(line.substr(0, split));
    const std::optional<int> player = whole_number(line.substr(split + PLAYER_SCORE.size()));
    if (!machine || !player) {
        return false;
    }
    board.machine_points = *machine;
    board.player_points = *player;
    return true;
}

} // namespace

std::vector<std::string> top_rows(int width) {
    std::vector<std::string> rows;
    const auto w = static_cast<std::size_t>(width);
    for (const std::string& line : top_lines()) {
        for (std::size_t at = 0; at < line.size(); at += w) {
            rows.push_back(trimmed(line.substr(at, w)));
        }
        if (line.empty() || line.size() % w == 0) {
            rows.emplace_back();
        }
    }
    return rows;
}

std::optional<Board> read_board(const std::vector<std::string>& rows, int width,
                                std::string& problem) {
    if (width <= ROW_LINE_LENGTH) {
        problem = "the window is too narrow to read the board";
        return std::nullopt;
    }
    const std::vector<std::string> top = top_rows(width);
    const std::size_t needed = top.size() + 2 * SIZE + 1;
    if (rows.size() < needed) {
        problem = "the window has too few rows for the screen";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < top.size(); ++i) {
        if (rows[i] != top[i]) {
            problem =
                "row " + std::to_string(i + 1) + " is \"" + rows[i] + "\", not \"" + top[i] + "\"";
            return std::nullopt;
        }
    }
    Board board;
    std::size_t at = top.size();
    for (int row = 1; row <= SIZE; ++row, at += 2) {
        if (!read_row_line(rows[at], row, board, problem)) {
            return std::nullopt;
        }
        if (rows[at + 1] != BORDER_LINE) {
            problem =
                "the border line under row " + std::to_string(row) + " is \"" + rows[at + 1] + "\"";
            return std::nullopt;
        }
    }
    if (count_cells(board, CellKind::marker) != 1) {
        problem =
            "the board shows " + std::to_string(count_cells(board, CellKind::marker)) + " markers";
        return std::nullopt;
    }
    if (!read_scores(rows[at], board)) {
        problem = "the score line is \"" + rows[at] + "\"";
        return std::nullopt;
    }
    board.score_row = static_cast<int>(at + 1);
    board.rows = rows;
    std::size_t last = rows.size();
    while (last > at + 1 && rows[last - 1].empty()) {
        --last;
    }
    board.below.assign(rows.begin() + static_cast<std::ptrdiff_t>(at + 1),
                       rows.begin() + static_cast<std::ptrdiff_t>(last));
    return board;
}

std::optional<Board> read_board(const pty_screen::Screen& screen, std::string& problem) {
    std::optional<Board> board = read_board(pty_screen::rows(screen), screen.width, problem);
    if (board) {
        board->complete = screen.row + 1 > board->score_row && screen.col == 0;
    }
    return board;
}

std::optional<Board> read_board(const pty_screen::Screen& screen) {
    std::string problem;
    return read_board(screen, problem);
}

const Cell& cell(const Board& board, int row, int col) {
    return board.cells.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(col - 1));
}

int count_cells(const Board& board, CellKind kind) {
    int count = 0;
    for (const auto& row : board.cells) {
        for (const Cell& c : row) {
            count += c.kind == kind ? 1 : 0;
        }
    }
    return count;
}

std::vector<int> number_rows(const Board& board, int col) {
    std::vector<int> rows;
    for (int row = 1; row <= SIZE; ++row) {
        if (cell(board, row, col).kind == CellKind::number) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<int> number_cols(const Board& board, int row) {
    std::vector<int> cols;
    for (int col = 1; col <= SIZE; ++col) {
        if (cell(board, row, col).kind == CellKind::number) {
            cols.push_back(col);
        }
    }
    return cols;
}

std::string result_line(const Board& board) {
    if (board.player_points > board.machine_points) {
        return "CONGRATULATIONS! YOU WON!";
    }
    if (board.player_points == board.machine_points) {
        return "WOW! EVEN! :(";
    }
    return "HA! HA! YOU LOST AGAIN!!";
}

} // namespace pty_board
