#pragma once
// Asks for a password on the terminal with echo off. The terminal's settings
// are kept so a signal that ends the program mid-prompt can put them back.

#include <optional>
#include <string>

class PasswordPrompt {
public:
    /// True when standard input and standard error are both a terminal.
    static bool available();
    /// Writes `prompt` to standard error and reads one line with echo off;
    /// none at end of input.
    static std::optional<std::string> ask(const std::string& prompt);
    /// Puts the terminal's echo back if a prompt turned it off (async-signal-safe).
    static void restoreTerminal();
};
