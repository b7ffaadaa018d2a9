#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace platform {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

bool StandardOutputIsOpen() {
    return fcntl(STDOUT_FILENO, F_GETFD) >= 0;
}

void PrepareStandardStreams() {
    // The streams carry bytes as they are already.
}

void CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
}

bool WasInterrupted() {
    return g_interrupted != 0;
}

}  // namespace platform
