// The key decoder on byte sequences as terminals send them, whole and split.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/key_decoder.hpp"

namespace {

using console::keys::KeyDecoder;
using Codes = std::vector<uint8_t>;

Codes drain(KeyDecoder& decoder) {
    Codes codes;
    while (console::keys::code_ready(decoder)) {
        codes.push_back(console::keys::take_code(decoder));
    }
    return codes;
}

// Feeds every byte, taking the codes as they come, then reports that nothing more came.
Codes decode(const std::string& bytes) {
    KeyDecoder decoder;
    Codes codes;
    for (const char c : bytes) {
        console::keys::feed_byte(decoder, static_cast<uint8_t>(c));
        const Codes more = drain(decoder);
        codes.insert(codes.end(), more.begin(), more.end());
    }
    console::keys::feed_timeout(decoder);
    const Codes more = drain(decoder);
    codes.insert(codes.end(), more.begin(), more.end());
    EXPECT_FALSE(console::keys::key_pending(decoder));
    return codes;
}

struct Case {
    const char* name;
    std::string bytes;
    Codes codes;
};

// One key press, sent as one sequence.
const std::vector<Case> NAMED_KEYS = {
    {"xterm Up", "\x1b[A", {0, 72}},
    {"xterm Down", "\x1b[B", {0, 80}},
    {"xterm Right", "\x1b[C", {0, 77}},
    {"xterm Left", "\x1b[D", {0, 75}},
    {"application Up", "\x1bOA", {0, 72}},
    {"application Left", "\x1bOD", {0, 75}},
    {"Ctrl+Up", "\x1b[1;5A", {0, 72}},
    {"Shift+Alt+Right", "\x1b[1;4C", {0, 77}},
    {"xterm Home", "\x1b[H", {0, 71}},
    {"xterm End", "\x1b[F", {0, 79}},
    {"application Home", "\x1bOH", {0, 71}},
    {"application End", "\x1bOF", {0, 79}},
    {"Ctrl+End", "\x1b[1;5F", {0, 79}},
    {"VT220 Home", "\x1b[1~", {0, 71}},
    {"VT220 End", "\x1b[4~", {0, 79}},
    {"rxvt Home", "\x1b[7~", {0, 71}},
    {"rxvt End", "\x1b[8~", {0, 79}},
    {"Insert", "\x1b[2~", {0, 82}},
    {"Delete", "\x1b[3~", {0, 83}},
    {"Page Up", "\x1b[5~", {0, 73}},
    {"Page Down", "\x1b[6~", {0, 81}},
    {"Shift+Delete", "\x1b[3;2~", {0, 83}},
    {"rxvt Shift+Insert", "\x1b[2$", {0, 82}},
    {"rxvt Ctrl+Delete", "\x1b[3^", {0, 83}},
    {"rxvt Ctrl+Shift+Page Up", "\x1b[5@", {0, 73}},
    {"rxvt Shift+Up", "\x1b[a", {0, 72}},
    {"rxvt Ctrl+Left", "\x1bOd", {0, 75}},
    {"rxvt Alt+Up", "\x1b\x1b[A", {0, 72}},
    {"F1 SS3", "\x1bOP", {0, 59}},
    {"F2 SS3", "\x1bOQ", {0, 60}},
    {"F3 SS3", "\x1bOR", {0, 61}},
    {"F4 SS3", "\x1bOS", {0, 62}},
    {"Shift+F1", "\x1b[1;2P", {0, 59}},
    {"old xterm Ctrl+F4", "\x1bO5S", {0, 62}},
    {"VT220 F1", "\x1b[11~", {0, 59}},
    {"VT220 F4", "\x1b[14~", {0, 62}},
    {"F5", "\x1b[15~", {0, 63}},
    {"F6", "\x1b[17~", {0, 64}},
    {"F7", "\x1b[18~", {0, 65}},
    {"F8", "\x1b[19~", {0, 66}},
    {"F9", "\x1b[20~", {0, 67}},
    {"F10", "\x1b[21~", {0, 68}},
    {"F11", "\x1b[23~", {0, 133}},
    {"F12", "\x1b[24~", {0, 134}},
    {"Ctrl+F5", "\x1b[15;5~", {0, 63}},
    {"Linux F1", "\x1b[[A", {0, 59}},
    {"Linux F5", "\x1b[[E", {0, 63}},
    {"keypad Enter", "\x1bOM", {13}},
    {"keypad 1", "\x1bOq", {'1'}},
    {"keypad 6", "\x1bOv", {'6'}},
    {"keypad minus", "\x1bOm", {'-'}},
};

TEST(KeyDecoder, NamedKeysGiveZeroAndTheirSecondCode) {
    for (const Case& c : NAMED_KEYS) {
        EXPECT_EQ(decode(c.bytes), c.codes) << c.name;
    }
}

// Bytes that arrive one at a time, each read on its own: nothing comes out before the last.
TEST(KeyDecoder, SplitSequenceGivesNothingUntilItsLastByte) {
    for (const Case& c : NAMED_KEYS) {
        KeyDecoder decoder;
        for (std::size_t i = 0; i + 1 < c.bytes.size(); ++i) {
            console::keys::feed_byte(decoder, static_cast<uint8_t>(c.bytes[i]));
            EXPECT_FALSE(console::keys::code_ready(decoder)) << c.name << " after byte " << i;
            EXPECT_TRUE(console::keys::key_pending(decoder)) << c.name << " after byte " << i;
        }
        console::keys::feed_byte(decoder, static_cast<uint8_t>(c.bytes.back()));
        EXPECT_EQ(drain(decoder), c.codes) << c.name;
        EXPECT_FALSE(console::keys::key_pending(decoder)) << c.name;
    }
}

TEST(KeyDecoder, PlainKeys) {
    const std::vector<Case> cases = {
        {"letter", "a", {'a'}},
        {"digits in a row", "15", {'1', '5'}},
        {"q", "q", {'q'}},
        {"Enter as CR", "\r", {13}},
        {"Enter as LF", "\n", {13}},
        {"CR LF is two presses", "\r\n", {13, 13}},
        {"Backspace as DEL", "\x7f", {8}},
        {"Backspace as BS", "\b", {8}},
        {"Tab", "\t", {9}},
        {"Ctrl+C", "\x03", {3}},
        {"Ctrl+S and Ctrl+Q", "\x13\x11", {19, 17}},
        {"NUL takes the two-code form", std::string(1, '\0'), {0, 3}},
        {"blank", " ", {' '}},
        {"tilde", "~", {'~'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), c.codes) << c.name;
    }
}

TEST(KeyDecoder, EscapeAloneWaitsForTheTimeout) {
    KeyDecoder decoder;
    console::keys::feed_byte(decoder, 0x1b);
    EXPECT_FALSE(console::keys::code_ready(decoder));
    EXPECT_TRUE(console::keys::key_pending(decoder));
    console::keys::feed_timeout(decoder);
    EXPECT_EQ(drain(decoder), Codes{27});
    // A timeout between keys changes nothing.
    console::keys::feed_timeout(decoder);
    EXPECT_FALSE(console::keys::code_ready(decoder));
    console::keys::feed_byte(decoder, '1');
    EXPECT_EQ(drain(decoder), Codes{'1'});
}

// Any sequence that names no key is still one key press, 27, and none of its bytes leak.
TEST(KeyDecoder, OtherSequencesAreOneKeyAndLeakNothing) {
    const std::vector<Case> cases = {
        {"two Escapes", "\x1b\x1b", {27, 27}},
        {"three Escapes", "\x1b\x1b\x1b", {27, 27, 27}},
        {"Escape then Alt+x", "\x1b\x1bx", {27, 27}},
        {"Alt+letter", "\x1bq", {27}},
        {"Alt+digit then digit",
         "\x1b"
         "12",
         {27, '2'}},
        {"Alt+Backspace", "\x1b\x7f", {27}},
        {"Alt+Enter", "\x1b\r", {27}},
        {"Alt+e acute", "\x1b\xc3\xa9", {27}},
        {"back tab", "\x1b[Z", {27}},
        {"F13", "\x1b[25~", {27}},
        {"paste start then key", "\x1b[200~x", {27, 'x'}},
        {"private answer", "\x1b[?1;2c", {27}},
        {"tilde with no number", "\x1b[~", {27}},
        {"keypad with parameters",
         "\x1b"
         "O2q",
         {27}},
        {"ESC with intermediate", "\x1b#8", {27}},
        {"Linux bracket, unknown", "\x1b[[Z", {27}},
        {"overlong parameters", "\x1b[" + std::string(40, '1') + "~5", {27, '5'}},
        {"CSI cut short by Enter", "\x1b[1\r", {27, 13}},
        {"CSI cut short by Escape", "\x1b[1\x1b[A", {27, 0, 72}},
        {"SS3 cut short by NUL", std::string("\x1bO\0", 3), {27, 0, 3}},
        {"intermediate cut short", "\x1b#\t", {27, 9}},
        {"CSI cut short by the timeout", "\x1b[15", {27}},
        {"SS3 cut short by the timeout", "\x1bO", {27}},
        {"Linux bracket cut short", "\x1b[[", {27}},
        {"Alt+[ is a CSI cut short", "\x1b[", {27}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), c.codes) << c.name;
    }
}

