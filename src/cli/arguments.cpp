#include "cli/arguments.h"

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

}  // namespace

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
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            return UsageProblem("unknown option: " + arg);
        } else {
            parsed.Folders.push_back(arg);
        }
    }
    if (parsed.Folders.empty()) {
        return UsageProblem("no folder given");
    }
    return parsed;
}

}  // namespace cli
