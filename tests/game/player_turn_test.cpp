#include <gtest/gtest.h>

#include <string>

#include "game/game_state.hpp"
#include "game/player_turn.hpp"
#include "scripted_console.hpp"

namespace {

using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;

constexpr const char* PUSH = "Push Buttons 1 - 9.\n";
constexpr const char* EMPTY = "You Cant Selecet the Empty!\n";
constexpr const char* MARKER = "You Cant Select the ####!\n";

// The marker at row 2, column 4. Column 4 holds 0, 5, -13 and 11 in rows 1, 3, 4 and 5; its
// row 6 was taken earlier.
GameState column_four() {
    GameState state;
    state.board = {{{3, -15, 8, 0, -7, 12},
                    {-2, 6, 14, CELL_MARKER, 1, -9},
                    {10, -4, -11, 5, 9, -1},
                    {7, 2, -6, -13, 4, -12},
                    {CELL_EMPTY, -8, 11, 11, -3, 6},
                    {-5, 14, 2, CELL_EMPTY, 0, 3}}};
    state.dealt = state.board;
    state.marker_row = 2;
    state.marker_col = 4;
    state.player_points = 7;
    state.machine_points = 9;
    return state;
}

class PlayerTurnTest : public testing::Test {
  protected:
    void SetUp() override { scripted_console::reset(80, 40); }
};

struct Turn {
    const char* keys;      // ends with the key that makes the move
    std::string written;   // every line the turn writes
    uint8_t row;           // where the marker ends
    int16_t player_points; // 7 plus the number taken
    bool quit_requested;
};

class PlayerTurnKeys : public PlayerTurnTest, public testing::WithParamInterface<Turn> {};

TEST_P(PlayerTurnKeys, RefusesWhatChoosesNoNumberAndMovesOnTheFirstNumberChosen) {
    const Turn turn = GetParam();
    GameState state = column_four();
    const GameState before = state;
    scripted_console::queue_keys(turn.keys);
    gridtake::read_player_move(state);

    EXPECT_EQ(scripted_console::written_since_clear(), turn.written);
    EXPECT_EQ(scripted_console::keys_left(), 0u);
    EXPECT_EQ(state.marker_row, turn.row);
    EXPECT_EQ(state.marker_col, 4);
    EXPECT_EQ(state.player_points, turn.player_points);
    EXPECT_EQ(state.quit_requested, turn.quit_requested);
    EXPECT_TRUE(state.machine_to_move);
    EXPECT_EQ(state.machine_points, before.machine_points);
    EXPECT_FALSE(state.game_over);
    // Only the marker's old cell and the chosen cell change.
    GameState expected = before;
    cell(expected.board, 2, 4) = CELL_EMPTY;
    cell(expected.board, turn.row, 4) = CELL_MARKER;
    EXPECT_EQ(state.board, expected.board);
    EXPECT_EQ(state.dealt, before.dealt);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlayerTurnKeys,
    testing::Values(Turn{"5", "", 5, 18, false},      // 11 scored
                    Turn{"4", "", 4, -6, false},      // a negative number lowers the score
                    Turn{"1", "", 1, 7, false},       // 0 is a number and scores nothing
                    Turn{"23", MARKER, 3, 12, false}, // the marker's own row is refused
                    Turn{"63", EMPTY, 3, 12, false},  // a taken cell is refused
                    Turn{"0Q \r\x1b"
                         "3",
                         std::string(PUSH) + PUSH + PUSH + PUSH + PUSH, 3, 12, false},
                    Turn{"789"
                         "3",
                         std::string(PUSH) + PUSH + PUSH, 3, 12, false}, // no rows 7 to 9
                    Turn{"q3", "", 3, 12, true}, // "q" writes nothing and the turn goes on
                    Turn{"x6q2qq5", std::string(PUSH) + EMPTY + MARKER, 5, 18, true}));

TEST_F(PlayerTurnTest, AKeyWithNoCharacterIsRefusedForEachOfItsTwoCodes) {
    GameState state = column_four();
    scripted_console::queue_codes({0, 59, 0, 72, '3'}); // F1, Up, then row 3
    gridtake::read_player_move(state);
    EXPECT_EQ(scripted_console::written_since_clear(), std::string(PUSH) + PUSH + PUSH + PUSH);
    EXPECT_EQ(state.marker_row, 3);
}

TEST_F(PlayerTurnTest, WaitsForMoreKeysWhileNoMoveIsMade) {
    GameState state = column_four();
    scripted_console::queue_keys("q26");
    EXPECT_THROW(gridtake::read_player_move(state), scripted_console::ScriptExhausted);
    EXPECT_TRUE(state.quit_requested);
    EXPECT_FALSE(state.machine_to_move);
    EXPECT_EQ(state.board, column_four().board);
}

TEST_F(PlayerTurnTest, ApplyingAChoiceReportsWhetherTheMoveWasMade) {
    GameState state = column_four();
    EXPECT_FALSE(gridtake::apply_player_choice(state, 6));
    EXPECT_FALSE(gridtake::apply_player_choice(state, 2));
    EXPECT_FALSE(state.machine_to_move);
    EXPECT_TRUE(gridtake::apply_player_choice(state, 3));
    EXPECT_EQ(scripted_console::written_since_clear(), std::string(EMPTY) + MARKER);
    // The marker's new row is now its own: choosing it again is refused.
    EXPECT_FALSE(gridtake::apply_player_choice(state, 3));
    EXPECT_FALSE(gridtake::apply_player_choice(state, 2));
}

} // namespace
