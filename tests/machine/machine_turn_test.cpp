#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "game/machine_search.hpp"
#include "game/machine_turn.hpp"
#include "game/search_pools.hpp"
#include "machine_test_fixture.hpp"
#include "positions.hpp"
#include "reference_search.hpp"

namespace {

using namespace gridtake;
using positions::Placed;

constexpr std::string_view THINKING = "Wait a minute. Im thinking.";

// The machine 10, the player 4, the marker at (1,1). Taking the 5 of column 2 lets the player
// answer; taking the 3 of column 5 leaves the player no number while the machine is ahead.
void set_worked_example(GameState& state) {
    positions::set_position(
        state, 1, 1, 10, 4,
        {{1, 2, 5}, {1, 5, 3}, {3, 2, 4}, {4, 2, -2}, {3, 6, 7}, {4, 3, 1}, {4, 4, 2}});
}

// A number in every cell but the marker's (3,3): five candidates, five replies to each and
// five next moves to each reply.
void set_full_board(GameState& state, int16_t offset) {
    std::vector<Placed> numbers;
    for (uint8_t row = 1; row <= BOARD_SIZE; ++row) {
        for (uint8_t col = 1; col <= BOARD_SIZE; ++col) {
            numbers.push_back(
                {row, col, static_cast<int16_t>((row * 7 + col * 11 + offset) % 30 - 15)});
        }
    }
    positions::set_position(state, 3, 3, 0, 0, numbers);
}

TEST_F(MachineTest, WorkedExampleTakesTheNumberThatLeavesThePlayerStuck) {
    set_worked_example(state);
    const GameState before = state;
    machine_turn(state);
    EXPECT_EQ(positions::turn_problem(before, state, 5), "");
    EXPECT_EQ(state.machine_points, 13);
    // At most the root, both candidates, both replies and one leaf were out at once.
    EXPECT_EQ(pools::node_count(state), 6u);
    EXPECT_EQ(pools::level_count(state), 4u);
}

TEST_F(MachineTest, WorkedExampleStepByStep) {
    set_worked_example(state);
    const Grid start_board = state.board;
    state.search_depth = 1;
    TurnSearch turn;
    turn.start_col = state.marker_col;
    SearchLevel* const root_level = take_level(state);
    SearchNode* const root = take_node(state);
    root->value = 6;
    root->move = 1;
    root_level->current = root;
    root_level->best = MINIMISING_START;
    turn.top_level = root_level;

    enum class Op { expand, advance };
    struct Checkpoint {
        Op op;
        int16_t ply;
        uint8_t marker_row;
        uint8_t marker_col;
        std::vector<Placed> cells;
        int16_t best; // of the top level
        uint8_t best_move;
        std::optional<int16_t> current_value;
    };
    const std::vector<Checkpoint> trace = {
        {Op::expand, 2, 1, 2, {{1, 1, CELL_EMPTY}, {1, 5, 3}}, -32767, 0, 11},
        {Op::expand, 3, 3, 2, {{1, 2, CELL_EMPTY}, {4, 2, -2}}, 32767, 0, 7},
        {Op::expand, 4, 3, 6, {{3, 2, CELL_EMPTY}}, -32767, 0, 14},
        // The leaf is folded and taken back, the row-3 reply closed at 14, row 4 played.
        {Op::advance, 3, 4, 2, {{3, 6, 7}, {3, 2, 4}, {1, 2, CELL_EMPTY}}, 14, 0, 13},
        {Op::expand, 4, 4, 3, {{4, 2, CELL_EMPTY}, {4, 4, 2}}, -32767, 0, 14},
        // Both leaves folded, the row-4 reply closed at 15 and taken back: ply 3 exhausted.
        {Op::advance, 3, 1, 2, {{4, 3, 1}, {4, 2, -2}, {3, 2, 4}}, 14, 0, std::nullopt},
        // Column 2 closed at 14 and taken back; column 5 played.
        {Op::advance, 2, 1, 5, {{1, 1, CELL_EMPTY}, {1, 2, 5}}, 14, 2, 9},
        // The player has no number in column 5: 9 counts tenfold.
        {Op::expand, 2, 1, 5, {}, 14, 2, 90},
        {Op::advance, 2, 1, 1, {{1, 5, 3}, {1, 2, 5}}, 90, 5, std::nullopt},
        {Op::advance, 1, 1, 1, {}, 90, 5, std::nullopt},
    };
    for (std::size_t step = 0; step < trace.size(); ++step) {
        const Checkpoint& expected = trace[step];
        SCOPED_TRACE("checkpoint " + std::to_string(step + 1));
        if (expected.op == Op::expand) {
            expand_node(state, turn);
        } else {
            advance_search(state, turn);
        }
        ASSERT_EQ(state.search_depth, expected.ply);
        EXPECT_EQ(state.marker_row, expected.marker_row);
        EXPECT_EQ(state.marker_col, expected.marker_col);
        EXPECT_EQ(cell(state.board, state.marker_row, state.marker_col), CELL_MARKER);
        for (const Placed& placed : expected.cells) {
            EXPECT_EQ(cell(state.board, placed.row, placed.col), placed.number)
                << "at (" << int{placed.row} << "," << int{placed.col} << ")";
        }
        EXPECT_EQ(turn.top_level->best, expected.best);
        EXPECT_EQ(turn.best_move, expected.best_move);
        ASSERT_EQ(turn.top_level->current != nullptr, expected.current_value.has_value());
        if (expected.current_value) {
            EXPECT_EQ(turn.top_level->current->value, *expected.current_value);
        }
    }
    EXPECT_EQ(turn.top_level, root_level);
    EXPECT_EQ(turn.pending_node, nullptr);
    EXPECT_EQ(state.board, start_board);
    return_level(state, root_level);
}

TEST_F(MachineTest, WritesTheMessageAtTheCursorWithoutALineEnd) {
    console::write_text("abc", 0);
    console::end_line();
    set_worked_example(state);
    machine_turn(state);
    EXPECT_EQ(scripted_console::written_since_clear(), "abc\n" + std::string(THINKING));
    EXPECT_EQ(scripted_console::row(2), THINKING);
    EXPECT_EQ(scripted_console::cursor_row(), 2);
    EXPECT_EQ(scripted_console::cursor_col(), static_cast<int>(THINKING.size()) + 1);
}

TEST_F(MachineTest, RowWithoutANumberEndsTheGameAndChangesNothingElse) {
    struct Case {
        const char* name;
        std::vector<Placed> numbers;
    };
    const std::vector<Case> cases = {
        {"the column still holds numbers", {{1, 4, 3}, {5, 4, -2}, {6, 4, 0}, {2, 1, 9}}},
        {"the board is empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scripted_console::reset();
        positions::set_position(state, 3, 4, 7, 9, c.numbers);
        const GameState before = state;
        machine_turn(state);
        EXPECT_EQ(positions::turn_problem(before, state, 0), "");
        EXPECT_EQ(scripted_console::written_since_clear(), THINKING);
    }
}

TEST_F(MachineTest, LoneNumberIsTakenWithoutSearching) {
    // The column below the lone number gives the player good replies, and the rows behind
    // them more numbers, so that a search would need more than the four records used here.
    for (const int16_t number : {int16_t{0}, int16_t{-15}, int16_t{14}}) {
        SCOPED_TRACE(number);
        positions::set_position(state, 2, 1, 20, 0,
                                {{2, 4, number}, {1, 4, -15}, {5, 4, 6}, {5, 2, 3}, {1, 6, 1}});
        const GameState before = state;
        machine_turn(state);
        EXPECT_EQ(positions::turn_problem(before, state, 4), "");
        EXPECT_EQ(pools::node_count(state), 2u);
        EXPECT_EQ(pools::level_count(state), 2u);
    }
}

// Hand-made positions where the lowest column among equals, the tenfold rule or its absence
// at the leaves decides; each is also checked against the reference valuation.
TEST_F(MachineTest, ChoosesTheBestLine) {
    struct Case {
        const char* name;
        int16_t machine_points;
        int16_t player_points;
        std::vector<Placed> numbers; // the marker stands at (1,1)
        uint8_t column;
    };
    const std::vector<Case> cases = {
        {"ahead, leaving the player stuck is worth ten times: 90 against 14",
         10,
         4,
         {{1, 2, 5}, {1, 5, 3}, {3, 2, 4}, {4, 2, -2}, {3, 6, 7}, {4, 3, 1}, {4, 4, 2}},
         5},
        {"behind, the same move is worth ten times the loss: -170 against -12",
         0,
         20,
         {{1, 2, 5}, {1, 5, 3}, {3, 2, 4}, {4, 2, -2}, {3, 6, 7}, {4, 3, 1}, {4, 4, 2}},
         2},
        {"a reply leaving the machine stuck behind counts tenfold: -20 against -5",
         0,
         0,
         {{1, 2, 5}, {3, 2, 7}, {1, 3, 1}, {4, 3, 6}, {4, 6, 0}},
         3},
        {"a reply leaving the machine stuck ahead counts tenfold: 20 against 15",
         0,
         0,
         {{1, 2, 5}, {3, 2, 3}, {1, 3, 1}, {4, 3, 0}, {4, 6, 14}},
         2},
        {"a leaf leaving the player stuck is not multiplied: 3 against 5",
         0,
         0,
         {{1, 2, 1}, {3, 2, 0}, {3, 6, 2}, {1, 3, 5}, {4, 3, 0}, {4, 4, 0}, {5, 4, 0}},
         3},
        {"two columns of equal value: the lower one", 0, 0, {{1, 2, 3}, {1, 4, 3}}, 2},
        {"a worse column first, then two equal ones", 0, 0, {{1, 2, 1}, {1, 3, 3}, {1, 5, 3}}, 3},
        {"equal values through different lines",
         0,
         0,
         {{1, 3, 2}, {2, 3, 1}, {2, 5, 4}, {1, 6, 6}, {3, 6, 3}, {3, 4, 2}},
         3},
        {"a 0 is a number and can be the best", 2, 0, {{1, 2, 0}, {1, 3, -1}}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        positions::set_position(state, 1, 1, c.machine_points, c.player_points, c.numbers);
        const GameState before = state;
        EXPECT_EQ(reference_search::evaluate(before).column, c.column);
        machine_turn(state);
        EXPECT_EQ(positions::turn_problem(before, state, c.column), "");
    }
}

TEST_F(MachineTest, LargestTreeGrowsThePoolsOnceToTheirBound) {
    set_full_board(state, 0);
    GameState before = state;
    machine_turn(state);
    ASSERT_EQ(positions::turn_problem(before, state, reference_search::evaluate(before).column),
              "");
    EXPECT_EQ(pools::node_count(state), 16u);
    EXPECT_EQ(pools::level_count(state), 4u);
    EXPECT_EQ(heap_control::allocations(), 20u);

    set_full_board(state, 17);
    before = state;
    machine_turn(state);
    EXPECT_EQ(positions::turn_problem(before, state, reference_search::evaluate(before).column),
              "");
    EXPECT_EQ(heap_control::allocations(), 20u) << "a turn after the first allocated";
}

TEST_F(MachineTest, PoolsHandOutTheLastRecordReturnedWithItsLinkCleared) {
    SearchNode* const first_node = take_node(state);
    SearchNode* const second_node = take_node(state);
    return_node(state, first_node);
    return_node(state, second_node);
    SearchNode* const node = take_node(state);
    EXPECT_EQ(node, second_node);
    EXPECT_EQ(node->next, nullptr);
    EXPECT_EQ(state.node_pool, first_node);
    return_node(state, node);

    SearchLevel* const first_level = take_level(state);
    SearchLevel* const second_level = take_level(state);
    return_level(state, first_level);
    return_level(state, second_level);
    SearchLevel* const level = take_level(state);
    EXPECT_EQ(level, second_level);
    EXPECT_EQ(level->parent, nullptr);
    EXPECT_EQ(state.level_pool, first_level);
    return_level(state, level);
    EXPECT_EQ(heap_control::allocations(), 4u);
}

// Every record of the first turn on the largest tree comes from the heap: the root level and
// node, five candidates, a level, five replies, a level, five leaves and a level.
TEST_F(MachineTest, HeapWithoutARecordEndsTheProgramWithAReport) {
    for (std::size_t failing = 1; failing <= 20; ++failing) {
        SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
        scripted_console::reset();
        heap_control::reset(failing);
        set_full_board(state, 0);
        try {
            machine_turn(state);
            ADD_FAILURE() << "the turn went on";
        } catch (const scripted_console::FatalReport& report) {
            EXPECT_NE(std::string(report.what()), "");
        }
        EXPECT_EQ(heap_control::allocations(), failing - 1) << "allocated after the failure";
        // The records out in the cut-short tree are lost to the pools: give all back.
        state.node_pool = nullptr;
        state.level_pool = nullptr;
        heap_control::free_blocks();
    }
}

} // namespace
