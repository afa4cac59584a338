// The real program in a pseudo-terminal, played as a person plays it: the first screen, the
// keys that the terminal must pass on, whole games to their result, and quitting.
#include <gtest/gtest.h>

#include <algorithm>

#include "pty_play.hpp"

namespace {

using pty_board::Board;
using pty_board::CellKind;
using pty_play::Move;

class GameInTerminal : public ::testing::Test {
  protected:
    void TearDown() override { pty_session::finish(session); }
    pty_session::Session session;
};

TEST_F(GameInTerminal, FirstScreenFollowsTheLayoutAndQuittingRestoresTheTerminal) {
    const std::optional<Board> board = pty_play::start_game(session, pty_play::options(80, 25));
    ASSERT_TRUE(board);
    const std::vector<std::string> expected_top = {
        "Take a number from a row, from the column where the #### tile is.",
        // 95 characters in an 80-column window: the line goes on in the next row.
        "Press the number keys 1-6 to select a row. The machine will then select a number",
        " from somewhere", "from column.Push q to Quit the game",
        "            1     2     3     4     5     6",
        "       ____________________________________"};
    const std::vector<std::string> rows = pty_screen::rows(session.screen);
    EXPECT_TRUE(std::equal(expected_top.begin(), expected_top.end(), rows.begin()))
        << pty_screen::dump(session.screen);
    for (int row = 1; row <= pty_board::SIZE; ++row) {
        const auto line = static_cast<std::size_t>(5 + 2 * row);
        EXPECT_EQ(rows[line - 1].substr(0, 7), "    " + std::to_string(row) + " !");
        EXPECT_EQ(rows[line], "      !");
    }
    EXPECT_EQ(rows[18], "Machines Point: 0 Players Point: 0");
    EXPECT_EQ(board->score_row, 19);
    EXPECT_EQ(pty_board::count_cells(*board, CellKind::marker), 1);
    EXPECT_EQ(pty_board::count_cells(*board, CellKind::number), 35);
    EXPECT_TRUE(board->below.empty()) << pty_screen::dump(session.screen);
    EXPECT_EQ(session.screen.row + 1, 20);
    EXPECT_EQ(session.screen.col + 1, 1);

    // Single-key mode while it runs: no echo, no line editing, no CR/NL translation of keys,
    // no flow control.
    const termios running = pty_session::current_settings(session);
    EXPECT_EQ(running.c_lflag & (ICANON | ECHO), 0u) << pty_session::describe(running);
    EXPECT_EQ(running.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u)
        << pty_session::describe(running);

    pty_play::quit(session, *board);
}

// Ctrl+C is a key (refused like any code that chooses no row), and so are Ctrl+S and Ctrl+Q:
// a terminal left with its interrupt or flow control would swallow them.
TEST_F(GameInTerminal, ControlKeysArriveAsKeys) {
    const std::optional<Board> board = pty_play::start_game(session, pty_play::options());
    ASSERT_TRUE(board);
    pty_session::send(session, "\x03");
    ASSERT_TRUE(pty_play::wait_for_lines_below(session, *board, {pty_board::REFUSED_KEY}));
    pty_session::send(session, "\x13\x11");
    const std::optional<Board> refused = pty_play::wait_for_lines_below(
        session, *board, {pty_board::REFUSED_KEY, pty_board::REFUSED_KEY, pty_board::REFUSED_KEY});
    ASSERT_TRUE(refused);
    pty_play::quit(session, *refused);
}

// Rows to press, so that the games run differently: the first valid row, the highest
// number, and a row that leaves the machine without a number where there is one.
int choose_row(const Board& board, int strategy) {
    const int col = board.marker_col;
    std::vector<int> rows = pty_board::number_rows(board, col);
    const auto value = [&](int row) { return pty_board::cell(board, row, col).value; };
    if (strategy == 1) {
        return *std::max_element(rows.begin(), rows.end(),
                                 [&](int a, int b) { return value(a) < value(b); });
    }
    if (strategy == 2) {
        for (const int row : rows) {
            if (pty_board::number_cols(board, row) == std::vector<int>{col}) {
                return row;
            }
        }
        return *std::min_element(rows.begin(), rows.end(),
                                 [&](int a, int b) { return value(a) < value(b); });
    }
    return rows.front();
}

TEST_F(GameInTerminal, WholeGamesPlayToTheirResultAndTheNextGameFollows) {
    std::optional<Board> board = pty_play::start_game(session, pty_play::options());
    ASSERT_TRUE(board);
    // Any key starts the next game, "q" included.
    constexpr std::string_view NEXT_GAME_KEYS = " q5";
    for (int game = 0; game < static_cast<int>(NEXT_GAME_KEYS.size()); ++game) {
        std::optional<Move> move;
        // The player moves at most 18 times in a game: 35 numbers, taken in turns.
        for (int turn = 0; turn < 18 && !(move && move->game_over); ++turn) {
            const Board now = move ? move->after : *board;
            ASSERT_FALSE(pty_board::number_rows(now, now.marker_col).empty())
                << pty_screen::dump(now.rows);
            move = pty_play::play_move(session, now, choose_row(now, game));
            ASSERT_TRUE(move) << "game " << game + 1 << ", turn " << turn + 1;
            ASSERT_FALSE(::testing::Test::HasFailure())
                << "game " << game + 1 << ", turn " << turn + 1;
        }
        ASSERT_TRUE(move->game_over) << "the game did not end\n"
                                     << pty_screen::dump(move->after.rows);
        board = pty_play::start_next_game(session, *move,
                                          NEXT_GAME_KEYS[static_cast<std::size_t>(game)]);
        ASSERT_TRUE(board) << "after game " << game + 1;
    }
    pty_play::quit(session, *board);
}

} // namespace
