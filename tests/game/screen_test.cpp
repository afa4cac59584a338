#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.hpp"
#include "game/game_state.hpp"
#include "game/screen.hpp"
#include "scripted_console.hpp"

namespace {

using gridtake::cell;
using gridtake::CELL_EMPTY;
using gridtake::CELL_MARKER;
using gridtake::GameState;

const std::string LINE_1 = "Take a number from a row, from the column where the #### tile is.";
const std::string LINE_2 =
    "Press the number keys 1-6 to select a row. The machine will then select "
    "a number from somewhere";
const std::string LINE_3 = "from column.Push q to Quit the game";
const std::string HEADER = "            1     2     3     4     5     6";
const std::string UNDERLINE = "       ____________________________________";
const std::string BORDER = "      !";

// The mid-game position: the marker started at (2,4), the player took 11 from (5,4) and the
// machine then took 13 from (5,1).
GameState mid_game() {
    GameState state;
    state.board = {{{3, -15, 8, 0, -7, 12},
                    {-2, 6, 14, CELL_EMPTY, 1, -9},
                    {10, -4, -11, 5, 9, -1},
                    {7, 2, -6, -13, 4, -12},
                    {CELL_MARKER, -8, 11, CELL_EMPTY, -3, 6},
                    {-5, 14, 2, -10, 0, 3}}};
    state.marker_row = 5;
    state.marker_col = 1;
    state.machine_points = 13;
    state.player_points = 11;
    return state;
}

// The mid-game screen, line by line.
std::vector<std::string> mid_game_lines() {
    return {
        LINE_1,    LINE_2,
        LINE_3,    HEADER,
        UNDERLINE, "    1 !     3   -15     8     0    -7    12",
        BORDER,    "    2 !    -2     6    14           1    -9",
        BORDER,    "    3 !    10    -4   -11     5     9    -1",
        BORDER,    "    4 !     7     2    -6   -13     4   -12",
        BORDER,    "    5 !  ####    -8    11          -3     6",
        BORDER,    "    6 !    -5    14     2   -10     0     3",
        BORDER,    "Machines Point: 13 Players Point: 11",
    };
}

class ScreenTest : public testing::Test {
  protected:
    void SetUp() override { scripted_console::reset(120, 30); }
};

TEST_F(ScreenTest, DrawsTheEighteenLinesOfAMidGameScreen) {
    gridtake::draw_screen(mid_game());
    std::vector<std::string> expected = mid_game_lines();
    expected.emplace_back(); // the cursor's row
    const auto rows = scripted_console::rows();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i], expected[i]) << "screen row " << i + 1;
    }
    EXPECT_EQ(scripted_console::cursor_row(), 19);
    EXPECT_EQ(scripted_console::cursor_col(), 1);
}

TEST_F(ScreenTest, KeepsEveryFieldSixWideWhateverTheCellHolds) {
    // An emptied cell, the marker in column 1, and a column whose cells are all empty.
    GameState state = mid_game();
    for (uint8_t row = 1; row <= 6; ++row) {
        cell(state.board, row, 6) = CELL_EMPTY;
    }
    gridtake::draw_screen(state);
    EXPECT_EQ(scripted_console::row(4), HEADER);
    EXPECT_EQ(scripted_console::row(5), UNDERLINE);
    EXPECT_EQ(scripted_console::row(14), "    5 !  ####    -8    11          -3");
    // The trailing blanks of an empty last column are written, so the row is 43 long.
    const std::string written = scripted_console::written_since_clear();
    EXPECT_NE(written.find("\n    5 !  ####    -8    11          -3      \n"), std::string::npos);
}

TEST_F(ScreenTest, WritesNegativeScoresRightAfterTheirLabels) {
    GameState state = mid_game();
    state.machine_points = -270;
    state.player_points = -7;
    gridtake::draw_screen(state);
    EXPECT_EQ(scripted_console::row(18), "Machines Point: -270 Players Point: -7");
}

TEST_F(ScreenTest, StartsFromAClearedScreenSoEarlierMessagesAreGone) {
    const GameState state = mid_game();
    gridtake::draw_screen(state);
    console::write_text("Push Buttons 1 - 9.", 0);
    console::end_line();
    console::write_text("Wait a minute. Im thinking.", 0);
    gridtake::draw_screen(state);
    EXPECT_EQ(scripted_console::row(19), "");
    EXPECT_EQ(scripted_console::row(20), "");
    EXPECT_EQ(scripted_console::clear_count(), 2);
}

TEST_F(ScreenTest, ContinuesTheLongInstructionOnTheNextRowOfAnEightyColumnWindow) {
    scripted_console::reset(80, 25);
    gridtake::draw_screen(mid_game());
    EXPECT_EQ(scripted_console::row(2), LINE_2.substr(0, 80));
    EXPECT_EQ(scripted_console::row(3), LINE_2.substr(80));
    EXPECT_EQ(scripted_console::row(4), LINE_3);
    EXPECT_EQ(scripted_console::row(19), "Machines Point: 13 Players Point: 11");
}

TEST_F(ScreenTest, WrapsEveryLongLineAndScrollsInASmallWindow) {
    // Forty columns by twenty rows: the 18 lines take 29 rows, so the top ten scroll away and
    // the cursor's empty row is the last one.
    scripted_console::reset(40, 20);
    gridtake::draw_screen(mid_game());
    std::vector<std::string> shown;
    for (const std::string& line : mid_game_lines()) {
        for (std::size_t start = 0; start == 0 || start < line.size(); start += 40) {
            std::string piece = line.substr(start, 40);
            piece.erase(piece.find_last_not_of(' ') + 1);
            shown.push_back(piece);
        }
    }
    shown.emplace_back();
    ASSERT_EQ(shown.size(), 30u);
    shown.erase(shown.begin(), shown.begin() + 10);
    EXPECT_EQ(scripted_console::rows(), shown);
}

// The field-writing operations shared by every console.
TEST_F(ScreenTest, FieldsAreRightJustifiedAndNeverCut) {
    struct Case {
        void (*write)();
        const char* shown;
    };
    const Case cases[] = {
        {[] { console::write_text("####", 6); }, "  ####"},
        {[] { console::write_int(-15, 6); }, "   -15"},
        {[] { console::write_int(6, 0); }, "6"},
        {[] { console::write_int(-32768, 3); }, "-32768"},
        {[] { console::write_int(0, 1); }, "0"},
        {[] { console::write_char('!', 2); }, " !"},
        {[] { console::write_char('x', 0); }, "x"},
        {[] { console::write_text("abc", -5); }, "abc"},
        {[] { console::write_text("", 3); }, "   "},
        {[] { console::write_int(12, 40); }, "                                      12"},
    };
    for (const Case& c : cases) {
        console::clear_screen();
        c.write();
        EXPECT_EQ(scripted_console::written_since_clear(), c.shown);
    }
}

TEST_F(ScreenTest, ALineAsWideAsTheWindowThenALineEndLeavesAnEmptyRow) {
    scripted_console::reset(10, 5);
    console::write_text("0123456789", 0);
    console::end_line();
    console::write_text("next", 0);
    EXPECT_EQ(scripted_console::row(1), "0123456789");
    EXPECT_EQ(scripted_console::row(2), "");
    EXPECT_EQ(scripted_console::row(3), "next");
}

} // namespace
