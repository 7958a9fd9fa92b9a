#include "tarviolib/commandline/helpmixin.h"
#include "tarviolib/commandline/parser.h"
#include "tarviolib/commandline/subargument.h"
#include "tarviolib/commandline/switchargument.h"
#include "tarviolib/core/exception.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace Tarvio::CommandLine {
namespace {

using HelpSwitch = HelpMixin<SwitchArgument>;

// The program's own two options, registered as the entry registers them.
struct ProgramOptions {
    HelpSwitch autoInstall{L"", L"acceptEulaAndAutoInstall", L"Runs the command-line version of the installer."};
    HelpSwitch help{L"h", L"help", L"Display this help message."};
    Parser parser;

    ProgramOptions() {
        parser.addArgument(&autoInstall);
        parser.addArgument(&help);
    }

    // Parses the tokens; answers the error text, empty on success.
    std::string parse(const std::vector<const wchar_t*>& tokens) {
        Array<String> args;
        for (const wchar_t* token : tokens) {
            args.append(String(token));
        }
        try {
            parser.parse(args.data(), args.size());
            return {};
        } catch (const Exception& e) {
            return e.what();
        }
    }
};

TEST(CommandLineParser, EitherPrefixSelectsEitherName) {
    for (const wchar_t* token : {L"-help", L"--help", L"-h", L"--h"}) {
        ProgramOptions options;
        EXPECT_EQ(options.parse({token}), "");
        EXPECT_TRUE(options.help.present());
        EXPECT_FALSE(options.autoInstall.present());
    }
    ProgramOptions options;
    EXPECT_EQ(options.parse({L"-acceptEulaAndAutoInstall"}), "");
    EXPECT_TRUE(options.autoInstall.present());
}

TEST(CommandLineParser, Errors) {
    struct Case {
        const wchar_t* token;
        const char* error;
    };
    const Case cases[] = {
        {L"--Help", "Argument \"Help\" is not being recognized."},
        {L"--foo:bar", "Argument \"foo\" is not being recognized."},
        {L"--help:", "Missing sub-argument name in \"help\"."},
        {L"--help::x", "Missing sub-argument name in \"help\"."},
        {L"-h:x=1", "Sub-argument \"x\" is not being recognized."},
        {L"--help:x", "Sub-argument \"x\" is not being recognized."},
        {L"--help:=1", "Sub-argument \"\" is not being recognized."},
    };
    for (const Case& c : cases) {
        ProgramOptions options;
        EXPECT_EQ(options.parse({c.token}), c.error) << String(c.token).toUtf8().text();
    }
}

TEST(CommandLineParser, TokensThatNameNoOptionArePositional) {
    ProgramOptions options;
    EXPECT_EQ(options.parse({L"--", L"-", L"--:x", L"-:x", L"plain", L"/help"}), "");
    EXPECT_FALSE(options.help.present());
    const Array<String>& positional = options.parser.positionalArguments();
    ASSERT_EQ(positional.size(), 6);
    EXPECT_EQ(positional[4], "plain");
    EXPECT_EQ(positional[5], "/help");

    EXPECT_EQ(options.parse({L"other"}), "");
    ASSERT_EQ(options.parser.positionalArguments().size(), 1);
}

TEST(CommandLineParser, SwitchGivenTwiceAndSetOptionsStayAfterAnError) {
    ProgramOptions options;
    EXPECT_EQ(options.parse({L"-h", L"--help"}), "");
    EXPECT_TRUE(options.help.present());

    ProgramOptions failing;
    EXPECT_NE(failing.parse({L"--acceptEulaAndAutoInstall", L"--bad", L"-h"}), "");
    EXPECT_TRUE(failing.autoInstall.present());
    EXPECT_FALSE(failing.help.present());
}

struct RecordingSubArgument : SubArgument {
    using SubArgument::SubArgument;
    void setValue(const String& part) override { values.append(part); }
    Array<String> values;
};

TEST(CommandLineParser, PartsGoToTheFirstSubArgumentOfTheirKey) {
    ProgramOptions options;
    RecordingSubArgument first(L"x"), second(L"x"), other(L"y");
    options.help.addSubArgument(&first);
    options.help.addSubArgument(&second);
    options.help.addSubArgument(&other);
    EXPECT_EQ(options.parse({L"-h:x=1:y:x"}), "");
    ASSERT_EQ(first.values.size(), 2);
    EXPECT_EQ(first.values[0], "x=1");
    EXPECT_EQ(first.values[1], "x");
    EXPECT_EQ(second.values.size(), 0);
    ASSERT_EQ(other.values.size(), 1);
}

TEST(CommandLineParser, OptionName) {
    EXPECT_EQ(optionName(L"--help:x").valueOr(L"(none)"), "help");
    EXPECT_EQ(optionName(L"-h").valueOr(L"(none)"), "h");
    EXPECT_EQ(optionName(L"---x").valueOr(L"(none)"), "-x");
    EXPECT_FALSE(optionName(L"--").hasValue());
    EXPECT_FALSE(optionName(L"-:x").hasValue());
    EXPECT_FALSE(optionName(L"x-y").hasValue());
}

TEST(CommandLineParser, ArgumentListLeavesOutTheProgramPath) {
    const wchar_t* words[] = {L"C:\\TarvioInstaller.exe", L"-h", L"a b"};
    const Array<String> list = argumentList(3, words);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0], "-h");
    EXPECT_EQ(list[1], "a b");
}