TEST(KeyDecoder, CharactersBeyondAsciiAreOneCode) {
    const std::vector<Case> cases = {
        {"two bytes", "\xc3\xa9", {255}},
        {"three bytes", "\xe2\x82\xac", {255}},
        {"four bytes", "\xf0\x9f\x98\x80", {255}},
        {"two characters", "\xc3\xa9\xc3\xb6", {255, 255}},
        {"character then key", "\xc3\xa9q", {255, 'q'}},
        {"cut short by a key", "\xe2\x82q", {255, 'q'}},
        {"cut short by Escape", "\xc3\x1b[B", {255, 0, 80}},
        {"cut short by the timeout", "\xe2\x82", {255}},
        {"stray continuation byte", "\xa9", {255}},
        {"byte never in UTF-8", "\xc0\xff", {255, 255}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.bytes), c.codes) << c.name;
    }
}

bool is_second_code(uint8_t code) {
    return code == 3 || (code >= 59 && code <= 68) || (code >= 71 && code <= 83) || code == 133 ||
           code == 134;
}

// Whatever the bytes, a 0 comes with its second code in the same step (so the game never takes
// the next key for it), every sequence ends, and no byte gives more codes than the queue holds.
TEST(KeyDecoder, ArbitraryBytesKeepTheTwoCodeForm) {
    uint32_t state = 12345;
    const auto next_byte = [&state] {
        state = state * 1103515245U + 12345U;
        const auto roll = static_cast<uint8_t>(state >> 24);
        // Mostly the bytes that sequences are made of, so that long ones are tried.
        constexpr std::string_view OFTEN = "\x1b[O;0123~$^@ABCDPHFa\x80\xc3\xe2";
        return roll < 160 ? static_cast<uint8_t>(OFTEN[roll % OFTEN.size()])
                          : static_cast<uint8_t>(state >> 16);
    };
    KeyDecoder decoder;
    for (int i = 0; i < 200000; ++i) {
        if (i % 97 == 0) {
            console::keys::feed_timeout(decoder);
        } else {
            console::keys::feed_byte(decoder, next_byte());
        }
        ASSERT_LE(decoder.code_count, 3) << "at byte " << i;
        const Codes codes = drain(decoder);
        for (std::size_t k = 0; k < codes.size(); ++k) {
            if (codes[k] == 0) {
                ASSERT_LT(k + 1, codes.size()) << "at byte " << i;
                ASSERT_TRUE(is_second_code(codes[++k])) << "at byte " << i;
            }
        }
    }
    console::keys::feed_timeout(decoder);
    drain(decoder);
    EXPECT_FALSE(console::keys::key_pending(decoder));
}

} // namespace
