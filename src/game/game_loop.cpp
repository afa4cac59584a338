#include "game/game_loop.hpp"

#include "console/console.hpp"
#include "game/machine_turn.hpp"
#include "game/messages.hpp"
#include "game/player_turn.hpp"
#include "game/screen.hpp"

namespace gridtake {

namespace {

constexpr int16_t NUMBER_BOUND = 15;

} // namespace

// The machine moves when it is its turn; the player when it is theirs and the game goes on.
void play_turns(GameState& state) {
    for (;;) {
        if (state.machine_to_move) {
            machine_turn(state);
            if (!player_has_move(state)) {
                state.game_over = true;
            }
        }
        draw_screen(state);
        if (!state.machine_to_move && !state.game_over) {
            read_player_move(state);
        }
        if (state.game_over || state.quit_requested) {
            return;
        }
    }
}

void announce_result(const GameState& state) {
    if (state.player_points > state.machine_points) {
        say("CONGRATULATIONS! YOU WON!");
    } else if (state.player_points == state.machine_points) {
        say("WOW! EVEN! :(");
    } else {
        say("HA! HA! YOU LOST AGAIN!!");
    }
    say("Push the Button to Start a New Game");
    console::read_key(); // any key, not examined, starts the next game
}

bool player_has_move(const GameState& state) {
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        const int16_t value = cell(state.board, row, state.marker_col);
        // Every number lies well inside this bound and both sentinels far outside it.
        if (value >= -NUMBER_BOUND && value <= NUMBER_BOUND) {
            return true;
        }
    }
    return false;
}

void run_game_loop(GameState& state) {
    reset_run_state(state);
    for (;;) {
        start_new_game(state);
        draw_screen(state);
        play_turns(state);
        if (state.game_over) {
            announce_result(state);
        }
        if (state.quit_requested) {
            return;
        }
    }
}

} // namespace gridtake
