#pragma once

namespace Tarvio::Wx {

// Makes the toolkit's failed asserts (compiled into this build of it) never show their dialog:
// the product writes them to the debug output; test builds write them to the standard error
// stream and end the process with exit code 3, so that the test fails. Installed by the
// library's start-up; a test that starts the toolkit on its own calls it first.
void installAssertHandler();

} // namespace Tarvio::Wx
