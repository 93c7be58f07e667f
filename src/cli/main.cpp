// The corvala command: converts PDFs from the command line.
#include "cli/ConvertArguments.h"
#include "cli/ConvertCommand.h"
#include "cli/InfoCommand.h"
#include "cli/TraceCommand.h"
#include "pdf/cmap/QVPDFMapTool.h"
#include "platform/AppInfo.h"
#include "platform/Files.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args.front();
    std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (command == "convert" || command == "trace") {
        if (auto problem = platform::temporaryFolderProblem())
            std::cerr << "corvala: warning: " << *problem << "\n";
        QVPDFMapTool::reportMissingData();
    }
    if (command == "convert")
        return corvalaConvert(rest);
    if (command == "formats")
        return corvalaFormats();
    if (command == "trace")
        return corvalaTrace(rest);
    if (command == "info")
        return corvalaInfo(rest, std::cin, std::cout, std::cerr);
    if (command == "--version" || command == "-V") {
        std::cout << "corvala " << platform::applicationVersion() << "\n";
        return 0;
    }
    const bool help = command == "-h" || command == "--help";
    if (!help && !command.empty())
        std::cerr << "corvala: unknown command \"" << command << "\"\n";
    (help ? std::cout : std::cerr) << ConvertArguments::usage();
    return help ? 0 : 2;
}
