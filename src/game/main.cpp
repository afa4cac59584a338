// gridtake: take numbers from a 6x6 board against the machine.
#include "console/console.hpp"
#include "game/game_state.hpp"
#include "game/screen.hpp"

int main() {
    // Static, so that the search records it owns stay reachable for the whole run.
    static gridtake::GameState state;
    console::prepare();
    gridtake::reset_run_state(state);
    gridtake::start_new_game(state);
    gridtake::draw_screen(state);
    console::read_key();
    console::restore();
    return 0;
}
