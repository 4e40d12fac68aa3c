#pragma once

#include <string>

namespace testing_support {

// Names each instance of a parameterised test after the `name` member of its case, so that a
// failure reads as the sentence the case was named with.
struct CaseName {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo &info) const {
        return std::string(info.param.name);
    }
};

} // namespace testing_support
