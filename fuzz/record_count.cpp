#include "record_count.hpp"

#include <new>

#include "game/search_records.hpp"

namespace record_count {

namespace {

std::size_t node_blocks = 0;  // NOLINT: counts for the whole process
std::size_t level_blocks = 0; // NOLINT

} // namespace

std::size_t nodes() {
    return node_blocks;
}
std::size_t levels() {
    return level_blocks;
}
void reset() {
    node_blocks = 0;
    level_blocks = 0;
}

} // namespace record_count

void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    try {
        void* const block = ::operator new(size);
        record_count::node_blocks += size == sizeof(gridtake::SearchNode) ? 1 : 0;
        record_count::level_blocks += size == sizeof(gridtake::SearchLevel) ? 1 : 0;
        return block;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
