#pragma once

// Starts the library once for a test program, as the program's entry does.

// The toolkit's headers first: they bring windows.h in the order its socket headers need.
#include <wx/app.h>

#include "tarviolib/wx/library.h"

#include <gtest/gtest.h>

namespace Tarvio::Testing {

// The library as the program starts it; its assert handler ends a test program on any toolkit
// assert, with the assert on the error stream.
class LibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(initLibrary(1)); }
    void TearDown() override { deinitLibrary(); }
};

inline ::testing::Environment* const libraryEnvironment =
    ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

} // namespace Tarvio::Testing
