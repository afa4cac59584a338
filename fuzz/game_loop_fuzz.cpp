// Fuzzes whole runs of the game loop on the scripted console and deal. The input is read as
// one stream: 38 bytes make a deal, the bytes after it are keys (mostly rows), and each result
// takes the next deal from the stream before its key. At every key the game asks for, the
// state, the pools and the screen are checked; the run ends when the input does or the
// player quits.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "game/game_loop.hpp"
#include "game/game_state.hpp"
#include "pools.hpp"
#include "record_count.hpp"
#include "screen_checks.hpp"
#include "scripted_console.hpp"
#include "scripted_random.hpp"
#include "state_checks.hpp"

namespace {

using gridtake::BOARD_SIZE;
using gridtake::GameState;

constexpr std::size_t DEAL_BYTES = BOARD_SIZE * BOARD_SIZE + 2;
// Most bytes choose a row key, so that games get somewhere; the top ones hand on the next byte
// as the code itself, any of the 256.
constexpr uint8_t FIRST_ESCAPE_BYTE = 0xE0;

struct Fuzz {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t next = 0;
    GameState state;
    state_checks::GameTrace trace;
    screen_checks::TurnTrace turn;
};

Fuzz fuzz; // NOLINT: the one run of the fuzzer process, which the key source reads

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

void check(const std::string& fault) {
    if (!fault.empty()) {
        fail(fault);
    }
}

std::optional<uint8_t> take_byte() {
    if (fuzz.next == fuzz.size) {
        return std::nullopt;
    }
    return fuzz.data[fuzz.next++];
}

// Queues one deal drawn from the stream, missing bytes counting as 0, and starts its trace.
void queue_deal() {
    std::vector<uint32_t> draws;
    gridtake::Grid deal{};
    for (std::size_t i = 0; i < DEAL_BYTES; ++i) {
        const uint32_t range = i < BOARD_SIZE * BOARD_SIZE ? 30 : BOARD_SIZE - 1;
        draws.push_back(take_byte().value_or(0) % range);
    }
    for (std::size_t i = 0; i < BOARD_SIZE * BOARD_SIZE; ++i) {
        deal[i / BOARD_SIZE][i % BOARD_SIZE] = static_cast<int16_t>(draws[i]) - 15;
    }
    deal[draws[36]][draws[37]] = gridtake::CELL_MARKER;
    scripted_random::queue_draws(draws);
    state_checks::start_trace(fuzz.trace, deal);
}

std::optional<uint8_t> take_key() {
    const auto byte = take_byte();
    if (byte && *byte < FIRST_ESCAPE_BYTE) {
        return static_cast<uint8_t>('1' + *byte % BOARD_SIZE);
    }
    return take_byte();
}

void check_waiting_state() {
    const GameState& state = fuzz.state;
    fuzz.trace.machine_turns += screen_checks::thinking_lines();
    check(state_checks::check_game(state, fuzz.trace));
    check(state_checks::check_pools(state, record_count::nodes(), record_count::levels()));
    check(screen_checks::check_screen(state));
    if (state.game_over) {
        check(state_checks::check_game_is_over(state));
        check(screen_checks::check_result(state));
    } else {
        check(screen_checks::check_turn(fuzz.turn));
    }
}

// Asked for every key: the player's turn, or the wait after a result, which deals the next
// game first. An empty answer ends the run.
std::optional<uint8_t> next_key() {
    check_waiting_state();
    if (fuzz.state.game_over) {
        if (fuzz.size - fuzz.next < DEAL_BYTES + 1) {
            return std::nullopt;
        }
        queue_deal();
        return take_key();
    }
    const auto key = take_key();
    if (key && screen_checks::note_key(fuzz.state, fuzz.turn, *key)) {
        ++fuzz.trace.player_moves;
    }
    return key;
}

void play(const uint8_t* data, std::size_t size) {
    fuzz.data = data;
    fuzz.size = size;
    fuzz.next = 0;
    fuzz.turn = {};
    fuzz.trace.counts_moves = true;
    scripted_console::reset(80, 25);
    scripted_random::reset(scripted_random::Mode::queued);
    queue_deal();
    scripted_console::set_key_source(next_key);
    try {
        gridtake::run_game_loop(fuzz.state);
        // Quitting: the player's last move is made and the machine does not answer it.
        if (!fuzz.state.quit_requested || !fuzz.state.machine_to_move || fuzz.state.game_over) {
            fail("the game loop returned without a quit after a move");
        }
        fuzz.trace.machine_turns += screen_checks::thinking_lines();
        check(state_checks::check_game(fuzz.state, fuzz.trace));
    } catch (const scripted_console::ScriptExhausted&) {
        // The input ran out.
    } catch (const std::exception& e) {
        fail(e.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    play(data, size);
    pools::release(fuzz.state);
    record_count::reset();
    fuzz.state = GameState{};
    return 0;
}
