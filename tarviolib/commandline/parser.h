#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"

#include <iosfwd>

namespace Tarvio::CommandLine {

class Argument;

// Turns the program's argument words into the state of the registered options.
class Parser : public Object {
public:
    // The option is not owned; registration order is matching order and help order.
    void addArgument(Argument* argument) { mArguments.append(argument); }

    // Throws Exception at the first token that names an unknown option or a bad part.
    void parse(const String* args, int32_t count);
    // The process's own command line, without the program's path.
    void parseProcessCommandLine();

    void printHelp(std::ostream& stream) const;

    // Tokens of the last parse that are not options.
    const Array<String>& positionalArguments() const { return mPositionalArguments; }

private:
    Array<Argument*> mArguments;
    Array<String> mPositionalArguments;
};

// The option name inside "--name:parts" or "-name:parts"; empty for a token that names no option.
Optional<String> optionName(const String& token);

// One String per word, without the first (the program's path).
Array<String> argumentList(int32_t count, const wchar_t* const* words);

} // namespace Tarvio::CommandLine
