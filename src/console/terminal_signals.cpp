// Signals: the handlers only note what came, and the console acts on it between writes and in
// its wait for a key, all on the one thread.
//   Ctrl+\ (SIGQUIT), SIGTERM, SIGHUP: the terminal is restored and the program ends at once,
//     with the status a shell gives for the signal (131, 143, 129).
//   Ctrl+Z (SIGTSTP): the terminal gets its start settings back and the program stops; when
//     continued (SIGCONT) it is in single-key mode again and the screen is painted again.
//   SIGWINCH: the new width is read and the screen painted again, wrapped for it.
#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>

#include <poll.h>
#include <unistd.h>

#include "console/terminal_parts.hpp"

namespace console::terminal {

namespace {

constexpr int STATUS_FOR_SIGNAL = 128;
constexpr std::array<int, 6> NOTED_SIGNALS = {SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT, SIGWINCH};

volatile std::sig_atomic_t ending_signal = 0;  // NOLINT: written by handlers
volatile std::sig_atomic_t suspend_noted = 0;  // NOLINT
volatile std::sig_atomic_t continue_noted = 0; // NOLINT
volatile std::sig_atomic_t resize_noted = 0;   // NOLINT

extern "C" void note_signal(int signal_number) {
    if (signal_number == SIGTSTP) {
        suspend_noted = 1;
    } else if (signal_number == SIGCONT) {
        continue_noted = 1;
    } else if (signal_number == SIGWINCH) {
        resize_noted = 1;
    } else {
        ending_signal = signal_number;
    }
}

bool anything_noted() {
    return ending_signal != 0 || suspend_noted != 0 || continue_noted != 0 || resize_noted != 0;
}

void set_handler(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked read or write comes back to look at the note
    sigaction(signal_number, &action, nullptr);
}

sigset_t noted_set() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal_number : NOTED_SIGNALS) {
        sigaddset(&set, signal_number);
    }
    return set;
}

void suspend() {
    suspend_noted = 0;
    take_in_typed_bytes();
    leave_single_key_mode();
    set_handler(SIGTSTP, SIG_DFL);
    raise(SIGTSTP); // stops here until continued
    set_handler(SIGTSTP, note_signal);
    continue_noted = 1;
}

void resume() {
    continue_noted = 0;
    resize_noted = 0; // the size is read here anyway
    set_window_size(read_window_size());
    enter_single_key_mode();
    repaint();
}

void resize() {
    resize_noted = 0;
    set_window_size(read_window_size());
    repaint();
}

int milliseconds_until(const timespec& deadline) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long left =
        (deadline.tv_sec - now.tv_sec) * 1000LL + (deadline.tv_nsec - now.tv_nsec) / 1'000'000LL;
    return left < 0 ? 0 : static_cast<int>(left);
}

timespec deadline_after(int milliseconds) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1'000'000L;
    if (deadline.tv_nsec >= 1'000'000'000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1'000'000'000L;
    }
    return deadline;
}

} // namespace

void install_signal_handlers() {
    signal(SIGPIPE, SIG_IGN); // a closed pipe is a failed write, reported as such
    for (const int signal_number : NOTED_SIGNALS) {
        set_handler(signal_number, note_signal);
    }
}

void remove_signal_handlers() {
    for (const int signal_number : NOTED_SIGNALS) {
        set_handler(signal_number, SIG_DFL);
    }
}

void exit_if_ending() {
    const int signal_number = ending_signal;
    if (signal_number != 0) {
        leave_single_key_mode();
        _exit(STATUS_FOR_SIGNAL + signal_number);
    }
}

void act_on_signals() {
    while (anything_noted()) {
        exit_if_ending();
        if (suspend_noted != 0) {
            suspend();
        } else if (continue_noted != 0) {
            resume();
        } else if (resize_noted != 0) {
            resize();
        }
    }
}

bool wait_for_input(int timeout_ms) {
    const timespec deadline = deadline_after(timeout_ms < 0 ? 0 : timeout_ms);
    const sigset_t noted = noted_set();
    for (;;) {
        act_on_signals();
        // Noted signals are held back until ppoll lets them in, so none can slip in between the
        // look at the notes and the wait.
        sigset_t open{};
        sigprocmask(SIG_BLOCK, &noted, &open);
        if (anything_noted()) {
            sigprocmask(SIG_SETMASK, &open, nullptr);
            continue;
        }
        const int left = timeout_ms < 0 ? -1 : milliseconds_until(deadline);
        timespec wait{left / 1000, static_cast<long>(left % 1000) * 1'000'000L};
        pollfd pfd{STDIN_FILENO, POLLIN, 0};
        const int ready = ppoll(&pfd, 1, left < 0 ? nullptr : &wait, &open);
        const int error_number = errno;
        sigprocmask(SIG_SETMASK, &open, nullptr);
        if (ready > 0) {
            return true;
        }
        if (ready == 0) {
            return false;
        }
        if (error_number != EINTR) {
            fatal_system_error("cannot wait for input", error_number);
        }
    }
}

} // namespace console::terminal
