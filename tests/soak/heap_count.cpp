#include "heap_count.hpp"

#include <cstdlib>
#include <malloc.h>
#include <new>

#include "game/search_records.hpp"

namespace heap_count {

namespace {

Figures figures; // NOLINT: the counts of the whole process

void* take(std::size_t size) noexcept {
    void* const block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) {
        ++figures.allocations;
        ++figures.live_blocks;
        figures.live_bytes += malloc_usable_size(block);
    }
    return block;
}

void* take_or_throw(std::size_t size) {
    void* const block = take(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* take_nothrow(std::size_t size) noexcept {
    void* const block = take(size);
    figures.record_nodes += size == sizeof(gridtake::SearchNode) ? 1 : 0;
    figures.record_levels += size == sizeof(gridtake::SearchLevel) ? 1 : 0;
    return block;
}

void give(void* block) noexcept {
    if (block != nullptr) {
        --figures.live_blocks;
        figures.live_bytes -= malloc_usable_size(block);
        std::free(block);
    }
}

} // namespace

Figures now() {
    return figures;
}

} // namespace heap_count

void* operator new(std::size_t size) {
    return heap_count::take_or_throw(size);
}
void* operator new[](std::size_t size) {
    return heap_count::take_or_throw(size);
}
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    return heap_count::take_nothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    return heap_count::take_nothrow(size);
}
void operator delete(void* block) noexcept {
    heap_count::give(block);
}
void operator delete[](void* block) noexcept {
    heap_count::give(block);
}
void operator delete(void* block, std::size_t /*unused*/) noexcept {
    heap_count::give(block);
}
void operator delete[](void* block, std::size_t /*unused*/) noexcept {
    heap_count::give(block);
}
void operator delete(void* block, const std::nothrow_t& /*unused*/) noexcept {
    heap_count::give(block);
}
void operator delete[](void* block, const std::nothrow_t& /*unused*/) noexcept {
    heap_count::give(block);
}
