#include "tarviolib/commandline/switchargument.h"

#include "tarviolib/commandline/parser.h"
#include "tarviolib/commandline/subargument.h"
#include "tarviolib/core/exception.h"

namespace Tarvio::CommandLine {

int32_t SwitchArgument::consume(const String* tokens, int32_t, int32_t index) {
    const Array<String> parts = tokens[index].split(L":", false);
    setPresent();
    for (int32_t i = 1; i < parts.size(); ++i) {
        const String& part = parts[i];
        if (part.isEmpty()) {
            throwException("Missing sub-argument name in \"" + optionName(parts[0]).valueOr(String()) + "\".");
        }
        const String key = part.substr(0, part.find(L"="));
        SubArgument* match = nullptr;
        for (SubArgument* subArgument : subArguments()) {
            if (subArgument->name() == key) {
                match = subArgument;
                break;
            }
        }
        if (match == nullptr) {
            throwException("Sub-argument \"" + key + "\" is not being recognized.");
        }
        match->setValue(part);
    }
    return index;
}

} // namespace Tarvio::CommandLine
