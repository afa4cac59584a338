// The two free lists of search records in GameState: records are taken from and given back
// to them, and come from the heap only when a list is empty. They are never freed.
#pragma once

#include "game/game_state.hpp"
#include "game/search_records.hpp"

namespace gridtake {

// Each hands out a record whose link (next or parent) is null; the caller sets the rest. A
// heap that cannot supply one ends the program with a fatal report.
SearchNode* take_node(GameState& state);
SearchLevel* take_level(GameState& state);

// Put a record back at the head of its list.
void return_node(GameState& state, SearchNode* node);
void return_level(GameState& state, SearchLevel* level);

} // namespace gridtake
