#include "tarviolib/commandline/parser.h"

#include "tarviolib/commandline/argument.h"
#include "tarviolib/commandline/wordwrap.h"
#include "tarviolib/core/exception.h"

#include <ostream>

namespace Tarvio::CommandLine {

Optional<String> optionName(const String& token) {
    static const String longPrefix(L"--");
    static const String shortPrefix(L"-");
    int32_t start;
    if (token.find(longPrefix, 0, 1) == 0) {
        start = longPrefix.size();
    } else if (token.find(shortPrefix, 0, 1) == 0) {
        start = shortPrefix.size();
    } else {
        return {};
    }
    const int32_t end = token.find(L":", start);
    String name = token.substr(start, end == String::NotFound ? String::NotFound : end - start);
    if (name.isEmpty()) {
        return {};
    }
    return name;
}

Array<String> argumentList(int32_t count, const wchar_t* const* words) {
    Array<String> list;
    for (int32_t i = 1; i < count; ++i) {
        list.append(String(words[i]));
    }
    return list;
}

void Parser::parse(const String* args, int32_t count) {
    mPositionalArguments.clear();
    for (int32_t i = 0; i < count; ++i) {
        const Optional<String> name = optionName(args[i]);
        if (!name.hasValue()) {
            mPositionalArguments.append(args[i]);
            continue;
        }
        Argument* match = nullptr;
        for (Argument* argument : mArguments) {
            if (argument->shortName() == name.value() || argument->longName() == name.value()) {
                match = argument;
                break;
            }
        }
        if (match == nullptr) {
            throwException("Argument \"" + name.value() + "\" is not being recognized.");
        }
        i = match->consume(args, count, i);
    }
}

void Parser::printHelp(std::ostream& stream) const {
    for (const Argument* argument : mArguments) {
        stream << helpIndent();
        if (!argument->shortName().isEmpty()) {
            stream << "-" << argument->shortName();
            if (!argument->longName().isEmpty()) {
                stream << ", ";
            }
        }
        if (!argument->longName().isEmpty()) {
            stream << "--" << argument->longName();
        }
        stream << std::endl;
        argument->printDescription(stream);
        stream << std::endl;
    }
}

} // namespace Tarvio::CommandLine
