#pragma once
// JSON string literals for the command's output.
#include <string>

class JsonText {
public:
    JsonText() = delete;
    /// The bytes as a quoted JSON string; bytes that are not UTF-8 become U+FFFD.
    static std::string quote(const std::string& bytes);
};
