#include "console/key_decoder.hpp"

namespace console::keys {

namespace {

constexpr uint8_t ESC = 0x1b;
constexpr int NO_NUMBER = -1;
constexpr int NUMBER_CAP = 10000; // far above any key's number; keeps the parse from overflowing

void push(KeyDecoder& d, uint8_t code) {
    // The queue holds what one byte can finish; feed_byte's contract keeps it from filling.
    if (d.code_count < d.codes.size()) {
        d.codes[d.code_count++] = code;
    }
}

void push_key(KeyDecoder& d, uint8_t second) {
    push(d, 0);
    push(d, second);
}

void begin(KeyDecoder& d, DecodeState state) {
    d.state = state;
    d.parameter_count = 0;
    d.parameters_overflowed = false;
}

// A sequence the console does not name: one key press all the same.
void finish_unnamed(KeyDecoder& d) {
    push(d, ESCAPE_CODE);
    d.state = DecodeState::ground;
}

void finish_named(KeyDecoder& d, uint8_t second) {
    if (second == 0) {
        finish_unnamed(d);
        return;
    }
    push_key(d, second);
    d.state = DecodeState::ground;
}

// The number before the first ';' (`fallback` when there is none), or NO_NUMBER when the
// parameters are not plain numbers, as in private sequences such as ESC [ ? 1 c.
int first_number(const KeyDecoder& d, int fallback) {
    if (d.parameters_overflowed) {
        return NO_NUMBER;
    }
    int number = fallback;
    bool in_first = true;
    bool seen_digit = false;
    for (uint8_t i = 0; i < d.parameter_count; ++i) {
        const uint8_t b = d.parameters[i];
        if (b == ';') {
            in_first = false;
        } else if (b < '0' || b > '9') {
            return NO_NUMBER;
        } else if (in_first) {
            number = (seen_digit ? number * 10 : 0) + (b - '0');
            number = number > NUMBER_CAP ? NUMBER_CAP : number;
            seen_digit = true;
        }
    }
    return number;
}

// ESC [ n ~ (and rxvt's $ ^ @ for Shift, Ctrl, Ctrl+Shift).
uint8_t numbered_key(int number) {
    switch (number) {
    case 1:
    case 7:
        return KEY_HOME;
    case 2:
        return KEY_INSERT;
    case 3:
        return KEY_DELETE;
    case 4:
    case 8:
        return KEY_END;
    case 5:
        return KEY_PAGE_UP;
    case 6:
        return KEY_PAGE_DOWN;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
        return static_cast<uint8_t>(KEY_F1 + (number - 11));
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return static_cast<uint8_t>(KEY_F1 + 5 + (number - 17));
    case 23:
        return KEY_F11;
    case 24:
        return KEY_F12;
    default:
        return 0;
    }
}

// ESC [ x and ESC O x; the lower-case arrows are rxvt's with Shift (CSI) or Ctrl (SS3).
uint8_t lettered_key(uint8_t final_byte) {
    switch (final_byte) {
    case 'A':
    case 'a':
        return KEY_UP;
    case 'B':
    case 'b':
        return KEY_DOWN;
    case 'C':
    case 'c':
        return KEY_RIGHT;
    case 'D':
    case 'd':
        return KEY_LEFT;
    case 'H':
        return KEY_HOME;
    case 'F':
        return KEY_END;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        return static_cast<uint8_t>(KEY_F1 + (final_byte - 'P'));
    default:
        return 0;
    }
}

// ESC O x from the keypad in application mode: the character on the key, or 0.
uint8_t keypad_character(uint8_t final_byte) {
    if (final_byte >= 'p' && final_byte <= 'y') {
        return static_cast<uint8_t>('0' + (final_byte - 'p'));
    }
    switch (final_byte) {
    case 'M':
        return ENTER_CODE;
    case 'X':
        return '=';
    case 'j':
        return '*';
    case 'k':
        return '+';
    case 'l':
        return ',';
    case 'm':
        return '-';
    case 'n':
        return '.';
    case 'o':
        return '/';
    default:
        return 0;
    }
}

void finish_csi(KeyDecoder& d, uint8_t final_byte) {
    const bool numbered =
        final_byte == '~' || final_byte == '$' || final_byte == '^' || final_byte == '@';
    const int number = first_number(d, numbered ? NO_NUMBER : 1);
    if (number == NO_NUMBER) {
        finish_unnamed(d);
    } else {
        finish_named(d, numbered ? numbered_key(number) : lettered_key(final_byte));
    }
}

void finish_ss3(KeyDecoder& d, uint8_t final_byte) {
    const uint8_t character = keypad_character(final_byte);
    if (character != 0 && d.parameter_count == 0) {
        push(d, character);
        d.state = DecodeState::ground;
    } else if (first_number(d, 1) == NO_NUMBER) {
        finish_unnamed(d);
    } else {
        finish_named(d, lettered_key(final_byte));
    }
}

void decode_ground(KeyDecoder& d, uint8_t b) {
    if (b == ESC) {
        d.state = DecodeState::escape;
    } else if (b == 0) {
        push_key(d, KEY_NUL);
    } else if (b == '\n') {
        push(d, ENTER_CODE);
    } else if (b == 0x7f) {
        push(d, BACKSPACE_CODE);
    } else if (b < 0x80) {
        push(d, b);
    } else if (b >= 0xc2 && b <= 0xf4) {
        d.state = DecodeState::utf8;
        d.utf8_bytes_left = b < 0xe0 ? 1 : (b < 0xf0 ? 2 : 3);
        d.utf8_after_escape = false;
    } else {
        push(d, NON_ASCII_CODE); // a stray continuation byte, or one never used in UTF-8
    }
}

// A sequence broken off by a byte that cannot belong to it: the sequence so far is one key,
// and the byte begins the next.
void break_off(KeyDecoder& d, uint8_t b) {
    finish_unnamed(d);
    decode_ground(d, b);
}

void store_parameter(KeyDecoder& d, uint8_t b) {
    if (d.parameter_count < d.parameters.size()) {
        d.parameters[d.parameter_count++] = b;
    } else {
        d.parameters_overflowed = true;
    }
}

void decode_escape(KeyDecoder& d, uint8_t b) {
    if (b == '[') {
        begin(d, DecodeState::csi);
    } else if (b == 'O') {
        begin(d, DecodeState::ss3);
    } else if (b == ESC) {
        d.state = DecodeState::escape_escape;
    } else if (b >= 0x20 && b <= 0x2f) {
        d.state = DecodeState::escape_intermediate;
    } else if (b >= 0xc2 && b <= 0xf4) {
        d.state = DecodeState::utf8;
        d.utf8_bytes_left = b < 0xe0 ? 1 : (b < 0xf0 ? 2 : 3);
        d.utf8_after_escape = true;
    } else {
        finish_unnamed(d); // Alt with a key of one byte
    }
}

void decode_escape_escape(KeyDecoder& d, uint8_t b) {
    if (b == '[') {
        begin(d, DecodeState::csi);
    } else if (b == 'O') {
        begin(d, DecodeState::ss3);
    } else {
        // The first Escape was a key of its own; the second goes on as a fresh one.
        push(d, ESCAPE_CODE);
        if (b != ESC) {
            d.state = DecodeState::escape;
            decode_escape(d, b);
        }
    }
}

void decode_intermediate(KeyDecoder& d, uint8_t b) {
    if (b >= 0x30 && b <= 0x7e) {
        finish_unnamed(d);
    } else if (b < 0x20 || b > 0x2f) {
        break_off(d, b);
    }
}

void decode_csi(KeyDecoder& d, uint8_t b) {
    if (b == '[' && d.parameter_count == 0 && !d.parameters_overflowed) {
        d.state = DecodeState::csi_bracket;
    } else if (b >= 0x40 && b <= 0x7e) {
        finish_csi(d, b);
    } else if (b == '$' && d.parameter_count > 0) {
        finish_csi(d, b); // rxvt's Shift form, ESC [ 2 $
    } else if (b >= 0x20 && b <= 0x3f) {
        store_parameter(d, b);
    } else {
        break_off(d, b);
    }
}

void decode_csi_bracket(KeyDecoder& d, uint8_t b) {
    if (b >= 'A' && b <= 'E') {
        finish_named(d, static_cast<uint8_t>(KEY_F1 + (b - 'A')));
    } else if (b >= 0x40 && b <= 0x7e) {
        finish_unnamed(d);
    } else {
        break_off(d, b);
    }
}

void decode_ss3(KeyDecoder& d, uint8_t b) {
    if (b >= 0x40 && b <= 0x7e) {
        finish_ss3(d, b);
    } else if (b >= 0x20 && b <= 0x3f) {
        store_parameter(d, b);
    } else {
        break_off(d, b);
    }
}

void finish_character(KeyDecoder& d) {
    push(d, d.utf8_after_escape ? ESCAPE_CODE : NON_ASCII_CODE);
    d.state = DecodeState::ground;
}

void decode_utf8(KeyDecoder& d, uint8_t b) {
    if (b < 0x80 || b > 0xbf) {
        finish_character(d); // cut short: what came is one key
        decode_ground(d, b);
    } else if (--d.utf8_bytes_left == 0) {
        finish_character(d);
    }
}

} // namespace

void feed_byte(KeyDecoder& decoder, uint8_t byte) {
    switch (decoder.state) {
    case DecodeState::ground:
        decode_ground(decoder, byte);
        break;
    case DecodeState::escape:
        decode_escape(decoder, byte);
        break;
    case DecodeState::escape_escape:
        decode_escape_escape(decoder, byte);
        break;
    case DecodeState::escape_intermediate:
        decode_intermediate(decoder, byte);
        break;
    case DecodeState::csi:
        decode_csi(decoder, byte);
        break;
    case DecodeState::csi_bracket:
        decode_csi_bracket(decoder, byte);
        break;
    case DecodeState::ss3:
        decode_ss3(decoder, byte);
        break;
    case DecodeState::utf8:
        decode_utf8(decoder, byte);
        break;
    }
}

void feed_timeout(KeyDecoder& decoder) {
    switch (decoder.state) {
    case DecodeState::ground:
        return;
    case DecodeState::utf8:
        finish_character(decoder);
        return;
    case DecodeState::escape_escape:
        push(decoder, ESCAPE_CODE);
        finish_unnamed(decoder);
        return;
    default:
        finish_unnamed(decoder); // Escape alone, or a sequence that stopped short
        return;
    }
}

bool key_pending(const KeyDecoder& decoder) {
    return decoder.state != DecodeState::ground;
}

bool code_ready(const KeyDecoder& decoder) {
    return decoder.code_count > 0;
}

uint8_t take_code(KeyDecoder& decoder) {
    const uint8_t code = decoder.codes[0];
    for (uint8_t i = 1; i < decoder.code_count; ++i) {
        decoder.codes[i - 1] = decoder.codes[i];
    }
    --decoder.code_count;
    return code;
}

} // namespace console::keys
