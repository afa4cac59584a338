#include <gtest/gtest.h>

#include "game/game_state.hpp"
#include "scripted_random.hpp"

namespace {

using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;

int count_cells(const gridtake::Grid& grid, int16_t value) {
    int count = 0;
    for (const auto& row : grid) {
        for (const int16_t v : row) {
            count += v == value ? 1 : 0;
        }
    }
    return count;
}

TEST(ResetRunState, EmptiesGridsAndPoolsAndSetsTheDepthLimit) {
    GameState state;
    state.machine_to_move = true;
    state.game_over = true;
    state.board[2][3] = 5;
    state.dealt[0][0] = CELL_MARKER;
    gridtake::reset_run_state(state);
    EXPECT_FALSE(state.machine_to_move);
    EXPECT_FALSE(state.game_over);
    EXPECT_EQ(state.search_depth_limit, 4);
    EXPECT_EQ(state.node_pool, nullptr);
    EXPECT_EQ(state.level_pool, nullptr);
    EXPECT_EQ(count_cells(state.board, CELL_EMPTY), 36);
    EXPECT_EQ(count_cells(state.dealt, CELL_EMPTY), 36);
}

struct ExtremeDeal {
    scripted_random::Mode mode;
    int16_t number;
    uint8_t marker;
};

class DealWithExtremeSource : public testing::TestWithParam<ExtremeDeal> {};

TEST_P(DealWithExtremeSource, FillsEveryCellAndPlacesTheMarkerInsideRowsAndColumnsOneToFive) {
    const ExtremeDeal expected = GetParam();
    scripted_random::reset(expected.mode);
    GameState state;
    gridtake::reset_run_state(state);
    gridtake::start_new_game(state);

    EXPECT_EQ(state.marker_row, expected.marker);
    EXPECT_EQ(state.marker_col, expected.marker);
    EXPECT_EQ(count_cells(state.board, expected.number), 35);
    EXPECT_EQ(cell(state.board, expected.marker, expected.marker), CELL_MARKER);
    EXPECT_EQ(state.board, state.dealt);
}

INSTANTIATE_TEST_SUITE_P(Extremes, DealWithExtremeSource,
                         testing::Values(ExtremeDeal{scripted_random::Mode::always_zero, -15, 1},
                                         ExtremeDeal{scripted_random::Mode::always_highest, 14,
                                                     5}));

TEST(DealBoard, ReseedsOnceThenDrawsThirtySixNumbersRowByRowThenTheMarker) {
    scripted_random::reset(scripted_random::Mode::queued);
    scripted_random::Numbers numbers{};
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            numbers[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                static_cast<int16_t>((r * 6 + c) % 30 - 15);
        }
    }
    scripted_random::queue_deal(numbers, 3, 4);
    GameState state;
    gridtake::reset_run_state(state);
    gridtake::deal_board(state);

    EXPECT_EQ(scripted_random::reseed_count(), 1);
    std::vector<uint32_t> expected(36, 30);
    expected.push_back(5);
    expected.push_back(5);
    EXPECT_EQ(scripted_random::requests(), expected);
    EXPECT_EQ(state.marker_row, 3);
    EXPECT_EQ(state.marker_col, 4);
    for (uint8_t r = 1; r <= 6; ++r) {
        for (uint8_t c = 1; c <= 6; ++c) {
            const int16_t want = (r == 3 && c == 4) ? CELL_MARKER : numbers[r - 1u][c - 1u];
            EXPECT_EQ(cell(state.board, r, c), want) << "row " << int{r} << " col " << int{c};
            EXPECT_EQ(cell(state.dealt, r, c), want) << "row " << int{r} << " col " << int{c};
        }
    }
}

TEST(StartNewGame, ClearsScoresAndGameOverButKeepsTurnQuitAndPools) {
    for (const bool flag : {false, true}) {
        scripted_random::reset(scripted_random::Mode::always_zero);
        GameState state;
        gridtake::reset_run_state(state);
        state.machine_to_move = flag;
        state.quit_requested = flag;
        state.game_over = true;
        state.machine_points = 17;
        state.player_points = -9;
        gridtake::start_new_game(state);
        EXPECT_EQ(state.machine_to_move, flag);
        EXPECT_EQ(state.quit_requested, flag);
        EXPECT_FALSE(state.game_over);
        EXPECT_EQ(state.machine_points, 0);
        EXPECT_EQ(state.player_points, 0);
        EXPECT_EQ(count_cells(state.board, CELL_EMPTY), 0);
        EXPECT_EQ(count_cells(state.board, CELL_MARKER), 1);
    }
}

TEST(StartNewGame, DealsOverALeftoverBoardWithoutKeepingItsEmptyCells) {
    scripted_random::reset(scripted_random::Mode::always_highest);
    GameState state;
    gridtake::reset_run_state(state);
    gridtake::start_new_game(state);
    cell(state.board, 2, 2) = CELL_EMPTY;
    cell(state.board, 6, 6) = CELL_MARKER;
    gridtake::start_new_game(state);
    EXPECT_EQ(cell(state.board, 2, 2), 14);
    EXPECT_EQ(cell(state.board, 6, 6), 14);
    EXPECT_EQ(count_cells(state.board, CELL_MARKER), 1);
}

} // namespace
