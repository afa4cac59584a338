// The machine's choice against the plain recursive valuation, over many seeded positions.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "game/machine_turn.hpp"
#include "machine_test_fixture.hpp"
#include "positions.hpp"
#include "reference_search.hpp"

namespace {

using namespace gridtake;

// What the positions of one test exercised, so that a generator too tame to reach the rules
// that matter fails the test instead of passing it.
struct Tally {
    int positions = 0;
    int ahead = 0;
    int behind = 0;
    int no_number = 0;
    int one_number = 0;
    int ties = 0; // the best value reached by two columns or more
    int player_stuck = 0;
    int machine_stuck = 0;
    int failures = 0;
    std::string first_failures;
};

bool has_tie(const reference_search::Evaluation& evaluation) {
    const auto& best = evaluation.values[evaluation.column];
    int count = 0;
    for (const auto& value : evaluation.values) {
        count += value && best && *value == *best ? 1 : 0;
    }
    return count > 1;
}

// One machine turn on `state`, checked against the reference, and counted.
void check_turn(GameState& state, Tally& tally) {
    const GameState before = state;
    const reference_search::Evaluation expected = reference_search::evaluate(before);
    machine_turn(state);
    const std::string problem = positions::turn_problem(before, state, expected.column);

    ++tally.positions;
    tally.ahead += before.machine_points > before.player_points ? 1 : 0;
    tally.behind += before.machine_points < before.player_points ? 1 : 0;
    tally.no_number += expected.candidates == 0 ? 1 : 0;
    tally.one_number += expected.candidates == 1 ? 1 : 0;
    tally.ties += has_tie(expected) ? 1 : 0;
    tally.player_stuck += expected.player_stuck > 0 ? 1 : 0;
    tally.machine_stuck += expected.machine_stuck > 0 ? 1 : 0;
    if (!problem.empty() && ++tally.failures <= 3) {
        tally.first_failures += problem + " in\n" + positions::describe(before) + "\n";
    }
}

int16_t random_in(std::mt19937& random, int low, int high) {
    return static_cast<int16_t>(std::uniform_int_distribution<int>(low, high)(random));
}

// A number in every cell, in board and dealt alike, and the marker anywhere.
void deal(GameState& state, std::mt19937& random) {
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            cell(state.board, row, col) = random_in(random, NUMBER_MIN, NUMBER_MAX);
        }
    }
    state.dealt = state.board;
    state.marker_row = static_cast<uint8_t>(random_in(random, 1, BOARD_SIZE));
    state.marker_col = static_cast<uint8_t>(random_in(random, 1, BOARD_SIZE));
    cell(state.board, state.marker_row, state.marker_col) = CELL_MARKER;
    state.search_depth_limit = SEARCH_DEPTH_LIMIT;
    state.machine_to_move = true;
    state.game_over = false;
}

// Scores anywhere in what a game can reach.
void random_scores(GameState& state, std::mt19937& random) {
    state.machine_points = random_in(random, -270, 252);
    state.player_points = random_in(random, -270, 252);
}

std::string summary(const Tally& tally) {
    return std::to_string(tally.failures) + " of " + std::to_string(tally.positions) +
           " positions differ; the first:\n" + tally.first_failures;
}

TEST_F(MachineTest, FullBoardsMatchTheReference) {
    std::mt19937 random(1);
    Tally tally;
    for (int i = 0; i < 400; ++i) {
        deal(state, random);
        random_scores(state, random);
        check_turn(state, tally);
    }
    EXPECT_EQ(tally.failures, 0) << summary(tally);
    EXPECT_GT(tally.ahead, 100);
    EXPECT_GT(tally.behind, 100);
    EXPECT_GT(tally.ties, 10);
}

// Cells taken earlier in the game are empty on the board; dealt still holds their numbers.
TEST_F(MachineTest, SparseBoardsMatchTheReference) {
    std::mt19937 random(2);
    Tally tally;
    for (const double emptied : {0.3, 0.55, 0.7, 0.85}) {
        std::bernoulli_distribution taken(emptied);
        for (int i = 0; i < 5000; ++i) {
            deal(state, random);
            random_scores(state, random);
            for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
                for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
                    if (cell(state.board, row, col) != CELL_MARKER && taken(random)) {
                        cell(state.board, row, col) = CELL_EMPTY;
                    }
                }
            }
            check_turn(state, tally);
        }
    }
    EXPECT_EQ(tally.failures, 0) << summary(tally);
    EXPECT_GT(tally.ahead, 5000);
    EXPECT_GT(tally.behind, 5000);
    EXPECT_GT(tally.no_number, 1000);
    EXPECT_GT(tally.one_number, 2000);
    EXPECT_GT(tally.ties, 150);
    EXPECT_GT(tally.player_stuck, 1000);
    EXPECT_GT(tally.machine_stuck, 1000);
}

// Whole games from a deal to the end, the player taking random numbers and the machine its
// own: every machine turn is checked, near the end of the game included, and the pools stay
// within their bounds over the whole run.
TEST_F(MachineTest, PlayedGamesMatchTheReference) {
    std::mt19937 random(3);
    Tally tally;
    for (int game = 0; game < 2000; ++game) {
        deal(state, random);
        state.marker_row = std::min(state.marker_row, uint8_t{5});
        state.marker_col = std::min(state.marker_col, uint8_t{5});
        state.board = state.dealt;
        cell(state.board, state.marker_row, state.marker_col) = CELL_MARKER;
        state.machine_points = 0;
        state.player_points = game % 2 == 0 ? 0 : random_in(random, 0, 60);
        state.machine_to_move = game % 3 == 0;
        while (!state.game_over) {
            if (state.machine_to_move) {
                check_turn(state, tally);
                continue;
            }
            std::vector<uint8_t> rows;
            for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
                if (holds_number(cell(state.board, row, state.marker_col))) {
                    rows.push_back(row);
                }
            }
            if (rows.empty()) {
                break;
            }
            const uint8_t row = rows[static_cast<std::size_t>(
                random_in(random, 0, static_cast<int>(rows.size()) - 1))];
            state.player_points = static_cast<int16_t>(state.player_points +
                                                       cell(state.board, row, state.marker_col));
            cell(state.board, state.marker_row, state.marker_col) = CELL_EMPTY;
            cell(state.board, row, state.marker_col) = CELL_MARKER;
            state.marker_row = row;
            state.machine_to_move = true;
        }
    }
    EXPECT_EQ(tally.failures, 0) << summary(tally);
    EXPECT_GT(tally.positions, 20000);
    EXPECT_GT(tally.ahead, 10000);
    EXPECT_GT(tally.behind, 2000);
    EXPECT_GT(tally.no_number, 500);
    EXPECT_GT(tally.one_number, 3000);
    EXPECT_GT(tally.ties, 500);
    EXPECT_GT(tally.player_stuck, 200);
    EXPECT_GT(tally.machine_stuck, 800);
}

} // namespace
