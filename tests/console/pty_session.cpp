#include "pty_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace pty_session {

namespace {

// What the stand-in shell tells the test, one record per event.
enum class Report : int32_t { started = 1, stopped, continued, exited, killed };
struct Record {
    Report kind;
    int32_t value;
};

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void set_close_on_exec(int fd) {
    if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        fail("fcntl");
    }
}

std::array<int, 2> make_pipe() {
    std::array<int, 2> ends{};
    if (pipe(ends.data()) != 0) {
        fail("pipe");
    }
    set_close_on_exec(ends[0]);
    set_close_on_exec(ends[1]);
    return ends;
}

void close_fd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

void write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail("write to the program");
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// In the stand-in shell and the program, between fork and exec: system calls only.
void report(int fd, Report kind, int32_t value) {
    const Record record{kind, value};
    if (write(fd, &record, sizeof record) != static_cast<ssize_t>(sizeof record)) {
        _exit(2);
    }
}

struct ChildFds {
    int slave;
    int input;  // standard input of the program
    int output; // standard output of the program
    int error;  // standard error of the program
    int status; // the shell's report pipe
};

[[noreturn]] void exec_program(const ChildFds& fds, const char* program) {
    // The foreground job of the terminal, in a process group of its own. SIGTTOU is ignored
    // for the hand-over, since the new group is still in the background when it asks.
    setpgid(0, 0);
    signal(SIGTTOU, SIG_IGN);
    tcsetpgrp(fds.slave, getpid());
    // The program starts as a shell would start it: default signal actions, nothing blocked.
    for (int sig = 1; sig < NSIG; ++sig) {
        signal(sig, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // No core files from the signals that end it.
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    if (dup2(fds.input, 0) < 0 || dup2(fds.output, 1) < 0 || dup2(fds.error, 2) < 0) {
        _exit(126);
    }
    execl(program, program, static_cast<char*>(nullptr));
    constexpr std::string_view message = "the test could not start the program\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message.data(), message.size());
    _exit(127);
}

[[noreturn]] void run_shell(const ChildFds& fds, const char* program) {
    // A session of its own with the terminal as its controlling terminal, as a shell in a
    // terminal window has. It outlives a hang-up of the terminal, so that the test learns how
    // the program ended.
    if (setsid() < 0 || ioctl(fds.slave, TIOCSCTTY, 0) != 0) {
        _exit(3);
    }
    signal(SIGHUP, SIG_IGN);
    signal(SIGCHLD, SIG_DFL);
    const pid_t child = fork();
    if (child < 0) {
        _exit(4);
    }
    if (child == 0) {
        close(fds.status);
        exec_program(fds, program);
    }
    setpgid(child, child);
    // Only the program holds its standard error, so that its end shows when the program ends.
    close(fds.error);
    report(fds.status, Report::started, child);
    while (true) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WUNTRACED | WCONTINUED);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0) {
            _exit(5);
        }
        if (WIFSTOPPED(status)) {
            report(fds.status, Report::stopped, WSTOPSIG(status));
        } else if (WIFCONTINUED(status)) {
            report(fds.status, Report::continued, 0);
        } else if (WIFEXITED(status)) {
            report(fds.status, Report::exited, WEXITSTATUS(status));
            _exit(0);
        } else if (WIFSIGNALED(status)) {
            report(fds.status, Report::killed, WTERMSIG(status));
            _exit(0);
        }
    }
}

void take_record(Session& session, const Record& record) {
    switch (record.kind) {
    case Report::started:
        session.program = record.value;
        break;
    case Report::stopped:
        session.state = ChildState::stopped;
        session.stop_signal = record.value;
        break;
    case Report::continued:
        session.state = ChildState::running;
        break;
    case Report::exited:
        session.state = ChildState::exited;
        session.exit_code = record.value;
        break;
    case Report::killed:
        session.state = ChildState::killed;
        session.kill_signal = record.value;
        break;
    }
}

// Reads what `fd` has; false at its end (or when it cannot be read any more).
bool read_some(int fd, std::string& into) {
    std::array<char, 4096> buffer{};
    while (true) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        into.append(buffer.data(), static_cast<std::size_t>(got));
        return true;
    }
}

void read_status(Session& session) {
    std::string bytes;
    if (!read_some(session.status_pipe, bytes)) {
        close_fd(session.status_pipe);
        return;
    }
    // Records are written whole and are smaller than the pipe's atomic size.
    for (std::size_t at = 0; at + sizeof(Record) <= bytes.size(); at += sizeof(Record)) {
        Record record{};
        std::memcpy(&record, bytes.data() + at, sizeof record);
        take_record(session, record);
    }
}

bool ended(const Session& session) {
    return session.state == ChildState::exited || session.state == ChildState::killed;
}

} // namespace

