#include "main/command_line.h"

#include "platform/file_system.h"
#include "platform/path.h"
#include "platform/system_paths.h"

const char kWindowUsage[] =
    "Usage: dopplet [FOLDER...]\n"
    "\n"
    "Opens the window of Dopplet, which finds files that are the same in the folders you\n"
    "choose and all their subfolders. Each FOLDER is added to the search targets, once, and\n"
    "the search targets page is shown.\n"
    "\n"
    "  --version   show the version\n"
    "  -h, --help  show this text\n"
    "\n"
    "Qt's own options, such as -platform, are taken as well. dopplet-find runs the same\n"
    "search without a window.\n";

namespace {

WindowArguments Only(WindowRequest request, std::string problem = {}) {
    WindowArguments only;
    only.Request = request;
    only.Problem = std::move(problem);
    return only;
}

std::string AbsoluteFolder(const std::string& folder) {
    return platform::FolderLevels(platform::IsAbsolute(folder)
                                      ? folder
                                      : platform::JoinPath(platform::CurrentFolder(), folder))
        .back();
}

}  // namespace

WindowArguments ParseWindowArguments(const std::vector<std::string>& arguments) {
    WindowArguments parsed;
    bool optionsEnded = false;
    for (const std::string& arg : arguments) {
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            return Only(WindowRequest::Help);
        }
        if (!optionsEnded && arg == "--version") {
            return Only(WindowRequest::Version);
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            return Only(WindowRequest::Usage, "unknown option: " + arg);
        } else if (arg.empty() || !platform::IsFolder(arg)) {
            return Only(WindowRequest::Usage, "not a folder: " + arg);
        } else {
            parsed.Folders.push_back(AbsoluteFolder(arg));
        }
    }
    return parsed;
}
