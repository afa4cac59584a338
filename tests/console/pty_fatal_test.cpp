// The real program when its output fails or its input ends: it ends at once with status 1 and
// a one-line report on standard error, the terminal's settings put back where it has one.
#include <gtest/gtest.h>

#include <algorithm>

#include "pty_play.hpp"

namespace {

using pty_session::Input;
using pty_session::Output;

enum class Trouble {
    none,               // the output fails by itself
    input_ends_at_once, // the input pipe is closed as the program starts
    input_ends_later,   // the input pipe is closed while the program waits for a key
    terminal_goes_away, // the terminal's master side is closed while the program waits
};

struct FatalCase {
    const char* name;
    Input input;
    Output output;
    Trouble trouble;
};

void PrintTo(const FatalCase& c, std::ostream* out) {
    *out << c.name;
}

class FatalEnd : public ::testing::TestWithParam<FatalCase> {
  protected:
    void TearDown() override { pty_session::finish(session); }
    pty_session::Session session;
};

TEST_P(FatalEnd, EndsWithStatusOneAndAOneLineReport) {
    const FatalCase& c = GetParam();
    pty_session::Options chosen = pty_play::options();
    chosen.input = c.input;
    chosen.output = c.output;
    pty_session::start(session, chosen);
    if (c.trouble == Trouble::input_ends_at_once) {
        pty_session::close_input_pipe(session);
    } else if (c.trouble != Trouble::none) {
        const std::optional<pty_board::Board> board = pty_play::wait_for_board(
            session, [](const pty_board::Board& b) { return pty_play::is_fresh(b); },
            "the first screen");
        ASSERT_TRUE(board);
        ASSERT_TRUE(pty_play::settle(session, *board));
        if (c.trouble == Trouble::input_ends_later) {
            pty_session::close_input_pipe(session);
        } else {
            pty_session::close_master(session);
        }
    }
    // Ending at all within the deadline shows that the program neither waits on nor spins.
    ASSERT_TRUE(pty_session::wait_for_exit(session)) << pty_session::describe_state(session);
    EXPECT_EQ(pty_session::shell_status(session), 1) << pty_session::describe_state(session);
    const std::string& report = session.error_output;
    EXPECT_GT(report.size(), 1u);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    EXPECT_TRUE(report.ends_with('\n')) << report;
    if (c.trouble != Trouble::terminal_goes_away) {
        const termios now = pty_session::current_settings(session);
        EXPECT_TRUE(pty_session::same_settings(now, session.start_settings))
            << "now:   " << pty_session::describe(now)
            << "\nstart: " << pty_session::describe(session.start_settings);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealBinary, FatalEnd,
    ::testing::Values(
        FatalCase{"OutputOnAFullDevice", Input::terminal, Output::dev_full, Trouble::none},
        FatalCase{"OutputIntoAClosedPipe", Input::terminal, Output::closed_pipe, Trouble::none},
        FatalCase{"InputPipeEndsAtOnce", Input::pipe, Output::terminal,
                  Trouble::input_ends_at_once},
        FatalCase{"InputPipeEndsWhileWaiting", Input::pipe, Output::terminal,
                  Trouble::input_ends_later},
        FatalCase{"TerminalGoesAwayWhileWaiting", Input::terminal, Output::terminal,
                  Trouble::terminal_goes_away}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return std::string(info.param.name); });

} // namespace
