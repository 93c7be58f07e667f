// The corvala command: converts PDFs from the command line.
#include "cli/ConvertCommand.h"
#include "cli/TraceCommand.h"
#include "pdf/QVPDFMapTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args.front();
    std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (command == "convert" || command == "trace")
        QVPDFMapTool::reportMissingData();
    if (command == "convert")
        return corvalaConvert(rest);
    if (command == "formats")
        return corvalaFormats();
    if (command == "trace")
        return corvalaTrace(rest);
    const bool help = command == "-h" || command == "--help";
    (help ? std::cout : std::cerr)
        << "usage: corvala convert FILE... [-f FORMAT] [-p RANGE] [-o OUTDIR] "
           "[--password-stdin]\n"
           "       corvala formats\n"
           "       corvala trace FILE.pdf [-p PAGES]\n";
    return help ? 0 : 2;
}
