#include "cli/ConvertArguments.h"

#include "app/QVPageRange.h"
#include "converter/QVPDFConverter.h"

#include <cctype>

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

const char* ConvertArguments::usage() {
    return "usage: corvala convert FILE|FOLDER... [options]\n"
           "       corvala info [--json] [--password-stdin] FILE...\n"
           "       corvala formats\n"
           "       corvala trace FILE.pdf [-p PAGES]\n"
           "       corvala --version\n"
           "\n"
           "Converts each PDF (a folder: the files directly inside it) one after another.\n"
           "Outputs go next to each PDF under a free name (report.xlsx, report 2.xlsx, ...);\n"
           "an existing file is never replaced.\n"
           "\n"
           "options:\n"
           "  -f, --format=FORMAT       output format: xlsx (default), csv, or another key or\n"
           "                            title listed by `corvala formats`\n"
           "  -p, --pages=RANGE         pages to convert, e.g. 1-3,5 or 7- (7 to the last page)\n"
           "                            or -3 (1 to 3); pages the document lacks (page 0, pages\n"
           "                            past the end) are skipped and named; a range with no\n"
           "                            page of a document fails that file\n"
           "  -o, --output=DIR          write every output into DIR\n"
           "      --password-stdin      read the password of locked or print-restricted PDFs\n"
           "                            from the first line of standard input (without it, a\n"
           "                            terminal is asked, up to three tries)\n"
           "      --data-structure=KIND spreadsheet cells: formatted (page font sizes, wrapped\n"
           "                            text, merged cells, numbers recognised; default),\n"
           "                            numbers (default font size, numbers recognised) or\n"
           "                            text (default font and size, numbers kept as text)\n"
           "      --thousands-separator=comma|point\n"
           "                            how numbers group thousands: 1,234.5 (comma, default)\n"
           "                            or 1.234,5 (point)\n"
           "      --one-sheet=rows|side-by-side\n"
           "                            all pages in one worksheet: each page below the\n"
           "                            previous one (rows) or to its right (side-by-side)\n"
           "      --json                one JSON object per line for every report\n"
           "  -h, --help                this text\n"
           "\n"
           "exit status: 0 all converted; 1 a file failed or was canceled (a range with no\n"
           "page of the document included); 2 usage error (an empty or malformed -p\n"
           "included); 3 an output folder cannot take the output (from -o or the PDF's own\n"
           "folder); 130 interrupted (Ctrl-C or a termination signal).\n";
}

std::optional<std::string> ConvertArguments::formatKeyFor(const std::string& keyOrTitle) {
    const std::string wanted = lower(keyOrTitle);
    for (const auto& [key, title] : QVPDFConverter::supportDocTypes())
        if (wanted == key || wanted == lower(title))
            return key;
    return std::nullopt;
}

bool ConvertArguments::parse(const std::vector<std::string>& args, ConvertArguments& o,
                             std::string& problem) {
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            o.files.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyFiles = true;
            continue;
        }
        // Split "--name=value" and "-xVALUE".
        std::string name = a;
        std::optional<std::string> attached;
        if (a.rfind("--", 0) == 0) {
            if (size_t eq = a.find('='); eq != std::string::npos) {
                name = a.substr(0, eq);
                attached = a.substr(eq + 1);
            }
        } else if (a.size() > 2) {
            name = a.substr(0, 2);
            attached = a.substr(2);
        }
        auto value = [&](std::string& out) {
            if (attached) {
                out = *attached;
                return true;
            }
            if (i + 1 >= args.size()) {
                problem = "option " + name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto flag = [&] {
            if (attached) {
                problem = "option " + name + " takes no value";
                return false;
            }
            return true;
        };
        std::string v;
        if (name == "-f" || name == "--format") {
            if (!value(v))
                return false;
            auto key = formatKeyFor(v);
            if (!key) {
                problem = "unknown format \"" + v + "\" (see: corvala formats)";
                return false;
            }
            o.format = *key;
        } else if (name == "-p" || name == "--pages") {
            if (!value(v))
                return false;
            // The desktop list reads an empty range as page 1; typed on a
            // command line it is more likely a slip (an unset variable).
            if (v.find_first_not_of(" \t,") == std::string::npos) {
                problem = "page range is empty (give pages like 1-3,5)";
                return false;
            }
            if (auto bad = QVPageRange::syntaxProblem(v)) {
                problem = "page range: " + *bad;
                return false;
            }
            o.pages = v;
        } else if (name == "-o" || name == "--output") {
            if (!value(v))
                return false;
            o.outputFolder = v;
        } else if (name == "--password-stdin") {
            if (!flag())
                return false;
            o.passwordFromStdin = true;
        } else if (name == "--json") {
            if (!flag())
                return false;
            o.json = true;
        } else if (name == "-h" || name == "--help") {
            o.help = true;
            return true;
        } else if (name == "--data-structure") {
            if (!value(v))
                return false;
            const std::string k = lower(v);
            if (k == "formatted")
                o.dataStructure = 0;
            else if (k == "numbers")
                o.dataStructure = 1;
            else if (k == "text")
                o.dataStructure = 2;
            else {
                problem = "--data-structure takes formatted, numbers or text, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--thousands-separator") {
            if (!value(v))
                return false;
            const std::string k = lower(v);
            if (k == "comma" || k == ",")
                o.thousandSeparator = 0;
            else if (k == "point" || k == "." || k == "period")
                o.thousandSeparator = 1;
            else {
                problem = "--thousands-separator takes comma or point, not \"" + v + "\"";
                return false;
            }
        } else if (name == "--one-sheet") {
            if (!value(v))
                return false;
            const std::string k = lower(v);
            if (k == "rows")
                o.oneSheet = OneSheet::Rows;
            else if (k == "side-by-side" || k == "columns")
                o.oneSheet = OneSheet::SideBySide;
            else {
                problem = "--one-sheet takes rows or side-by-side, not \"" + v + "\"";
                return false;
            }
        } else {
            problem = "unknown option " + name;
            return false;
        }
    }
    if (o.files.empty()) {
        problem = "no input file";
        return false;
    }
    if (!QVPDFConverter::hasExporterForDocType(o.format)) {
        problem = "format \"" + o.format +
                  "\" is not available in this version (see: corvala formats)";
        return false;
    }
    return true;
}
