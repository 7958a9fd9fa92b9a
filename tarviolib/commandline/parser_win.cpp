#include "tarviolib/commandline/parser.h"

#include "tarviolib/core/exception.h"

#include <windows.h>

#include <shellapi.h>

namespace Tarvio::CommandLine {

void Parser::parseProcessCommandLine() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        throwException("Cannot read the command line.");
    }
    struct WordsGuard {
        LPWSTR* words;
        ~WordsGuard() { LocalFree(words); }
    } guard{words};
    const Array<String> arguments = argumentList(count, words);
    parse(arguments.data(), arguments.size());
}

} // namespace Tarvio::CommandLine
