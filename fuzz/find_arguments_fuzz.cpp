// dopplet-find's command line. The input: the arguments, separated by NUL bytes as they are in
// the process's memory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "fuzz_support.h"

namespace {

using cli::FindArguments;
using cli::FindRequest;
using fuzz::Require;

bool SameOptions(const FindArguments& a, const FindArguments& b) {
    return a.Mode == b.Mode && a.Comparison == b.Comparison && a.Format == b.Format &&
           a.Quiet == b.Quiet && a.Summary == b.Summary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    for (const std::string_view argument : fuzz::Split(fuzz::Text(data, size), '\0')) {
        arguments.emplace_back(argument);
    }
    const FindArguments parsed = cli::ParseFindArguments(arguments);
    switch (parsed.Request) {
        case FindRequest::Search:
            Require(!parsed.Folders.empty() && parsed.Folders.size() <= arguments.size(),
                    "a search has folders from the arguments");
            break;
        case FindRequest::Usage:
            Require(!parsed.Problem.empty() && parsed.Folders.empty(),
                    "a usage problem is named and searches nothing");
            break;
        case FindRequest::Help:
        case FindRequest::Version:
            break;
    }

    // An argument after the end of the options is one more folder, whatever it looks like, and
    // changes no option of a search.
    if (parsed.Request == FindRequest::Search || parsed.Problem == "no folder given") {
        const std::string folder = arguments.empty() ? std::string("-x") : arguments.front();
        std::vector<std::string> more = arguments;
        // In a search, an argument "--" can only be the one that ended the options.
        if (std::find(more.begin(), more.end(), "--") == more.end()) {
            more.push_back("--");
        }
        more.push_back(folder);
        const FindArguments extended = cli::ParseFindArguments(more);
        std::vector<std::string> folders = parsed.Folders;
        folders.push_back(folder);
        Require(extended.Request == FindRequest::Search && extended.Folders == folders &&
                    (parsed.Request != FindRequest::Search || SameOptions(extended, parsed)),
                "a folder after \"--\" is taken as a folder");
    }
    return 0;
}
