// Turns the bytes a terminal sends into the console's key codes, one byte at a time, with no
// access to the terminal itself.
//
// What the codes are:
// - A key with a character gives that character's code. Enter gives 13 whether the terminal
//   sends CR or LF (each byte is one press); Backspace gives 8 for DEL as well as BS.
// - A key with no character gives 0 and then a second code (see the KEY_ constants), whatever
//   Shift, Ctrl or Alt were held with it. The xterm, VT220, rxvt and Linux console forms are
//   understood, CSI and SS3, with or without modifier parameters.
// - NUL (Ctrl+Space, Ctrl+@) gives 0 and then 3, so that a 0 is always followed by a second code.
// - The keypad in application mode gives the digits, signs and Enter it is labelled with.
// - Every other escape sequence, complete or cut short, gives one 27, the code of Escape, and
//   none of its bytes. So does Escape followed at once by another key (Alt with that key).
//   Escape alone gives 27 once the caller reports that no further byte came in time.
// - A character beyond ASCII gives the one code NON_ASCII_CODE, and so does each byte that
//   cannot be UTF-8.
#pragma once

#include <array>
#include <cstdint>

namespace console::keys {

// Second codes of the keys with no character.
constexpr uint8_t KEY_F1 = 59; // F1..F10 are 59..68
constexpr uint8_t KEY_F11 = 133;
constexpr uint8_t KEY_F12 = 134;
constexpr uint8_t KEY_HOME = 71;
constexpr uint8_t KEY_UP = 72;
constexpr uint8_t KEY_PAGE_UP = 73;
constexpr uint8_t KEY_LEFT = 75;
constexpr uint8_t KEY_RIGHT = 77;
constexpr uint8_t KEY_END = 79;
constexpr uint8_t KEY_DOWN = 80;
constexpr uint8_t KEY_PAGE_DOWN = 81;
constexpr uint8_t KEY_INSERT = 82;
constexpr uint8_t KEY_DELETE = 83;
constexpr uint8_t KEY_NUL = 3;

constexpr uint8_t ENTER_CODE = 13;
constexpr uint8_t BACKSPACE_CODE = 8;
constexpr uint8_t ESCAPE_CODE = 27;
constexpr uint8_t NON_ASCII_CODE = 255;

// Where the decoder stands between bytes.
enum class DecodeState : uint8_t {
    ground,              // between keys
    escape,              // ESC
    escape_escape,       // ESC ESC: a sequence with Alt, or two presses of Escape
    escape_intermediate, // ESC and intermediate bytes, waiting for the final byte
    csi,                 // ESC [ and its parameters
    csi_bracket,         // ESC [ [, the Linux console's F1..F5
    ss3,                 // ESC O and its parameters
    utf8,                // inside a character of several bytes
};

// One byte can finish a broken sequence and be a key of its own: at most four codes.
constexpr std::size_t CODE_QUEUE_SIZE = 4;
constexpr std::size_t MAX_PARAMETER_BYTES = 16;

struct KeyDecoder {
    DecodeState state = DecodeState::ground;
    std::array<uint8_t, MAX_PARAMETER_BYTES> parameters{}; // of the CSI or SS3 being read
    uint8_t parameter_count = 0;
    bool parameters_overflowed = false;
    uint8_t utf8_bytes_left = 0;
    bool utf8_after_escape = false;               // Alt with a character beyond ASCII
    std::array<uint8_t, CODE_QUEUE_SIZE> codes{}; // decoded, oldest first
    uint8_t code_count = 0;
};

// Feed the next byte. Take every ready code before feeding another byte.
void feed_byte(KeyDecoder& decoder, uint8_t byte);
// No further byte came within the wait for the rest of a sequence: what was read is one key.
void feed_timeout(KeyDecoder& decoder);
// True while a key has begun and not ended: the caller waits briefly for more, then times out.
bool key_pending(const KeyDecoder& decoder);
bool code_ready(const KeyDecoder& decoder);
// The oldest ready code; only when code_ready.
uint8_t take_code(KeyDecoder& decoder);

} // namespace console::keys
