// Checks of what the scripted console shows while the game waits for a key: the board and the
// scores as the state holds them, and under them exactly the lines the keys so far call for.
// Each returns an empty text when all is well and otherwise says what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.hpp"

namespace screen_checks {

// The keys of the player's turn since the screen was last drawn, as the lines they call for.
struct TurnTrace {
    int clears = -1; // the console's clear count when these lines were noted
    std::vector<std::string> lines;
};

// A key handed to the player's turn: notes the line it is answered with, if any, and says
// whether it makes a move.
bool note_key(const gridtake::GameState& state, TurnTrace& turn, uint8_t key);
// The machine's thinking lines written since the last call, which are its turns; what was
// written is then forgotten, so the transcript never grows long.
int thinking_lines();

// The 18 lines of the screen drawn last.
std::string check_screen(const gridtake::GameState& state);
// Under the screen, during the player's turn: one refusal line for each refused key.
std::string check_turn(TurnTrace& turn);
// Under the screen, after a game: the result that the scores give, then the prompt.
std::string check_result(const gridtake::GameState& state);

} // namespace screen_checks
