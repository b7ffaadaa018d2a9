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

bool SameFilter(const search::SearchFilter& a, const search::SearchFilter& b) {
    return a.MinSize == b.MinSize && a.MaxSize == b.MaxSize && a.Excluded == b.Excluded &&
           a.EmptyFiles == b.EmptyFiles && a.HiddenFiles == b.HiddenFiles;
}

bool SameOptions(const FindArguments& a, const FindArguments& b) {
    return a.Mode == b.Mode && a.Comparison == b.Comparison && a.Format == b.Format &&
           a.Quiet == b.Quiet && a.Summary == b.Summary && SameFilter(a.Filter, b.Filter);
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
            Require(parsed.Filter.MinSize >= 0 &&
                        (parsed.Filter.MaxSize == search::SearchFilter::kNoLimit ||
                         parsed.Filter.MinSize <= parsed.Filter.MaxSize),
                    "a search's size limits leave room for some size");
            Require(std::none_of(parsed.Filter.Excluded.begin(), parsed.Filter.Excluded.end(),
                                 [](const std::string& pattern) { return pattern.empty(); }),
                    "a search leaves out no empty pattern");
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
        // Unless the options have ended already ("--" is then a folder, or the value of an
        // option such as --exclude), they end here.
        std::vector<std::string> ended = arguments;
        ended.push_back("--");
        const FindArguments endedParsed = cli::ParseFindArguments(ended);
        const bool optionsEnded = endedParsed.Request == FindRequest::Search &&
                                  endedParsed.Folders.size() > parsed.Folders.size();
        if (!optionsEnded) {
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
