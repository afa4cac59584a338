// One machine turn on the largest tree, and the tests' plain recursive valuation of the same
// position, with the heap allocations of a turn once the pools have grown.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <random>

#include "game/machine_turn.hpp"
#include "pools.hpp"
#include "reference_search.hpp"

// Every allocation of the process goes through these, and is counted while `counting` is set.
namespace {
bool counting = false;     // NOLINT: single-threaded benchmark
std::size_t allocated = 0; // NOLINT
} // namespace

// The replacements are a matched pair over malloc and free; GCC takes free in a replaced
// operator delete for a mismatch once it sees both.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    allocated += counting ? 1 : 0;
    void* const block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    allocated += counting ? 1 : 0;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using namespace gridtake;

constexpr uint8_t START_ROW = 3;
constexpr uint8_t START_COL = 3;
constexpr int16_t START_POINTS = 40;

// A number in every cell but the marker's: five candidates, five replies to each and five
// next moves to each reply, 155 nodes in all.
GameState largest_tree() {
    GameState state;
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> number(NUMBER_MIN, NUMBER_MAX);
    for (auto& row : state.dealt) {
        for (int16_t& value : row) {
            value = static_cast<int16_t>(number(random));
        }
    }
    state.board = state.dealt;
    state.marker_row = START_ROW;
    state.marker_col = START_COL;
    cell(state.board, START_ROW, START_COL) = CELL_MARKER;
    state.machine_points = START_POINTS;
    state.player_points = 35;
    state.search_depth_limit = SEARCH_DEPTH_LIMIT;
    state.machine_to_move = true;
    return state;
}

// Undoes the turn's move: the two cells it changed, the marker, the points and the turn.
void undo_move(GameState& state) {
    cell(state.board, START_ROW, state.marker_col) = cell(state.dealt, START_ROW, state.marker_col);
    cell(state.board, START_ROW, START_COL) = CELL_MARKER;
    state.marker_col = START_COL;
    state.machine_points = START_POINTS;
    state.machine_to_move = true;
}

void machine_turn_on_largest_tree(benchmark::State& bench) {
    GameState state = largest_tree();
    const GameState start = state;
    counting = true;
    machine_turn(state); // grows the pools to 16 nodes and 4 levels
    counting = false;
    const std::size_t first_turn = allocated;
    if (state.marker_col != reference_search::evaluate(start).column) {
        bench.SkipWithError("the machine and the reference disagree");
    }
    undo_move(state);
    allocated = 0;
    for (auto _ : bench) {
        counting = true;
        machine_turn(state);
        counting = false;
        undo_move(state);
    }
    if (state.board != start.board) {
        bench.SkipWithError("the position was not restored");
    }
    bench.counters["allocs_per_turn"] =
        benchmark::Counter(static_cast<double>(allocated), benchmark::Counter::kAvgIterations);
    bench.counters["first_turn_allocs"] = static_cast<double>(first_turn);
    pools::release(state);
}
BENCHMARK(machine_turn_on_largest_tree);

void reference_on_largest_tree(benchmark::State& bench) {
    const GameState state = largest_tree();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(reference_search::evaluate(state));
    }
}
BENCHMARK(reference_on_largest_tree);

} // namespace

BENCHMARK_MAIN();