TEST(CommandLineHelp, ProgramHelpIsSixLines) {
    ProgramOptions options;
    std::ostringstream out;
    options.parser.printHelp(out);
    EXPECT_EQ(out.str(),
              "    --acceptEulaAndAutoInstall\n"
              "        > Runs the command-line version of the installer.\n"
              "\n"
              "    -h, --help\n"
              "        > Display this help message.\n"
              "\n");
}

TEST(CommandLineHelp, EntriesWithoutDescriptionOrLongName) {
    HelpSwitch shortOnly(L"v", L"", L"");
    SwitchArgument plain(L"", L"plain");
    Parser parser;
    parser.addArgument(&shortOnly);
    parser.addArgument(&plain);
    std::ostringstream out;
    parser.printHelp(out);
    EXPECT_EQ(out.str(), "    -v\n\n    --plain\n\n");
}

std::string wrapped(const String& text) {
    return wordWrap(text, 68, L"> ").toUtf8().text();
}

TEST(CommandLineWordWrap, LinesHoldAtMostTheWidthAfterThePrefix) {
    // 68 characters in words and single blanks fit; one more moves the last word down.
    const std::string fits = std::string(30, 'a') + " " + std::string(37, 'b');
    EXPECT_EQ(wrapped(String::fromUtf8(fits.c_str())), "> " + fits);
    const std::string over = std::string(30, 'a') + " " + std::string(38, 'b');
    EXPECT_EQ(wrapped(String::fromUtf8(over.c_str())), "> " + std::string(30, 'a') + "\n> " + std::string(38, 'b'));
}

TEST(CommandLineWordWrap, LongWordsAndLineEnds) {
    const std::string longWord(70, 'w');
    EXPECT_EQ(wrapped(String::fromUtf8(("one " + longWord + " two").c_str())),
              "> one\n> " + longWord + "\n> two");
    struct Case {
        const wchar_t* text;
        const char* expected;
    };
    const Case cases[] = {
        {L"a\nb", "> a\n> b"},
        {L"a \nb", "> a b"},           // a blank before the newline: the newline is lost
        {L"a\n\n\nb", "> a\n> b"},     // runs of newlines give one line break
        {L"a\tb  c", "> a b c"},
        {L"last\n", "> last\n"},
        {L"  \n ", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wrapped(c.text), c.expected) << String(c.text).toUtf8().text();
    }
}

} // namespace
} // namespace Tarvio::CommandLine
