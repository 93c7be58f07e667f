#pragma once
// Raised when one page asks for more work than any sound page needs (content
// operators, decoded bytes, form invocations or nesting, text runs): the
// limits keep hostile and broken files bounded in time and memory. The page
// fails with the message; the conversion goes on with the next page.

#include <stdexcept>
#include <string>

namespace platform {

class PdfBudgetExceeded : public std::runtime_error {
public:
    explicit PdfBudgetExceeded(const std::string& message) : std::runtime_error(message) {}
};

} // namespace platform
