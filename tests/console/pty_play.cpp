#include "pty_play.hpp"

#include <gtest/gtest.h>

namespace pty_play {

namespace {

using pty_board::Cell;
using pty_board::CellKind;

Cell& cell_at(Board& board, int row, int col) {
    return board.cells.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(col - 1));
}

std::string shown(const Board& board) {
    return pty_screen::dump(board.rows);
}

// The machine's move from `before` to `after` along the marker's row: checks that it took a
// number there, scored it and changed nothing else.
void check_machine_move(const Board& before, const Board& after) {
    const int row = before.marker_row;
    EXPECT_EQ(after.marker_row, row) << "the machine left the marker's row\n" << shown(after);
    EXPECT_NE(after.marker_col, before.marker_col) << shown(after);
    const Cell taken = pty_board::cell(before, row, after.marker_col);
    EXPECT_EQ(taken.kind, CellKind::number) << "the machine took a cell without a number\n"
                                            << shown(before) << shown(after);
    Board expected = before;
    cell_at(expected, row, before.marker_col) = Cell{CellKind::empty, 0};
    cell_at(expected, row, after.marker_col) = Cell{CellKind::marker, 0};
    EXPECT_TRUE(after.cells == expected.cells) << shown(before) << shown(after);
    EXPECT_EQ(after.machine_points, before.machine_points + taken.value);
    EXPECT_EQ(after.player_points, before.player_points);
}

Board after_player_move(const Board& before, int row) {
    Board expected = before;
    const int col = before.marker_col;
    expected.player_points += pty_board::cell(before, row, col).value;
    cell_at(expected, before.marker_row, col) = Cell{CellKind::empty, 0};
    cell_at(expected, row, col) = Cell{CellKind::marker, 0};
    expected.marker_row = row;
    return expected;
}

// The screen as it stands, with the machine's line written at the cursor under it.
std::vector<std::string> with_thinking_line(const Session& session, const Board& board) {
    std::vector<std::string> rows = pty_screen::rows(session.screen);
    const auto at = static_cast<std::size_t>(board.score_row) + board.below.size();
    if (at < rows.size()) {
        rows[at] = pty_board::THINKING;
    }
    return rows;
}

std::optional<Board> wait_for_result(Session& session, const Board& final_board) {
    const std::optional<Board> shown_result = wait_for_board(
        session,
        [&](const Board& b) { return b.cells == final_board.cells && b.below.size() >= 2; },
        "the result under the final board");
    if (shown_result) {
        EXPECT_EQ(
            shown_result->below,
            (std::vector<std::string>{pty_board::result_line(*shown_result), pty_board::NEW_GAME}))
            << shown(*shown_result);
    }
    return shown_result;
}

} // namespace

pty_session::Options options(int width, int height) {
    pty_session::Options chosen;
    chosen.program = GRIDTAKE_BINARY;
    chosen.width = width;
    chosen.height = height;
    return chosen;
}

bool is_fresh(const Board& board) {
    return pty_board::count_cells(board, CellKind::number) ==
               pty_board::SIZE * pty_board::SIZE - 1 &&
           board.machine_points == 0 && board.player_points == 0;
}

std::optional<Board> start_game(Session& session, const pty_session::Options& chosen) {
    pty_session::start(session, chosen);
    return wait_for_board(
        session, [](const Board& b) { return is_fresh(b) && b.below.empty(); }, "the first screen");
}

std::optional<Board> wait_for_lines_below(Session& session, const Board& board,
                                          const std::vector<std::string>& lines) {
    return wait_for_board(
        session, [&](const Board& b) { return b.cells == board.cells && b.below == lines; },
        "the lines below the board");
}

std::optional<Board> settle(Session& session, const Board& board) {
    std::vector<std::string> lines = board.below;
    lines.emplace_back(pty_board::REFUSED_KEY);
    pty_session::send(session, "0");
    return wait_for_lines_below(session, board, lines);
}

