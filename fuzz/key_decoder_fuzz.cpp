// Fuzzes the key decoder. The input is read as a list of pieces, each chosen by one byte: raw
// bytes and pauses, which may fall anywhere in a key, and whole keys of each kind the decoder
// knows (plain characters, CSI and SS3 sequences, the Linux console's F1..F5, Escape before a
// byte, characters beyond ASCII), each fed after a pause so that its codes are its own.
//
// Always: every code is taken before the next byte, a 0 is always followed at once by a
// second code of the key table, the queue never fills (so no code was dropped), a pause ends
// every key, and no key ends without a code. For whole keys, also: the key's codes are those
// of its kind, so that no byte of an escape sequence ever comes out as a key of its own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/key_decoder.hpp"

namespace {

namespace keys = console::keys;
using Codes = std::vector<uint8_t>;

constexpr uint8_t ESC = 0x1b;

struct Input {
    const uint8_t* data;
    std::size_t size;
    std::size_t next = 0;
};

uint8_t take(Input& input) {
    return input.next < input.size ? input.data[input.next++] : 0;
}

// Feeds bytes and pauses, takes every code as soon as it is ready, and checks what holds for
// any input whatever.
struct Run {
    keys::KeyDecoder decoder;
    bool key_begun = false; // bytes have come since the decoder was last between keys
    bool key_coded = false; // and some code has come out for them
    Codes codes;            // every code so far
};

[[noreturn]] void fail(const std::string& what, const Codes& codes) {
    std::fprintf(stderr, "key decoder: %s; the codes:", what.c_str());
    for (const uint8_t code : codes) {
        std::fprintf(stderr, " %u", code);
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

bool is_second_code(uint8_t code) {
    return (code >= keys::KEY_F1 && code < keys::KEY_F1 + 10) || code == keys::KEY_F11 ||
           code == keys::KEY_F12 || code == keys::KEY_HOME || code == keys::KEY_UP ||
           code == keys::KEY_PAGE_UP || code == keys::KEY_LEFT || code == keys::KEY_RIGHT ||
           code == keys::KEY_END || code == keys::KEY_DOWN || code == keys::KEY_PAGE_DOWN ||
           code == keys::KEY_INSERT || code == keys::KEY_DELETE || code == keys::KEY_NUL;
}

void drain(Run& run) {
    if (run.decoder.code_count >= keys::CODE_QUEUE_SIZE) {
        fail("the code queue filled up", run.codes);
    }
    while (keys::code_ready(run.decoder)) {
        const uint8_t code = keys::take_code(run.decoder);
        run.codes.push_back(code);
        run.key_coded = true;
        if (code != 0) {
            continue;
        }
        if (!keys::code_ready(run.decoder)) {
            fail("a 0 came without its second code", run.codes);
        }
        const uint8_t second = keys::take_code(run.decoder);
        run.codes.push_back(second);
        if (!is_second_code(second)) {
            fail("a 0 came with the second code " + std::to_string(second), run.codes);
        }
    }
    if (!keys::key_pending(run.decoder)) {
        if (run.key_begun && !run.key_coded) {
            fail("a key ended without a code", run.codes);
        }
        run.key_begun = false;
        run.key_coded = false;
    }
}

void feed(Run& run, uint8_t byte) {
    if (!keys::key_pending(run.decoder)) {
        run.key_begun = true;
        run.key_coded = false;
    }
    keys::feed_byte(run.decoder, byte);
    drain(run);
}

void pause(Run& run) {
    const bool was_pending = keys::key_pending(run.decoder);
    const std::size_t before = run.codes.size();
    keys::feed_timeout(run.decoder);
    drain(run);
    if (keys::key_pending(run.decoder)) {
        fail("a key is still pending after a pause", run.codes);
    }
    if (!was_pending && run.codes.size() != before) {
        fail("a pause between keys gave codes", run.codes);
    }
}

// Feeds one whole key from between keys and returns its codes.
Codes feed_key(Run& run, const Codes& bytes, bool ends_with_pause) {
    pause(run);
    const std::size_t before = run.codes.size();
    for (const uint8_t byte : bytes) {
        feed(run, byte);
    }
    if (ends_with_pause) {
        pause(run);
    } else if (keys::key_pending(run.decoder)) {
        fail("a whole key left the decoder waiting", run.codes);
    }
    return {run.codes.begin() + static_cast<std::ptrdiff_t>(before), run.codes.end()};
}

bool is_escape_or_named(const Codes& codes) {
    return codes == Codes{ESC} || (codes.size() == 2 && codes[0] == 0);
}

void expect(bool holds, const std::string& what, const Codes& bytes, const Codes& codes) {
    if (holds) {
        return;
    }
    std::string text = what + " from the bytes";
    for (const uint8_t byte : bytes) {
        text += " " + std::to_string(byte);
    }
    fail(text, codes);
}

// A character of the 7-bit set, Escape aside: its own code, but for the keys with two forms.
void plain_key(Run& run, Input& input) {
    uint8_t byte = take(input) & 0x7f;
    byte = byte == ESC ? 'x' : byte;
    const Codes codes = feed_key(run, {byte}, false);
    Codes wanted{byte};
    if (byte == 0) {
        wanted = {0, keys::KEY_NUL};
    } else if (byte == '\n' || byte == '\r') {
        wanted = {keys::ENTER_CODE};
    } else if (byte == 0x7f || byte == 0x08) {
        wanted = {keys::BACKSPACE_CODE};
    }
    expect(codes == wanted, "a plain key gave other codes", {byte}, codes);
}

// ESC [ or ESC O, parameter bytes (more than the decoder keeps, at times), then a final byte.
Codes sequence_bytes(Input& input, uint8_t introducer) {
    Codes bytes{ESC, introducer};
    const int parameters = take(input) % 20;
    for (int i = 0; i < parameters; ++i) {
        bytes.push_back(static_cast<uint8_t>(0x30 + take(input) % 16));
    }
    // Intermediate bytes, but not '$', which ends rxvt's CSI forms such as ESC [ 2 $.
    const int intermediates = take(input) % 3;
    for (int i = 0; i < intermediates; ++i) {
        const auto byte = static_cast<uint8_t>(0x20 + take(input) % 16);
        bytes.push_back(byte == '$' ? ' ' : byte);
    }
    auto final_byte = static_cast<uint8_t>(0x40 + take(input) % 63);
    // ESC [ [ opens the Linux console's form, tried on its own below.
    if (introducer == '[' && bytes.size() == 2 && final_byte == '[') {
        final_byte = ']';
    }
    bytes.push_back(final_byte);
    return bytes;
}

void csi_key(Run& run, Input& input) {
    const Codes bytes = sequence_bytes(input, '[');
    const Codes codes = feed_key(run, bytes, false);
    expect(is_escape_or_named(codes), "a CSI sequence gave other codes", bytes, codes);
}

// The application keypad's keys, as the terminal sends them with ESC O.
uint8_t keypad_character(uint8_t final_byte) {
    constexpr std::string_view FINALS = "pqrstuvwxyjklmnoXM";
    constexpr std::string_view CHARACTERS = "0123456789*+,-./=\r";
    const std::size_t at = FINALS.find(static_cast<char>(final_byte));
    return at == std::string_view::npos ? 0 : static_cast<uint8_t>(CHARACTERS[at]);
}

void ss3_key(Run& run, Input& input) {
    const Codes bytes = sequence_bytes(input, 'O');
    const Codes codes = feed_key(run, bytes, false);
    const uint8_t character = bytes.size() == 3 ? keypad_character(bytes[2]) : 0;
    expect(is_escape_or_named(codes) || (character != 0 && codes == Codes{character}),
           "an SS3 sequence gave other codes", bytes, codes);
}

void linux_function_key(Run& run, Input& input) {
    const Codes bytes{ESC, '[', '[', static_cast<uint8_t>(0x40 + take(input) % 63)};
    const Codes codes = feed_key(run, bytes, false);
    expect(is_escape_or_named(codes), "a Linux console sequence gave other codes", bytes, codes);
}

// Escape and then any one byte at once: Alt with a key, or a sequence cut short by the pause.
void escape_before_byte(Run& run, Input& input) {
    const Codes bytes{ESC, take(input)};
    const Codes codes = feed_key(run, bytes, true);
    const Codes wanted = bytes[1] == ESC ? Codes{ESC, ESC} : Codes{ESC};
    expect(codes == wanted, "Escape before a byte gave other codes", bytes, codes);
}

// A character beyond ASCII, correctly encoded in two to four bytes.
void non_ascii_key(Run& run, Input& input) {
    uint32_t point = take(input);
    point = point << 8 | take(input);
    point = point << 8 | take(input);
    point = 0x80 + point % (0x110000 - 0x80);
    if (point >= 0xd800 && point <= 0xdfff) {
        point -= 0x800; // no surrogates
    }
    Codes bytes;
    if (point < 0x800) {
        bytes = {static_cast<uint8_t>(0xc0 | point >> 6)};
    } else if (point < 0x10000) {
        bytes = {static_cast<uint8_t>(0xe0 | point >> 12),
                 static_cast<uint8_t>(0x80 | (point >> 6 & 0x3f))};
    } else {
        bytes = {static_cast<uint8_t>(0xf0 | point >> 18),
                 static_cast<uint8_t>(0x80 | (point >> 12 & 0x3f)),
                 static_cast<uint8_t>(0x80 | (point >> 6 & 0x3f))};
    }
    bytes.push_back(static_cast<uint8_t>(0x80 | (point & 0x3f)));
    const Codes codes = feed_key(run, bytes, false);
    expect(codes == Codes{keys::NON_ASCII_CODE}, "a character beyond ASCII gave other codes", bytes,
           codes);
}

void raw_bytes(Run& run, Input& input, uint8_t selector) {
    const int count = selector / 8 % 16 + 1;
    for (int i = 0; i < count; ++i) {
        feed(run, take(input));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Input input{data, size};
    Run run;
    while (input.next < input.size) {
        const uint8_t selector = take(input);
        switch (selector % 8) {
        case 0:
            raw_bytes(run, input, selector);
            break;
        case 1:
            pause(run);
            break;
        case 2:
            plain_key(run, input);
            break;
        case 3:
            csi_key(run, input);
            break;
        case 4:
            ss3_key(run, input);
            break;
        case 5:
            linux_function_key(run, input);
            break;
        case 6:
            escape_before_byte(run, input);
            break;
        default:
            non_ascii_key(run, input);
            break;
        }
    }
    pause(run);
    return 0;
}
