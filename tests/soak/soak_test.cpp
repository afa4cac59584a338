// The soak: 10,000 whole games in one run of the game loop, on the scripted console, with
// deals from a fixed-seed generator and a player who makes a valid move, chosen at random, at
// every turn. At every key the state, the moves and the pools are checked; between the first games
// and the last the heap must not grow, because the search records are recycled.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/game_loop.hpp"
#include "game/game_state.hpp"
#include "heap_count.hpp"
#include "pools.hpp"
#include "screen_checks.hpp"
#include "scripted_console.hpp"
#include "scripted_random.hpp"
#include "state_checks.hpp"

namespace {

using gridtake::BOARD_SIZE;
using gridtake::GameState;

constexpr int GAMES = 10000;
// By then every pool has grown to what the largest tree needs, and every buffer of the test
// seams to what one game writes.
constexpr int WARM_UP_GAMES = 100;

struct Soak {
    GameState state;
    std::mt19937 deals{20251211};
    std::mt19937 player{6};
    state_checks::GameTrace trace;
    int games = 0; // games that have ended
    long moves = 0;
    bool quit_given = false;
    std::size_t most_nodes = 0;
    std::size_t most_levels = 0;
    heap_count::Figures warm;
    heap_count::Figures last;
    std::string fault;
};

Soak soak; // NOLINT: the run that the key source plays

// The next deal, queued as its draws; the last game's draws are forgotten first.
void queue_deal() {
    scripted_random::reset(scripted_random::Mode::queued);
    std::uniform_int_distribution<uint32_t> number(0, 29);
    std::uniform_int_distribution<uint32_t> start(0, BOARD_SIZE - 2);
    std::vector<uint32_t> draws;
    draws.reserve(BOARD_SIZE * BOARD_SIZE + 2);
    gridtake::Grid deal{};
    for (auto& row : deal) {
        for (int16_t& value : row) {
            draws.push_back(number(soak.deals));
            value = static_cast<int16_t>(static_cast<int>(draws.back()) - 15);
        }
    }
    draws.push_back(start(soak.deals));
    draws.push_back(start(soak.deals));
    deal[draws[36]][draws[37]] = gridtake::CELL_MARKER;
    scripted_random::queue_draws(draws);
    state_checks::start_trace(soak.trace, deal);
}

std::optional<uint8_t> valid_row() {
    std::array<uint8_t, BOARD_SIZE> rows{};
    std::size_t count = 0;
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        if (gridtake::holds_number(gridtake::cell(soak.state.board, row, soak.state.marker_col))) {
            rows[count++] = row;
        }
    }
    if (count == 0) {
        soak.fault = "the player's turn came with no number in the marker's column";
        return std::nullopt;
    }
    std::uniform_int_distribution<std::size_t> pick(0, count - 1);
    return static_cast<uint8_t>('0' + rows[pick(soak.player)]);
}

bool checks_pass() {
    const heap_count::Figures heap = heap_count::now();
    soak.trace.machine_turns += screen_checks::thinking_lines();
    soak.fault = state_checks::check_game(soak.state, soak.trace);
    if (soak.fault.empty()) {
        soak.fault = state_checks::check_pools(soak.state, heap.record_nodes, heap.record_levels);
    }
    soak.most_nodes = std::max(soak.most_nodes, pools::node_count(soak.state));
    soak.most_levels = std::max(soak.most_levels, pools::level_count(soak.state));
    return soak.fault.empty();
}

// Every key the game asks for: a valid row in the player's turn, a blank after a result, and
// "q" before the first move after the last game.
std::optional<uint8_t> next_key() {
    if (!checks_pass()) {
        return std::nullopt;
    }
    if (soak.state.game_over) {
        soak.fault = state_checks::check_game_is_over(soak.state);
        ++soak.games;
        for (const auto& row : soak.state.board) {
            for (const int16_t value : row) {
                soak.moves += value == gridtake::CELL_EMPTY ? 1 : 0;
            }
        }
        if (soak.games == WARM_UP_GAMES) {
            soak.warm = heap_count::now();
        }
        if (soak.games == GAMES) {
            soak.last = heap_count::now();
        }
        queue_deal();
        return soak.fault.empty() ? std::optional<uint8_t>(' ') : std::nullopt;
    }
    if (soak.games == GAMES && !soak.quit_given) {
        soak.quit_given = true;
        return 'q';
    }
    ++soak.trace.player_moves;
    return valid_row();
}

TEST(Soak, TenThousandGamesKeepThePoolsInBoundsAndTheHeapFlat) {
    scripted_console::reset(80, 25);
    soak.trace.counts_moves = true;
    queue_deal();
    scripted_console::set_key_source(next_key);
    try {
        gridtake::run_game_loop(soak.state);
    } catch (const scripted_console::ScriptExhausted&) {
        FAIL() << "the run stopped after " << soak.games << " games: " << soak.fault;
    }
    pools::release(soak.state);

    EXPECT_EQ(soak.games, GAMES);
    EXPECT_TRUE(soak.state.quit_requested);
    EXPECT_LE(soak.most_nodes, state_checks::MOST_NODES);
    EXPECT_LE(soak.most_levels, state_checks::MOST_LEVELS);
    // After the first games nothing more is kept: no new search record, and as many blocks
    // and bytes live after the last game as after the first ones.
    EXPECT_EQ(soak.last.record_nodes, soak.warm.record_nodes);
    EXPECT_EQ(soak.last.record_levels, soak.warm.record_levels);
    EXPECT_EQ(soak.last.live_blocks, soak.warm.live_blocks);
    EXPECT_EQ(soak.last.live_bytes, soak.warm.live_bytes);

    std::printf("soak: %d games, %ld moves; pools at most %zu nodes and %zu levels\n", soak.games,
                soak.moves, soak.most_nodes, soak.most_levels);
    std::printf("soak: after game %d: %zu allocations so far, %zu blocks and %zu bytes live, "
                "%zu + %zu search records\n",
                WARM_UP_GAMES, soak.warm.allocations, soak.warm.live_blocks, soak.warm.live_bytes,
                soak.warm.record_nodes, soak.warm.record_levels);
    std::printf("soak: after game %d: %zu allocations so far, %zu blocks and %zu bytes live, "
                "%zu + %zu search records\n",
                GAMES, soak.last.allocations, soak.last.live_blocks, soak.last.live_bytes,
                soak.last.record_nodes, soak.last.record_levels);
}

} // namespace
