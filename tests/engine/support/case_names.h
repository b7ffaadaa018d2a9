#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace testing_support {

// Names a parameterised case after its description (the case's `what`): letters and digits, the
// rest as "_".
struct NamedAfterDescription {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    }
};

}  // namespace testing_support
