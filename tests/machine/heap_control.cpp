#include "heap_control.hpp"

#include <new>

namespace heap_control {

namespace {

struct Control {
    std::vector<void*> blocks;
    std::size_t requests = 0;
    std::size_t fail_at = 0;
};

// Built on first use, so that an allocation during static initialisation finds it.
Control& control() {
    static Control instance;
    return instance;
}

} // namespace

void reset(std::size_t fail_at) {
    control().blocks.clear();
    control().requests = 0;
    control().fail_at = fail_at;
}

std::size_t allocations() {
    return control().blocks.size();
}

const std::vector<void*>& blocks() {
    return control().blocks;
}

void free_blocks() {
    for (void* const block : control().blocks) {
        ::operator delete(block);
    }
    control().blocks.clear();
}

} // namespace heap_control

// The plain operator new underneath keeps new and delete matched for the sanitizers.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    heap_control::Control& control = heap_control::control();
    if (++control.requests == control.fail_at) {
        return nullptr;
    }
    try {
        void* const block = ::operator new(size);
        control.blocks.push_back(block);
        return block;
    } catch (...) {
        return nullptr;
    }
}