termios cooked_settings() {
    termios settings{};
    settings.c_iflag = BRKINT | ICRNL | IXON;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_cflag = CS8 | CREAD | HUPCL;
    settings.c_lflag = ISIG | ICANON | IEXTEN | ECHO | ECHOE | ECHOK;
#ifdef IMAXBEL
    settings.c_iflag |= IMAXBEL;
#endif
#ifdef IUTF8
    settings.c_iflag |= IUTF8;
#endif
#ifdef ECHOCTL
    settings.c_lflag |= ECHOCTL;
#endif
#ifdef ECHOKE
    settings.c_lflag |= ECHOKE;
#endif
    settings.c_cc[VINTR] = 0x03;
    settings.c_cc[VQUIT] = 0x1c;
    // Ctrl+H rather than the more usual DEL: settings put back from a fixed table instead of
    // the saved ones show up.
    settings.c_cc[VERASE] = 0x08;
    settings.c_cc[VKILL] = 0x15;
    settings.c_cc[VEOF] = 0x04;
    settings.c_cc[VSTART] = 0x11;
    settings.c_cc[VSTOP] = 0x13;
    settings.c_cc[VSUSP] = 0x1a;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    return settings;
}

bool same_settings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc) &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

std::string describe(const termios& settings) {
    std::array<char, 128> flags{};
    std::snprintf(
        flags.data(), flags.size(), "iflag %#lx oflag %#lx cflag %#lx lflag %#lx cc",
        static_cast<unsigned long>(settings.c_iflag), static_cast<unsigned long>(settings.c_oflag),
        static_cast<unsigned long>(settings.c_cflag), static_cast<unsigned long>(settings.c_lflag));
    std::string text = flags.data();
    for (const cc_t c : settings.c_cc) {
        text += " " + std::to_string(static_cast<int>(c));
    }
    return text;
}

namespace {

void open_terminal(Session& session, const Options& options) {
    session.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (session.master < 0 || grantpt(session.master) != 0 || unlockpt(session.master) != 0) {
        fail("posix_openpt");
    }
    set_close_on_exec(session.master);
    const char* slave_name = ptsname(session.master);
    if (slave_name == nullptr) {
        fail("ptsname");
    }
    session.slave = open(slave_name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (session.slave < 0) {
        fail("open the terminal's slave side");
    }
    const termios cooked = cooked_settings();
    winsize size{};
    size.ws_col = static_cast<unsigned short>(options.width);
    size.ws_row = static_cast<unsigned short>(options.height);
    if (tcsetattr(session.slave, TCSANOW, &cooked) != 0 ||
        ioctl(session.master, TIOCSWINSZ, &size) != 0 ||
        tcgetattr(session.slave, &session.start_settings) != 0) {
        fail("set up the terminal");
    }
    session.screen = pty_screen::make_screen(options.width, options.height);
}

// The program's standard output when it is not the terminal.
int open_output(Output output) {
    if (output == Output::dev_full) {
        const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (full < 0) {
            fail("open /dev/full");
        }
        return full;
    }
    std::array<int, 2> ends = make_pipe();
    close(ends[0]); // nobody will ever read it
    return ends[1];
}

} // namespace

void start(Session& session, const Options& options) {
    // A write to a program that has gone fails the test instead of ending the test process.
    signal(SIGPIPE, SIG_IGN);
    open_terminal(session, options);
    const std::array<int, 2> status = make_pipe();
    const std::array<int, 2> error = make_pipe();
    const std::array<int, 2> input =
        options.input == Input::pipe ? make_pipe() : std::array<int, 2>{session.slave, -1};
    const int output =
        options.output == Output::terminal ? session.slave : open_output(options.output);
    const ChildFds fds{session.slave, input[0], output, error[1], status[1]};
    session.status_pipe = status[0];
    session.error_pipe = error[0];
    session.input_pipe = input[1];

    session.shell = fork();
    if (session.shell < 0) {
        fail("fork");
    }
    if (session.shell == 0) {
        close(session.master);
        close(session.status_pipe);
        close(session.error_pipe);
        if (session.input_pipe >= 0) {
            close(session.input_pipe);
        }
        run_shell(fds, options.program.c_str());
    }
    // Only the shell and the program keep the program's ends.
    for (const int fd : {status[1], error[1], input[0], output}) {
        if (fd != session.slave) {
            close(fd);
        }
    }
    if (!wait_until(session, [](const Session& s) { return s.program > 0 || ended(s); }) ||
        session.program <= 0) {
        throw std::runtime_error("the stand-in shell did not start the program");
    }
}

void finish(Session& session) {
    if (session.program > 0 && !ended(session) && session.status_pipe >= 0) {
        kill(session.program, SIGKILL);
    }
    close_fd(session.master);
    close_fd(session.input_pipe);
    if (session.shell > 0) {
        wait_until(session, [](const Session& s) { return s.status_pipe < 0; });
        if (session.status_pipe >= 0) {
            kill(session.shell, SIGKILL);
        }
        waitpid(session.shell, nullptr, 0);
        session.shell = -1;
    }
    close_fd(session.status_pipe);
    close_fd(session.error_pipe);
    close_fd(session.slave);
}

void send(Session& session, std::string_view bytes) {
    write_all(session.input_pipe >= 0 ? session.input_pipe : session.master, bytes);
}

void close_input_pipe(Session& session) {
    close_fd(session.input_pipe);
}

void close_master(Session& session) {
    close_fd(session.master);
}

void send_signal(const Session& session, int signal) {
    if (session.program <= 0 || ended(session) || kill(session.program, signal) != 0) {
        throw std::runtime_error("could not signal the program");
    }
}

void resize(Session& session, int width, int height) {
    pty_screen::reset(session.screen, width, height);
    winsize size{};
    size.ws_col = static_cast<unsigned short>(width);
    size.ws_row = static_cast<unsigned short>(height);
    if (ioctl(session.master, TIOCSWINSZ, &size) != 0) {
        fail("TIOCSWINSZ");
    }
}

bool pump(Session& session, Clock::time_point deadline) {
    std::array<pollfd, 3> fds{};
    nfds_t count = 0;
    const auto watch = [&](int fd) {
        if (fd >= 0) {
            fds[count++] = pollfd{fd, POLLIN, 0};
        }
    };
    watch(session.master);
    watch(session.error_closed ? -1 : session.error_pipe);
    watch(session.status_pipe);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int timeout = static_cast<int>(std::clamp<long long>(left, 0, 1000));
    const int ready = poll(fds.data(), count, timeout);
    if (ready <= 0) {
        return false;
    }
    for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].revents == 0) {
            continue;
        }
        if (fds[i].fd == session.master) {
            std::string bytes;
            if (read_some(session.master, bytes)) {
                session.output += bytes;
                pty_screen::feed(session.screen, bytes);
            } else {
                close_fd(session.master); // the terminal is gone
            }
        } else if (fds[i].fd == session.error_pipe) {
            session.error_closed = !read_some(session.error_pipe, session.error_output);
        } else {
            read_status(session);
        }
    }
    return true;
}

