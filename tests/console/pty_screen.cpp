#include "pty_screen.hpp"

#include <algorithm>
#include <charconv>
#include <utility>

namespace pty_screen {

namespace {

std::string blank_row(const Screen& screen) {
    return std::string(static_cast<std::size_t>(screen.width), ' ');
}

std::string& cursor_row(Screen& screen) {
    return screen.cells[static_cast<std::size_t>(screen.row)];
}

void line_feed(Screen& screen) {
    screen.wrap_pending = false;
    if (screen.row + 1 < screen.height) {
        ++screen.row;
        return;
    }
    screen.cells.erase(screen.cells.begin());
    screen.cells.push_back(blank_row(screen));
}

void put_printable(Screen& screen, char c) {
    if (screen.wrap_pending) {
        screen.col = 0;
        line_feed(screen);
    }
    cursor_row(screen)[static_cast<std::size_t>(screen.col)] = c;
    if (screen.col + 1 < screen.width) {
        ++screen.col;
    } else {
        screen.wrap_pending = true;
    }
}

void move_to(Screen& screen, int row, int col) {
    screen.row = std::clamp(row, 0, screen.height - 1);
    screen.col = std::clamp(col, 0, screen.width - 1);
    screen.wrap_pending = false;
}

void erase_cells(Screen& screen, int row, int from_col, int to_col) {
    std::string& text = screen.cells[static_cast<std::size_t>(row)];
    for (int c = std::max(from_col, 0); c < std::min(to_col, screen.width); ++c) {
        text[static_cast<std::size_t>(c)] = ' ';
    }
}

void erase_whole_screen(Screen& screen) {
    std::vector<std::string> shown = rows(screen);
    if (std::any_of(shown.begin(), shown.end(), [](const std::string& r) { return !r.empty(); })) {
        screen.erased.push_back(std::move(shown));
    }
    for (std::string& text : screen.cells) {
        text = blank_row(screen);
    }
}

// Erase in display: 0 from the cursor to the end, 1 from the start to the cursor, 2 all.
// An erase from the top-left corner to the end blanks the whole screen as well.
void erase_display(Screen& screen, int mode) {
    if (mode == 2 || (mode == 0 && screen.row == 0 && screen.col == 0)) {
        erase_whole_screen(screen);
    } else if (mode == 0) {
        erase_cells(screen, screen.row, screen.col, screen.width);
        for (int r = screen.row + 1; r < screen.height; ++r) {
            erase_cells(screen, r, 0, screen.width);
        }
    } else if (mode == 1) {
        for (int r = 0; r < screen.row; ++r) {
            erase_cells(screen, r, 0, screen.width);
        }
        erase_cells(screen, screen.row, 0, screen.col + 1);
    }
    // Mode 3 (the scroll-back) leaves the window as it is.
}

void erase_line(Screen& screen, int mode) {
    if (mode == 0) {
        erase_cells(screen, screen.row, screen.col, screen.width);
    } else if (mode == 1) {
        erase_cells(screen, screen.row, 0, screen.col + 1);
    } else if (mode == 2) {
        erase_cells(screen, screen.row, 0, screen.width);
    }
}

struct CsiCommand {
    bool private_marker = false; // '?', '>', '=' or '<' after the CSI
    std::vector<int> params;
    char final = 0;
};

CsiCommand parse_csi(const std::string& sequence) {
    CsiCommand command;
    std::string_view body(sequence);
    command.final = body.back();
    body.remove_suffix(1);
    if (!body.empty() && (body.front() == '?' || body.front() == '>' || body.front() == '=' ||
                          body.front() == '<')) {
        command.private_marker = true;
        body.remove_prefix(1);
    }
    while (true) {
        int value = -1; // an omitted parameter
        const std::size_t end = std::min(body.find(';'), body.size());
        if (end > 0) {
            std::from_chars(body.data(), body.data() + end, value);
        }
        command.params.push_back(value);
        if (end == body.size()) {
            break;
        }
        body.remove_prefix(end + 1);
    }
    return command;
}

// The parameter at `index`, with `fallback` where it is omitted or 0 (as for cursor moves).
int param(const CsiCommand& command, std::size_t index, int fallback) {
    if (index >= command.params.size() || command.params[index] <= 0) {
        return fallback;
    }
    return command.params[index];
}

int mode_param(const CsiCommand& command) {
    return command.params.empty() || command.params[0] < 0 ? 0 : command.params[0];
}

bool is_alternate_screen_mode(int mode) {
    return mode == 47 || mode == 1047 || mode == 1049;
}

// Private modes: only the alternate screen changes what the screen shows; others, such as the
// cursor's visibility, do not.
void private_mode(Screen& screen, const CsiCommand& command) {
    if ((command.final != 'h' && command.final != 'l') ||
        !is_alternate_screen_mode(mode_param(command))) {
        return;
    }
    const bool enter = command.final == 'h';
    if (enter && !screen.alternate) {
        screen.main_cells = screen.cells;
        for (std::string& text : screen.cells) {
            text = blank_row(screen);
        }
    } else if (!enter && screen.alternate) {
        screen.cells = screen.main_cells;
    }
    screen.alternate = enter;
}

void run_csi(Screen& screen, const std::string& sequence) {
    const CsiCommand command = parse_csi(sequence);
    if (command.private_marker) {
        private_mode(screen, command);
        return;
    }
    switch (command.final) {
    case 'H':
    case 'f':
        move_to(screen, param(command, 0, 1) - 1, param(command, 1, 1) - 1);
        break;
    case 'A':
        move_to(screen, screen.row - param(command, 0, 1), screen.col);
        break;
    case 'B':
        move_to(screen, screen.row + param(command, 0, 1), screen.col);
        break;
    case 'C':
        move_to(screen, screen.row, screen.col + param(command, 0, 1));
        break;
    case 'D':
        move_to(screen, screen.row, screen.col - param(command, 0, 1));
        break;
    case 'E':
        move_to(screen, screen.row + param(command, 0, 1), 0);
        break;
    case 'F':
        move_to(screen, screen.row - param(command, 0, 1), 0);
        break;
    case 'G':
        move_to(screen, screen.row, param(command, 0, 1) - 1);
        break;
    case 'd':
        move_to(screen, param(command, 0, 1) - 1, screen.col);
        break;
    case 'J':
        erase_display(screen, mode_param(command));
        break;
    case 'K':
        erase_line(screen, mode_param(command));
        break;
    case 'm':
        break; // colours and attributes are not kept
    default:
        screen.unknown.push_back("ESC[" + sequence);
    }
}

void control(Screen& screen, char c) {
    switch (c) {
    case '\r':
        screen.col = 0;
        screen.wrap_pending = false;
        break;
    case '\n':
    case '\v':
    case '\f':
        line_feed(screen);
        break;
    case '\b':
        move_to(screen, screen.row, screen.col - 1);
        break;
    case '\t':
        move_to(screen, screen.row, (screen.col / 8 + 1) * 8);
        break;
    case '\x1b':
        screen.state = ParseState::escape;
        screen.sequence.clear();
        break;
    default:
        break; // the bell and other controls show nothing
    }
}

void escape(Screen& screen, char c) {
    screen.state = ParseState::text;
    switch (c) {
    case '[':
        screen.state = ParseState::csi;
        break;
    case ']':
        screen.state = ParseState::osc;
        break;
    case '(':
    case ')':
    case '*':
    case '+':
        screen.state = ParseState::charset;
        break;
    case '7':
        screen.saved_row = screen.row;
        screen.saved_col = screen.col;
        break;
    case '8':
        move_to(screen, screen.saved_row, screen.saved_col);
        break;
    case 'c':
        erase_whole_screen(screen);
        move_to(screen, 0, 0);
        break;
    case 'D':
        line_feed(screen);
        break;
    case 'E':
        screen.col = 0;
        line_feed(screen);
        break;
    case 'M':
        move_to(screen, screen.row - 1, screen.col);
        break;
    case '=':
    case '>':
        break; // keypad modes
    default:
        screen.unknown.push_back(std::string("ESC") + c);
    }
}

void feed_byte(Screen& screen, char c) {
    const auto byte = static_cast<unsigned char>(c);
    switch (screen.state) {
    case ParseState::text:
        if (byte >= 0x20 && byte != 0x7f) {
            put_printable(screen, c);
        } else {
            control(screen, c);
        }
        break;
    case ParseState::escape:
        escape(screen, c);
        break;
    case ParseState::csi:
        screen.sequence.push_back(c);
        if (byte >= 0x40 && byte <= 0x7e) {
            screen.state = ParseState::text;
            run_csi(screen, screen.sequence);
        }
        break;
    case ParseState::osc: // operating system commands end with BEL or ESC backslash
        if (c == '\a') {
            screen.state = ParseState::text;
        } else if (c == '\x1b') {
            screen.state = ParseState::osc_escape;
        }
        break;
    case ParseState::osc_escape:
        screen.state = c == '\\' ? ParseState::text : ParseState::osc;
        break;
    case ParseState::charset:
        screen.state = ParseState::text;
        break;
    }
}

} // namespace

Screen make_screen(int width, int height) {
    Screen screen;
    reset(screen, width, height);
    return screen;
}

void reset(Screen& screen, int width, int height) {
    screen.width = width;
    screen.height = height;
    screen.cells.assign(static_cast<std::size_t>(height), blank_row(screen));
    screen.alternate = false;
    screen.main_cells.clear();
    move_to(screen, 0, 0);
}

void feed(Screen& screen, std::string_view bytes) {
    for (const char c : bytes) {
        feed_byte(screen, c);
    }
}

std::string row(const Screen& screen, int number) {
    std::string text = screen.cells.at(static_cast<std::size_t>(number - 1));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> rows(const Screen& screen) {
    std::vector<std::string> all;
    for (int number = 1; number <= screen.height; ++number) {
        all.push_back(row(screen, number));
    }
    return all;
}

std::string dump(const std::vector<std::string>& rows) {
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        text += std::string(3 - std::min<std::size_t>(number.size(), 3), ' ') + number + "|" +
                rows[i] + "\n";
    }
    return text;
}

std::string dump(const Screen& screen) {
    std::string text = dump(rows(screen));
    text += "cursor at row " + std::to_string(screen.row + 1) + ", column " +
            std::to_string(screen.col + 1) + "\n";
    for (const std::string& sequence : screen.unknown) {
        text += "unknown sequence: " + sequence + "\n";
    }
    return text;
}

} // namespace pty_screen
