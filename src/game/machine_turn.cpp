// In progress: the machine's three-ply search.
#include "game/machine_turn.hpp"