bool program_ended(const Session& session) {
    return ended(session);
}

bool wait_for_exit(Session& session, std::chrono::milliseconds timeout) {
    // The end of both pipes means that the shell has reported and gone, and that the program
    // has nothing more to say on standard error.
    const bool done = wait_until(
        session, [](const Session& s) { return ended(s) && s.status_pipe < 0 && s.error_closed; },
        timeout);
    if (done && session.shell > 0) {
        waitpid(session.shell, nullptr, 0);
        session.shell = -1;
    }
    return done;
}

bool wait_for_stop(Session& session, std::chrono::milliseconds timeout) {
    return wait_until(
               session, [](const Session& s) { return s.state == ChildState::stopped || ended(s); },
               timeout) &&
           session.state == ChildState::stopped;
}

bool sync_output(Session& session, std::chrono::milliseconds timeout) {
    // An operating system command that the virtual screen ignores; it reaches the master
    // after everything written to the terminal before it.
    const std::string marker =
        "\x1b]gridtake-test-sync-" + std::to_string(++session.sync_count) + "\a";
    write_all(session.slave, marker);
    const bool arrived = wait_until(
        session, [&marker](const Session& s) { return s.output.find(marker) != std::string::npos; },
        timeout);
    return arrived;
}

termios current_settings(const Session& session) {
    termios settings{};
    if (tcgetattr(session.slave, &settings) != 0) {
        fail("tcgetattr");
    }
    return settings;
}

bool wait_for_settings(Session& session, const termios& expected,
                       std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds LOOK_AGAIN{10};
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!same_settings(current_settings(session), expected)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        pump(session, std::min(deadline, Clock::now() + LOOK_AGAIN));
    }
    return true;
}

int shell_status(const Session& session) {
    if (session.state == ChildState::exited) {
        return session.exit_code;
    }
    if (session.state == ChildState::killed) {
        return 128 + session.kill_signal;
    }
    return -1;
}

std::string describe_state(const Session& session) {
    std::string text;
    switch (session.state) {
    case ChildState::running:
        text = "the program is running";
        break;
    case ChildState::stopped:
        text = "the program is stopped by signal " + std::to_string(session.stop_signal);
        break;
    case ChildState::exited:
        text = "the program exited with status " + std::to_string(session.exit_code);
        break;
    case ChildState::killed:
        text = "the program was killed by signal " + std::to_string(session.kill_signal);
        break;
    }
    text += "; standard error: \"" + session.error_output + "\"\n";
    return text + pty_screen::dump(session.screen);
}

} // namespace pty_session
