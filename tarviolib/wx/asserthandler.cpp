#include "tarviolib/wx/asserthandler.h"

#include "tarviolib/core/debugoutput.h"

#include <wx/debug.h>
#include <wx/string.h>

#include <sstream>

#ifdef TARVIO_TEST_SEAMS
#include <cstdio>
#include <cstdlib>
#endif

namespace Tarvio::Wx {

namespace {

void reportAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message) {
    std::wostringstream text;
    text << L"wxWidgets assert failed: " << file.wc_str() << L"(" << line << L") in " << function.wc_str() << L": "
         << condition.wc_str();
    if (!message.empty()) {
        text << L": " << message.wc_str();
    }
    debugOutput(text);
#ifdef TARVIO_TEST_SEAMS
    std::fprintf(stderr, "%ls\n", text.str().c_str());
    std::fflush(stderr);
    std::_Exit(3);
#endif
}

} // namespace

void installAssertHandler() {
    wxSetAssertHandler(reportAssert);
}

} // namespace Tarvio::Wx
