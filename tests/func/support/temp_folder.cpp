#include "support/temp_folder.h"

namespace functest {

std::string ReadBytes(const std::string& path) {
    return testing_support::ReadFile(path).value_or("<missing>");
}

}  // namespace functest