std::optional<Move> play_move(Session& session, const Board& before, int row) {
    const int col = before.marker_col;
    if (pty_board::cell(before, row, col).kind != CellKind::number) {
        ADD_FAILURE() << "row " << row << " is no valid move\n" << shown(before);
        return std::nullopt;
    }
    const std::vector<std::string> thinking = with_thinking_line(session, before);
    const std::size_t erased = session.screen.erased.size();
    pty_session::send(session, std::string(1, static_cast<char>('0' + row)));
    std::optional<Board> after = wait_for_board(
        session,
        [&](const Board& b) {
            return b.marker_row == row &&
                   pty_board::cell(b, before.marker_row, col).kind == CellKind::empty;
        },
        "the screen after pressing " + std::to_string(row));
    if (!after) {
        return std::nullopt;
    }
    // The player's move shows only together with the machine's reply: until then the screen
    // stays as it was, with the machine's line under it. (The last screen erased is the one
    // that the redraw replaced; an earlier one may be the first of the two draws of a game.)
    if (session.screen.erased.size() > erased) {
        EXPECT_EQ(session.screen.erased.back(), thinking)
            << "the screen before the redraw\n"
            << pty_screen::dump(session.screen.erased.back());
    } else {
        ADD_FAILURE() << "the screen was not cleared before the redraw";
    }
    const Board moved = after_player_move(before, row);
    Move move{*after, after->marker_col != col, false};
    if (move.machine_moved) {
        check_machine_move(moved, *after);
        move.game_over = pty_board::number_rows(*after, after->marker_col).empty();
    } else {
        // The machine takes along the marker's row; it cannot move only when that row has no
        // number left.
        EXPECT_TRUE(pty_board::number_cols(moved, row).empty()) << shown(before) << shown(*after);
        EXPECT_TRUE(after->cells == moved.cells) << shown(before) << shown(*after);
        EXPECT_EQ(after->player_points, moved.player_points);
        EXPECT_EQ(after->machine_points, moved.machine_points);
        move.game_over = true;
    }
    if (!move.game_over) {
        EXPECT_TRUE(after->below.empty()) << shown(*after);
        return move;
    }
    const std::optional<Board> result = wait_for_result(session, *after);
    if (!result) {
        return std::nullopt;
    }
    move.after = *result;
    return move;
}

std::optional<Board> start_next_game(Session& session, const Move& last, char key) {
    const bool machine_opens = !last.machine_moved;
    const std::size_t erased = session.screen.erased.size();
    const std::vector<std::string> final_rows = pty_screen::rows(session.screen);
    pty_session::send(session, std::string(1, key));
    // The new game draws its board, then the first pass of the turn loop draws it again,
    // after the machine's move when the machine opens.
    std::optional<Board> now = wait_for_board(
        session,
        [&](const Board& b) {
            if (session.screen.erased.size() < erased + 2 || b.player_points != 0) {
                return false;
            }
            return machine_opens ? pty_board::count_cells(b, CellKind::empty) == 1
                                 : is_fresh(b) && b.below.empty();
        },
        std::string("the next game's board, opened by the ") +
            (machine_opens ? "machine" : "player"));
    if (!now) {
        return std::nullopt;
    }
    EXPECT_EQ(session.screen.erased[erased], final_rows) << "the result did not stay until the key";
    std::string problem;
    const std::optional<Board> dealt =
        pty_board::read_board(session.screen.erased[erased + 1], session.screen.width, problem);
    if (!dealt) {
        ADD_FAILURE() << "the new game's first screen: " << problem << "\n"
                      << pty_screen::dump(session.screen.erased[erased + 1]);
        return std::nullopt;
    }
    EXPECT_TRUE(is_fresh(*dealt)) << shown(*dealt);
    if (machine_opens) {
        EXPECT_EQ(dealt->below, std::vector<std::string>{pty_board::THINKING}) << shown(*dealt);
        check_machine_move(*dealt, *now);
    } else {
        EXPECT_TRUE(dealt->below.empty()) << shown(*dealt);
        EXPECT_TRUE(now->cells == dealt->cells) << shown(*dealt) << shown(*now);
    }
    return now;
}

void quit(Session& session, const Board& board) {
    const std::vector<int> rows = pty_board::number_rows(board, board.marker_col);
    ASSERT_FALSE(rows.empty()) << shown(board);
    const std::vector<std::string> before = pty_screen::rows(session.screen);
    pty_session::send(session, "q" + std::to_string(rows.front()));
    ASSERT_TRUE(pty_session::wait_for_exit(session)) << pty_session::describe_state(session);
    EXPECT_EQ(pty_session::shell_status(session), 0) << pty_session::describe_state(session);
    EXPECT_TRUE(
        pty_session::same_settings(pty_session::current_settings(session), session.start_settings))
        << "now:   " << pty_session::describe(pty_session::current_settings(session))
        << "\nstart: " << pty_session::describe(session.start_settings);
    EXPECT_EQ(session.error_output, "");
    ASSERT_TRUE(pty_session::sync_output(session));
    EXPECT_EQ(pty_screen::rows(session.screen), before)
        << "the screen changed after the quitting move\n"
        << pty_screen::dump(session.screen);
}

} // namespace pty_play
