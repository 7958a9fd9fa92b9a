#pragma once

#include "tarviolib/commandline/wordwrap.h"
#include "tarviolib/core/string.h"

#include <ostream>
#include <utility>

namespace Tarvio::CommandLine {

// Gives an option a description for the help listing.
template <typename Base>
class HelpMixin : public Base {
public:
    HelpMixin(const String& shortName, const String& longName, String description)
        : Base(shortName, longName), mDescription(std::move(description)) {}

    void printDescription(std::ostream& stream) const override {
        if (!mDescription.isEmpty()) {
            stream << wordWrap(mDescription, DescriptionWidth, helpIndent() + helpIndent() + "> ") << std::endl;
        }
    }

private:
    static constexpr int32_t DescriptionWidth = 68;

    String mDescription;
};

} // namespace Tarvio::CommandLine
