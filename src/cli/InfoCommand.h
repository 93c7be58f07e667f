#pragma once
// `corvala info [--json] [--password-stdin] FILE...`: for each PDF, its page
// count, encryption, whether it may be printed, and its size, as the desktop
// list shows it:
//
//   report.pdf
//     pages: 4 | unknown (locked)
//     encryption: none | needs a password to open | permissions only (opens without a password)
//     printing: allowed | not allowed | unknown (locked)
//     size: 1.5 MB
//
// A locked file's pages and printing are known only with its password
// (--password-stdin: the first line of standard input, tried on every
// locked file). With --json one object per file and line:
//
//   {"file":F,"pages":N|null,"encryption":"none"|"password"|"permissions",
//    "printing":true|false|null,"size":"1.5 MB","bytes":B}
//   {"file":F,"error":R}
//
// Exit status: 0 every file read, 1 a file is missing or not a PDF, 2 usage error.

#include <iosfwd>
#include <string>
#include <vector>

int corvalaInfo(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err);
/// The text of `corvala info --help`.
const char* corvalaInfoUsage();
