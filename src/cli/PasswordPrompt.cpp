#include "cli/PasswordPrompt.h"

#include "platform/Files.h"

#include <atomic>
#include <cstdio>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {
// The terminal settings before the prompt, for restoreTerminal() from the
// signal thread; process-wide because the terminal is.
struct termios savedTerminal;
std::atomic<bool> echoOff{false};

void writeAll(int fd, const std::string& s) {
    // A prompt that cannot be shown does not stop the question.
    platform::writeAll(fd, s.data(), s.size());
}
} // namespace

bool PasswordPrompt::available() { return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO); }

void PasswordPrompt::restoreTerminal() {
    if (echoOff.exchange(false))
        ::tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
}

std::optional<std::string> PasswordPrompt::ask(const std::string& prompt) {
    // Echo goes off before the prompt shows: a password typed the moment the
    // prompt appears must not come back on the screen.
    if (::tcgetattr(STDIN_FILENO, &savedTerminal) == 0) {
        struct termios quiet = savedTerminal;
        quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL));
        quiet.c_lflag |= ICANON;
        if (::tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0)
            echoOff = true;
    }
    writeAll(STDERR_FILENO, prompt);
    std::string line;
    bool gotAny = false;
    char c;
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0)
            break;
        gotAny = true;
        if (c == '\n')
            break;
        line += c;
    }
    restoreTerminal();
    writeAll(STDERR_FILENO, "\n");
    if (!gotAny)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
