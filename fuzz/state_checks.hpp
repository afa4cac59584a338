// Checks of what must hold of the game state whenever the game waits for a key, shared by the
// fuzz target of the game loop and the soak. Each returns an empty text when all is well and
// otherwise says what is wrong, so a fuzzer can stop on it and a test can report it.
#pragma once

#include <cstddef>
#include <string>

#include "game/game_state.hpp"
#include "pools.hpp"

namespace state_checks {

using pools::MOST_LEVELS;
using pools::MOST_NODES;
constexpr int MOST_MOVES = 35;
constexpr int LOWEST_SCORE = -270;
constexpr int HIGHEST_SCORE = 252;

// What one game looked like at the previous check, for the rules that compare two moments.
struct GameTrace {
    gridtake::Grid deal{};  // the deal as it was handed to the game
    gridtake::Grid board{}; // the board at the previous check of this game
    // The moves of this game as the caller saw them made, when it counts them: the keys that
    // took a number, and the machine's turns (each writes its thinking line once).
    bool counts_moves = false;
    int player_moves = 0;
    int machine_turns = 0;
};

// A new game has been dealt `deal`; the trace starts from the fresh board and no moves.
void start_trace(GameTrace& trace, const gridtake::Grid& deal);

// The board and marker, the deal, the scores and the number of moves.
std::string check_game(const gridtake::GameState& state, GameTrace& trace);
// Every search record made so far back in its pool, and the pools within their bounds.
std::string check_pools(const gridtake::GameState& state, std::size_t nodes_made,
                        std::size_t levels_made);
// The side to move has no number on its line, as a finished game must.
std::string check_game_is_over(const gridtake::GameState& state);

} // namespace state_checks
