// Playing the real program in a pseudo-terminal as a person would: reading the board off the
// screen, pressing keys and checking what each key press did to the screen.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pty_board.hpp"
#include "pty_session.hpp"

namespace pty_play {

using pty_board::Board;
using pty_session::Session;

// The real program in a window of the given size.
pty_session::Options options(int width = 80, int height = 25);

// Waits until the screen shows a whole board, drawn to its end, that `accept` takes; on
// timeout adds a test failure that names `what` and shows the screen.
template <typename Accept>
std::optional<Board> wait_for_board(Session& session, Accept accept, const std::string& what) {
    std::optional<Board> found;
    const auto seen = [&](const Session& s) {
        found = pty_board::read_board(s.screen);
        return found && found->complete && accept(*found);
    };
    // A program that has ended writes nothing more: once its last output is in, stop waiting.
    pty_session::wait_until(
        session, [&](const Session& s) { return seen(s) || pty_session::program_ended(s); });
    if (!seen(session) && pty_session::program_ended(session) && session.master >= 0 &&
        pty_session::sync_output(session)) {
        seen(session);
    }
    if (!found || !found->complete || !accept(*found)) {
        std::string problem = "it shows a whole board";
        pty_board::read_board(session.screen, problem);
        ADD_FAILURE() << "waited in vain for " << what << " (" << problem << "); "
                      << pty_session::describe_state(session);
        return std::nullopt;
    }
    return found;
}

// A newly dealt board: a number in every cell but the marker's, and both scores 0.
bool is_fresh(const Board& board);

// Starts the program and waits for its first screen.
std::optional<Board> start_game(Session& session, const pty_session::Options& options);

// Presses a key that chooses no row and waits for its refusal under the board: from then on
// the program is sure to be waiting for the next key, with nothing left to draw.
std::optional<Board> settle(Session& session, const Board& board);

// Waits until the lines under the score line are `lines`, the board unchanged.
std::optional<Board> wait_for_lines_below(Session& session, const Board& board,
                                          const std::vector<std::string>& lines);

struct Move {
    Board after;        // the screen after the machine's reply, with the result if the game ended
    bool machine_moved; // false when the machine found no number in its row
    bool game_over;
};

// Presses the key of `row` on `before` and checks the redrawn screen: the player's number
// and the machine's reply taken and scored, nothing else changed, the machine's line written
// under the unchanged screen first, and the result announced when the game is over.
std::optional<Move> play_move(Session& session, const Board& before, int row);

// Presses `key` after a result and checks the next game's board: dealt anew, drawn twice when
// the player opens, and the machine's move under it when the machine opens.
std::optional<Board> start_next_game(Session& session, const Move& last, char key);

// Quits with "q" and a valid row: the program ends with status 0, no reply and no redraw,
// the terminal's settings as at start and the screen left as it was.
void quit(Session& session, const Board& board);

} // namespace pty_play
