#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/group_output.h"
#include "search/compare_mode.h"
#include "search/search.h"

namespace cli {

// What dopplet-find was asked to do.
enum class FindRequest {
    Search,   // search the folders with the options
    Help,     // show the usage text
    Version,  // show the version
    Usage,    // the arguments make no sense: name the problem and how to see the usage text
};

// dopplet-find's command line, read.
struct FindArguments {
    FindRequest Request = FindRequest::Search;
    std::string Problem;  // for Usage: what is wrong, as the message names it
    int Mode = search::kCompareContent;
    search::ContentComparison Comparison = search::ContentComparison::Classes;
    OutputFormat Format = OutputFormat::Lines;
    bool Quiet = false;
    bool Summary = false;              // a closing line with the counts on standard error
    search::SearchFilter Filter;       // --min-size, --max-size, --exclude, --no-empty, --no-hidden
    std::vector<std::string> Folders;  // as given, in their order
};

// Reads dopplet-find's arguments (without the program's name) from left to right: the first
// --help, --version or problem decides; after "--" every argument is a folder. Short options may
// be combined ("-q0"); a long option's value follows it as the next argument or after "=".
FindArguments ParseFindArguments(const std::vector<std::string>& arguments);

// Reads a size: whole bytes, or with the suffix K, M or G (either case) kibibytes, mebibytes or
// gibibytes. False for anything else, and for a size beyond 64 bits.
bool ParseSize(std::string_view text, std::int64_t& size);

}  // namespace cli
