// A machine-turn test: a blank virtual console, a fresh count of records, and every pooled
// record given back to the heap at the end.
#pragma once

#include <gtest/gtest.h>

#include "game/game_state.hpp"
#include "heap_control.hpp"
#include "pools.hpp"
#include "scripted_console.hpp"

class MachineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scripted_console::reset();
        heap_control::reset();
    }
    void TearDown() override { pools::release(state); }

    gridtake::GameState state;
};
