// The records of the machine's look-ahead, recycled through the free lists in GameState.
#pragma once

#include <cstdint>

namespace gridtake {

// One candidate move of a ply, or the root of the search.
struct SearchNode {
    int16_t value = 0; // machine minus player after the move, then its backed-up value
    uint8_t move = 0;  // a column at even plies, a row at odd plies
    SearchNode* next = nullptr;
};

// The nodes of one ply below the current node of the ply above.
struct SearchLevel {
    SearchLevel* parent = nullptr;
    SearchNode* current = nullptr;
    int16_t best = 0;
};

} // namespace gridtake
