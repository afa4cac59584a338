// gridtake: take numbers from a 6x6 board against the machine.
#include "console/console.hpp"
#include "game/game_loop.hpp"
#include "game/game_state.hpp"

int main() {
    // Static, so that the search records it owns stay reachable for the whole run.
    static gridtake::GameState state;
    console::prepare();
    gridtake::run_game_loop(state);
    console::restore();
    return 0;
}
