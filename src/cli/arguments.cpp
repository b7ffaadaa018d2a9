#include "cli/arguments.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

namespace cli {

namespace {

// What has been read so far.
struct Reading {
    FindArguments Parsed;
    std::string FormatOption;  // the option that chose the output format, as it was given
};

// Applies an option, given as `name`, with its value (empty for an option without one) to
// `reading`; returns the problem, or an empty text.
using Apply = std::string (*)(Reading& reading, const std::string& name, const std::string& value);

struct Option {
    std::string_view Long;  // "--mode"
    char Short;             // '0'; 0 for none
    bool TakesValue;
    Apply Set;
};

std::string SetRequest(Reading& reading, FindRequest request) {
    reading.Parsed.Request = request;
    return {};
}

// One output format per run: a second, different one is a problem.
std::string SetFormat(Reading& reading, const std::string& name, OutputFormat format) {
    if (!reading.FormatOption.empty() && reading.Parsed.Format != format) {
        return reading.FormatOption + " and " + name + " cannot be used together";
    }
    reading.FormatOption = name;
    reading.Parsed.Format = format;
    return {};
}

std::string SetMode(Reading& reading, const std::string&, const std::string& value) {
    if (value == "content") {
        reading.Parsed.Mode = search::kCompareContent;
    } else if (value == "stem") {
        reading.Parsed.Mode = search::kCompareStem;
    } else if (value == "name") {
        reading.Parsed.Mode = search::kCompareName;
    } else {
        return "unknown mode: " + value;
    }
    return {};
}

std::string SetSize(std::int64_t& size, const std::string& name, const std::string& value) {
    return ParseSize(value, size) ? std::string() : "bad size for " + name + ": " + value;
}

constexpr Option kOptions[] = {
    {"--help", 'h', false,
     [](Reading& r, const std::string&, const std::string&) {
         return SetRequest(r, FindRequest::Help);
     }},
    {"--version", 0, false,
     [](Reading& r, const std::string&, const std::string&) {
         return SetRequest(r, FindRequest::Version);
     }},
    {"--mode", 0, true, SetMode},
    {"--null", '0', false,
     [](Reading& r, const std::string& name, const std::string&) {
         return SetFormat(r, name, OutputFormat::Null);
     }},
    {"--json", 0, false,
     [](Reading& r, const std::string& name, const std::string&) {
         return SetFormat(r, name, OutputFormat::Json);
     }},
    {"--quiet", 'q', false,
     [](Reading& r, const std::string&, const std::string&) {
         r.Parsed.Quiet = true;
         return std::string();
     }},
    {"--summary", 0, false,
     [](Reading& r, const std::string&, const std::string&) {
         r.Parsed.Summary = true;
         return std::string();
     }},
    // The search filter.
    {"--min-size", 0, true,
     [](Reading& r, const std::string& name, const std::string& value) {
         return SetSize(r.Parsed.Filter.MinSize, name, value);
     }},
    {"--max-size", 0, true,
     [](Reading& r, const std::string& name, const std::string& value) {
         return SetSize(r.Parsed.Filter.MaxSize, name, value);
     }},
    {"--exclude", 0, true,
     [](Reading& r, const std::string& name, const std::string& value) {
         if (value.empty()) {
             return name + " needs a pattern";
         }
         r.Parsed.Filter.Excluded.push_back(value);
         return std::string();
     }},
    {"--no-empty", 0, false,
     [](Reading& r, const std::string&, const std::string&) {
         r.Parsed.Filter.EmptyFiles = false;
         return std::string();
     }},
    {"--no-hidden", 0, false,
     [](Reading& r, const std::string&, const std::string&) {
         r.Parsed.Filter.HiddenFiles = false;
         return std::string();
     }},
    {"--pairwise", 0, false,
     [](Reading& r, const std::string&, const std::string&) {
         r.Parsed.Comparison = search::ContentComparison::Pairwise;
         return std::string();
     }},
};

const Option* LongOption(std::string_view name) {
    for (const Option& option : kOptions) {
        if (option.Long == name) {
            return &option;
        }
    }
    return nullptr;
}

const Option* ShortOption(char letter) {
    for (const Option& option : kOptions) {
        if (option.Short != 0 && option.Short == letter) {
            return &option;
        }
    }
    return nullptr;
}

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

// Reads the options in arguments[at], and the value that follows it if one of them takes one;
// moves `at` to the last argument used. Returns the problem, or an empty text.
std::string ReadOptions(const std::vector<std::string>& arguments, std::size_t& at,
                        Reading& reading) {
    const std::string& arg = arguments[at];
    // The value of `option` given as `name`: `attached` if there is one, else the next argument.
    const auto apply = [&](const Option& option, const std::string& name,
                           std::optional<std::string> attached) -> std::string {
        if (!option.TakesValue) {
            return attached ? name + " takes no value" : option.Set(reading, name, {});
        }
        if (!attached) {
            if (at + 1 >= arguments.size()) {
                return name + " needs a value";
            }
            attached = arguments[++at];
        }
        return option.Set(reading, name, *attached);
    };
    if (arg.starts_with("--")) {
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const Option* option = LongOption(name);
        if (option == nullptr) {
            return "unknown option: " + name;
        }
        return apply(
            *option, name,
            equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1)));
    }
    // Short options, one letter each; one that takes a value takes the rest of the argument.
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const std::string name = std::string("-") + arg[i];
        const Option* option = ShortOption(arg[i]);
        if (option == nullptr) {
            return "unknown option: " + name;
        }
        if (option->TakesValue) {
            return apply(*option, name,
                         i + 1 < arg.size() ? std::optional(arg.substr(i + 1)) : std::nullopt);
        }
        if (std::string problem = apply(*option, name, std::nullopt);
            !problem.empty() || reading.Parsed.Request != FindRequest::Search) {
            return problem;
        }
    }
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
    Reading reading;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            reading.Parsed.Folders.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (std::string problem = ReadOptions(arguments, i, reading); !problem.empty()) {
            return UsageProblem(std::move(problem));
        } else if (reading.Parsed.Request != FindRequest::Search) {
            return Only(reading.Parsed.Request);
        }
    }
    const search::SearchFilter& filter = reading.Parsed.Filter;
    if (filter.MaxSize != search::SearchFilter::kNoLimit && filter.MinSize > filter.MaxSize) {
        return UsageProblem("--min-size is larger than --max-size");
    }
    if (reading.Parsed.Folders.empty()) {
        return UsageProblem("no folder given");
    }
    return reading.Parsed;
}

}  // namespace cli
