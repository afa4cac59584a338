// The real program and the signals of a terminal's life: the break key and the signals that
// end it, suspending and continuing, and a change of the window's size.
#include <gtest/gtest.h>

#include <csignal>

#include "pty_play.hpp"

namespace {

using pty_board::Board;

std::string settings_mismatch(const termios& now, const termios& expected) {
    return "now:      " + pty_session::describe(now) +
           "\nexpected: " + pty_session::describe(expected);
}

// Either a byte typed at the terminal or a signal sent to the program.
struct Action {
    const char* name;
    const char* bytes;
    int signal;
};

void PrintTo(const Action& action, std::ostream* out) {
    *out << action.name;
}

void perform(pty_session::Session& session, const Action& action) {
    if (action.signal != 0) {
        pty_session::send_signal(session, action.signal);
    } else {
        pty_session::send(session, action.bytes);
    }
}

struct EndingCase {
    Action action;
    int status; // as a shell shows it
};

void PrintTo(const EndingCase& c, std::ostream* out) {
    *out << c.action.name << ", status " << c.status;
}

class EndingSignal : public ::testing::TestWithParam<EndingCase> {
  protected:
    void TearDown() override { pty_session::finish(session); }
    pty_session::Session session;
};

TEST_P(EndingSignal, EndsAtOnceWithTheTerminalRestored) {
    const std::optional<Board> started = pty_play::start_game(session, pty_play::options());
    ASSERT_TRUE(started);
    const std::optional<Board> board = pty_play::settle(session, *started);
    ASSERT_TRUE(board);
    perform(session, GetParam().action);
    ASSERT_TRUE(pty_session::wait_for_exit(session)) << pty_session::describe_state(session);
    EXPECT_EQ(pty_session::shell_status(session), GetParam().status)
        << pty_session::describe_state(session);
    const termios now = pty_session::current_settings(session);
    EXPECT_TRUE(pty_session::same_settings(now, session.start_settings))
        << settings_mismatch(now, session.start_settings);
    // The screen keeps its last contents.
    ASSERT_TRUE(pty_session::sync_output(session));
    const std::optional<Board> left = pty_board::read_board(session.screen);
    ASSERT_TRUE(left) << pty_screen::dump(session.screen);
    EXPECT_EQ(left->rows, board->rows) << pty_screen::dump(session.screen);
}

INSTANTIATE_TEST_SUITE_P(RealBinary, EndingSignal,
                         ::testing::Values(EndingCase{{"CtrlBackslash", "\x1c", 0}, 131},
                                           EndingCase{{"Sigterm", "", SIGTERM}, 143},
                                           EndingCase{{"Sighup", "", SIGHUP}, 129}),
                         [](const ::testing::TestParamInfo<EndingCase>& info) {
                             return std::string(info.param.action.name);
                         });

class Suspend : public ::testing::TestWithParam<Action> {
  protected:
    void TearDown() override { pty_session::finish(session); }
    pty_session::Session session;
};

TEST_P(Suspend, StopsWithTheStartSettingsAndComesBackRepainted) {
    const std::optional<Board> started = pty_play::start_game(session, pty_play::options());
    ASSERT_TRUE(started);
    // A line under the board, which the repaint must bring back as well.
    const std::optional<Board> board = pty_play::settle(session, *started);
    ASSERT_TRUE(board);
    const termios single_key = pty_session::current_settings(session);

    // A key typed just before the suspend is taken once, before or after it.
    pty_session::send(session, "0");
    perform(session, GetParam());
    ASSERT_TRUE(pty_session::wait_for_stop(session)) << pty_session::describe_state(session);
    const termios stopped = pty_session::current_settings(session);
    EXPECT_TRUE(pty_session::same_settings(stopped, session.start_settings))
        << settings_mismatch(stopped, session.start_settings);

    // Whatever it wrote on the way out is read first; then a blank screen, so that only a
    // repaint can show the board again.
    ASSERT_TRUE(pty_session::sync_output(session));
    pty_screen::reset(session.screen, 80, 25);
    pty_session::send_signal(session, SIGCONT);
    const std::optional<Board> repainted = pty_play::wait_for_lines_below(
        session, *board, {pty_board::REFUSED_KEY, pty_board::REFUSED_KEY});
    ASSERT_TRUE(repainted) << "no repaint after continuing";
    EXPECT_TRUE(pty_session::wait_for_settings(session, single_key))
        << settings_mismatch(pty_session::current_settings(session), single_key);

    // A key after continuing is taken exactly once: one move and the machine's reply, and
    // the next key is the next thing that the game reads.
    const int row = pty_board::number_rows(*repainted, repainted->marker_col).front();
    const std::optional<pty_play::Move> move = pty_play::play_move(session, *repainted, row);
    ASSERT_TRUE(move);
    ASSERT_FALSE(move->game_over);
    pty_session::send(session, "0");
    const std::optional<Board> refused =
        pty_play::wait_for_lines_below(session, move->after, {pty_board::REFUSED_KEY});
    ASSERT_TRUE(refused);
    pty_play::quit(session, *refused);
}

INSTANTIATE_TEST_SUITE_P(RealBinary, Suspend,
                         ::testing::Values(Action{"CtrlZ", "\x1a", 0},
                                           Action{"Sigtstp", "", SIGTSTP}),
                         [](const ::testing::TestParamInfo<Action>& info) {
                             return std::string(info.param.name);
                         });

class Resize : public ::testing::Test {
  protected:
    void TearDown() override { pty_session::finish(session); }
    pty_session::Session session;
};

TEST_F(Resize, RepaintsWrappedForTheNewWidth) {
    const std::optional<Board> started = pty_play::start_game(session, pty_play::options(80, 25));
    ASSERT_TRUE(started);
    const std::optional<Board> board = pty_play::settle(session, *started);
    ASSERT_TRUE(board);

    // Wide enough for line 2 whole. A key typed just before the resize is taken once.
    pty_session::send(session, "0");
    pty_session::resize(session, 100, 25);
    const std::vector<std::string> refused_twice{pty_board::REFUSED_KEY, pty_board::REFUSED_KEY};
    ASSERT_TRUE(pty_play::wait_for_lines_below(session, *board, refused_twice))
        << "no repaint at 100 columns";
    EXPECT_EQ(pty_screen::row(session.screen, 2),
              "Press the number keys 1-6 to select a row. The machine will then select a "
              "number from somewhere");
    EXPECT_EQ(pty_screen::row(session.screen, 3), "from column.Push q to Quit the game");

    // Exactly as wide as line 1, which then leaves an empty row; line 2 goes on in the next.
    pty_session::resize(session, 65, 25);
    const std::optional<Board> narrow =
        pty_play::wait_for_lines_below(session, *board, refused_twice);
    ASSERT_TRUE(narrow) << "no repaint at 65 columns";
    EXPECT_EQ(pty_screen::row(session.screen, 1),
              "Take a number from a row, from the column where the #### tile is.");
    EXPECT_EQ(pty_screen::row(session.screen, 2), "");
    EXPECT_EQ(pty_screen::row(session.screen, 3),
              "Press the number keys 1-6 to select a row. The machine will then");
    EXPECT_EQ(pty_screen::row(session.screen, 4), "select a number from somewhere");
    EXPECT_EQ(narrow->score_row, 20);

    // The game goes on in the new width.
    const int row = pty_board::number_rows(*narrow, narrow->marker_col).front();
    const std::optional<pty_play::Move> move = pty_play::play_move(session, *narrow, row);
    ASSERT_TRUE(move);
    pty_play::quit(session, move->after);
}

} // namespace
