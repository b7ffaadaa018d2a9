#include "platform/console.h"

// windows.h first: the other system headers build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/win32/wide.h"

namespace platform {

namespace {

std::atomic<bool> g_interrupted{false};

// The console's code page when the program started, given back when it ends: the console
// outlives the program.
UINT g_consoleCodePage = 0;

void RestoreConsoleCodePage() {
    SetConsoleOutputCP(g_consoleCodePage);
}

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        g_interrupted = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
    // The C runtime's argv is in the ANSI code page, which cannot hold every name ("café" would
    // become "cafe" under code page 932): the wide command line holds them all.
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Narrow(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

bool StandardOutputIsOpen() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output != nullptr && output != INVALID_HANDLE_VALUE && _fileno(stdout) >= 0;
}

void PrepareStandardStreams() {
    // Text mode would turn each "\n" into "\r\n" and break the NUL-separated and JSON forms.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (GetConsoleMode(error, &mode)) {
        SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        // The console shows the paths and messages, which are UTF-8, as UTF-8.
        g_consoleCodePage = GetConsoleOutputCP();
        if (g_consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
            std::atexit(RestoreConsoleCodePage);
        }
    }
}

void CatchInterrupt() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool WasInterrupted() {
    return g_interrupted;
}

}  // namespace platform
