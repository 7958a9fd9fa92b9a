// The GUI toolkit for the tests that decode or draw through it: started once for the test program,
// with the image handlers the library's start-up registers, and an assert handler that fails the
// running test instead of showing a box.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <memory>

namespace {

void failOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message) {
    ADD_FAILURE() << "toolkit assertion in " << function.utf8_str() << " (" << file.utf8_str() << ":" << line
                  << "): " << condition.utf8_str() << " " << message.utf8_str();
}

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        wxSetAssertHandler(failOnAssert);
        wxApp::SetInstance(new wxApp);
        mInitializer = std::make_unique<wxInitializer>();
        ASSERT_TRUE(mInitializer->IsOk());
        wxImage::AddHandler(new wxPNGHandler);
        wxImage::AddHandler(new wxJPEGHandler);
        wxImage::AddHandler(new wxGIFHandler);
    }
    void TearDown() override {
        wxImage::CleanUpHandlers();
        mInitializer.reset();
    }

private:
    std::unique_ptr<wxInitializer> mInitializer;
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

} // namespace
