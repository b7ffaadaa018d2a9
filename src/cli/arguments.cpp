#include "cli/arguments.h"

#include <algorithm>
#include <limits>

namespace cli {

namespace {

FindArguments UsageProblem(std::string problem) {
    FindArguments usage;
    usage.Request = FindRequest::Usage;
    usage.Problem = std::move(problem);
    return usage;
}

FindArguments Only(FindRequest request) {
    FindArguments only;
    only.Request = request;
    return only;
}

// The search filter's options: "--exclude PATTERN" or "--exclude=PATTERN", and so on.
constexpr std::string_view kFilterValueOptions[] = {"--min-size", "--max-size", "--exclude"};

// True for an option of the search filter, given alone or with "=VALUE".
bool IsFilterOption(std::string_view arg) {
    if (arg == "--no-empty" || arg == "--no-hidden") {
        return true;
    }
    for (const std::string_view option : kFilterValueOptions) {
        if (arg == option || (arg.starts_with(option) && arg.substr(option.size(), 1) == "=")) {
            return true;
        }
    }
    return false;
}

// Reads the filter option at `arguments[i]` into `filter`, with its value when it takes one
// (moving `i` past a separate value). Returns the problem, empty when there is none.
std::string ReadFilterOption(const std::vector<std::string>& arguments, std::size_t& i,
                             search::SearchFilter& filter) {
    const std::string& arg = arguments[i];
    if (arg == "--no-empty") {
        filter.EmptyFiles = false;
        return {};
    }
    if (arg == "--no-hidden") {
        filter.HiddenFiles = false;
        return {};
    }
    const std::size_t equals = arg.find('=');
    const std::string option = arg.substr(0, equals);
    std::string value;
    if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
    } else {
        return option + " needs a value";
    }
    if (option == "--exclude") {
        if (value.empty()) {
            return "--exclude needs a pattern";
        }
        filter.Excluded.push_back(value);
        return {};
    }
    std::int64_t size = 0;
    if (!ParseSize(value, size)) {
        return "bad size for " + option + ": " + value;
    }
    (option == "--min-size" ? filter.MinSize : filter.MaxSize) = size;
    return {};
}

}  // namespace

bool ParseSize(std::string_view text, std::int64_t& size) {
    int shift = 0;
    if (!text.empty()) {
        switch (text.back()) {
            case 'K':
            case 'k':
                shift = 10;
                break;
            case 'M':
            case 'm':
                shift = 20;
                break;
            case 'G':
            case 'g':
                shift = 30;
                break;
            default:
                break;
        }
    }
    if (shift != 0) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        return false;
    }
    // Eighteen digits stay below 2^60; the suffix may still carry the size past 63 bits.
    const std::int64_t number = std::stoll(std::string(text));
    if (number > (std::numeric_limits<std::int64_t>::max() >> shift)) {
        return false;
    }
    size = number << shift;
    return true;
}

FindArguments ParseFindArguments(const std::vector<std::string>& arguments) {
    FindArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (!optionsEnded && arg == "--help") {
            return Only(FindRequest::Help);
        }
        if (!optionsEnded && arg == "--version") {
            return Only(FindRequest::Version);
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "-0" || arg == "--null")) {
            parsed.Format = OutputFormat::Null;
        } else if (!optionsEnded && (arg == "-q" || arg == "--quiet")) {
            parsed.Quiet = true;
        } else if (!optionsEnded && arg == "--json") {
            parsed.Format = OutputFormat::Json;
        } else if (!optionsEnded && arg == "--pairwise") {
            parsed.Comparison = search::ContentComparison::Pairwise;
        } else if (!optionsEnded && (arg == "--mode" || arg.starts_with("--mode="))) {
            std::string value;
            if (arg == "--mode") {
                if (i + 1 >= arguments.size()) {
                    return UsageProblem("--mode needs a value");
                }
                value = arguments[++i];
            } else {
                value = arg.substr(std::string_view("--mode=").size());
            }
            if (value == "content") {
                parsed.Mode = search::kCompareContent;
            } else if (value == "stem") {
                parsed.Mode = search::kCompareStem;
            } else if (value == "name") {
                parsed.Mode = search::kCompareName;
            } else {
                return UsageProblem("unknown mode: " + value);
            }
        } else if (!optionsEnded && IsFilterOption(arg)) {
            if (std::string problem = ReadFilterOption(arguments, i, parsed.Filter);
                !problem.empty()) {
                return UsageProblem(std::move(problem));
            }
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            return UsageProblem("unknown option: " + arg);
        } else {
            parsed.Folders.push_back(arg);
        }
    }
    if (parsed.Folders.empty()) {
        return UsageProblem("no folder given");
    }
    if (parsed.Filter.MaxSize != search::SearchFilter::kNoLimit &&
        parsed.Filter.MinSize > parsed.Filter.MaxSize) {
        return UsageProblem("--min-size is larger than --max-size");
    }
    return parsed;
}

}  // namespace cli
