#pragma once

// Sizes follow the screen's pixels per inch, which a process reads from the registry when it
// starts (HKCU\Control Panel\Desktop\LogPixels under Wine). A test runs part of its own program
// again at another setting and restores the setting after the child has ended.

#include <string>

namespace Tarvio::Testing {

// The screen's horizontal pixels per inch as this process sees them.
int screenDpi();

// The column of a {96, 120, 144} table of expectations for this process's screen.
int dpiColumn();

// False in a child of runAtDpi whose screen is not at the pixels per inch it was started for.
bool screenIsAsAsked();

// Runs this program with the given gtest filter at the given pixels per inch; the child's output
// goes to the test's output. Returns the child's exit code (-1 when it could not run or hung).
int runAtDpi(int dpi, const std::string& filter);

} // namespace Tarvio::Testing
