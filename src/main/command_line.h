#pragma once

#include <string>
#include <vector>

// What the window program was asked to do on its command line.
enum class WindowRequest {
    Run,      // open the window, with the folders as search targets
    Help,     // show the usage text
    Version,  // show the version
    Usage,    // the arguments make no sense: name the problem
};

// The window program's command line, read.
struct WindowArguments {
    WindowRequest Request = WindowRequest::Run;
    std::string Problem;  // for Usage: what is wrong, as the message names it
    // Absolute, in the form that the folder selection gives (no empty or "." parts, no final
    // separator), in their order.
    std::vector<std::string> Folders;
};

// The text that --help shows.
extern const char kWindowUsage[];

// Reads the window program's arguments (without the program's name) from left to right: the
// first --help, --version or problem decides; every other argument, and every one after "--", is
// a folder, which must exist.
WindowArguments ParseWindowArguments(const std::vector<std::string>& arguments);
