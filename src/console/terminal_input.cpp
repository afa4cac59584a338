// Input from the terminal or a pipe: bytes are read as they come and decoded into key codes,
// one key press for each call of read_key.
#include <algorithm>
#include <array>
#include <cerrno>

#include <poll.h>
#include <unistd.h>

#include "console/console.hpp"
#include "console/key_decoder.hpp"
#include "console/terminal_parts.hpp"

namespace console::terminal {

namespace {

// How long the rest of an escape sequence may take before what came is taken as one key
// (Escape alone, most often). Terminals send a sequence at once; a person is slower.
constexpr int SEQUENCE_WAIT_MS = 50;
constexpr std::size_t INPUT_CAPACITY = 256;

struct Input {
    std::array<uint8_t, INPUT_CAPACITY> bytes{};
    std::size_t next = 0; // the first byte not yet decoded
    std::size_t size = 0;
    bool ended = false;
    int end_error = 0; // 0 for the end of a pipe or file
    keys::KeyDecoder decoder;
};

Input in; // NOLINT: the one terminal of the process

// Adds what standard input has to the bytes not yet decoded.
void read_more() {
    std::copy(in.bytes.begin() + static_cast<std::ptrdiff_t>(in.next),
              in.bytes.begin() + static_cast<std::ptrdiff_t>(in.size), in.bytes.begin());
    in.size -= in.next;
    in.next = 0;
    if (in.size == in.bytes.size()) {
        return;
    }
    const ssize_t got = read(STDIN_FILENO, in.bytes.data() + in.size, in.bytes.size() - in.size);
    if (got > 0) {
        in.size += static_cast<std::size_t>(got);
    } else if (got == 0) {
        in.ended = true;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
        in.ended = true; // EIO: the terminal has gone away
        in.end_error = errno;
    }
}

[[noreturn]] void report_end_of_input() {
    exit_if_ending(); // a hang-up ends the program as a hang-up
    if (in.end_error == 0) {
        fatal_error("end of input");
    }
    fatal_system_error("cannot read standard input", in.end_error);
}

} // namespace

void take_in_typed_bytes() {
    pollfd pfd{STDIN_FILENO, POLLIN, 0};
    while (!in.ended && in.size - in.next < in.bytes.size() && poll(&pfd, 1, 0) > 0) {
        read_more();
    }
}

} // namespace console::terminal

namespace console {

uint8_t read_key() {
    using terminal::in;
    for (;;) {
        if (keys::code_ready(in.decoder)) {
            return keys::take_code(in.decoder);
        }
        if (in.next < in.size) {
            keys::feed_byte(in.decoder, in.bytes[in.next++]);
        } else if (in.ended) {
            if (!keys::key_pending(in.decoder)) {
                terminal::report_end_of_input();
            }
            keys::feed_timeout(in.decoder);
        } else {
            const bool pending = keys::key_pending(in.decoder);
            if (terminal::wait_for_input(pending ? terminal::SEQUENCE_WAIT_MS : -1)) {
                terminal::read_more();
            } else {
                keys::feed_timeout(in.decoder);
            }
        }
    }
}

} // namespace console
