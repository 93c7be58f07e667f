#pragma once
// Raised by the XML writers on misuse (an attribute with no open start tag,
// an unbound namespace, more end tags than start tags ...) and when the file
// underneath cannot be written. The part is left incomplete.

#include <stdexcept>
#include <string>

class XMLWriterException : public std::runtime_error {
public:
    explicit XMLWriterException(const std::string& reason) : std::runtime_error(reason) {}

    static const char* name() { return "XMLWriterException"; }
    std::string reason() const { return what(); }
};
