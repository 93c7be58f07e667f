#pragma once
// The words of `corvala convert`, read into what the run needs. Long options
// take their value as "--format=csv" or "--format csv"; short ones as
// "-f csv" or "-fcsv".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ConvertArguments {
public:
    enum class OneSheet { Off, Rows, SideBySide };

    std::vector<std::string> files;
    std::string format = "xlsx"; ///< a format key
    std::optional<std::string> pages;
    std::optional<std::string> outputFolder;
    bool passwordFromStdin = false;
    bool json = false;
    bool help = false;
    std::optional<uint64_t> dataStructure;     ///< excelFormatOption
    std::optional<uint64_t> thousandSeparator; ///< thousandSepartor
    OneSheet oneSheet = OneSheet::Off;

    /// False with `problem` set for a usage error.
    static bool parse(const std::vector<std::string>& args, ConvertArguments& out,
                      std::string& problem);
    /// The format key for a key (any case) or a display title; none when unknown.
    static std::optional<std::string> formatKeyFor(const std::string& keyOrTitle);
    /// The --help text: every option with a line of explanation.
    static const char* usage();
};
