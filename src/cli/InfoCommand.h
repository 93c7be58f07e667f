#pragma once
// `corvala info FILE...`: for each PDF, its page count, encryption, whether
// it may be printed, and its size, as the desktop list shows it:
//
//   report.pdf
//     pages: 4
//     encryption: none | needs a password to open | permissions only (opens without a password)
//     printing: allowed | not allowed
//     size: 1.5 MB
//
// Exit status: 0 every file read, 1 a file is missing or not a PDF, 2 usage error.

#include <ostream>
#include <string>
#include <vector>

int corvalaInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
