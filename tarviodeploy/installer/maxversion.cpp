#include "tarviodeploy/installer/maxversion.h"

#include "tarviolib/winapi/registry.h"

namespace Tarvio {

const EnumNameTable<MaxVersion, 7> maxVersionNames({
    {MaxVersion::Max2013, L"2013"},
    {MaxVersion::Max2014, L"2014"},
    {MaxVersion::Max2015, L"2015"},
    {MaxVersion::Max2016, L"2016"},
    {MaxVersion::Max2017, L"2017"},
    {MaxVersion::Max2018, L"2018"},
    {MaxVersion::Max2019, L"2019"},
});

namespace {

// No suffix, then English, French, German, Japanese, Korean and Simplified Chinese.
const Array<String>& languageSuffixes() {
    static const Array<String> suffixes{L"",           L"/MAX-1:409", L"/MAX-1:40C", L"/MAX-1:407",
                                        L"/MAX-1:411", L"/MAX-1:412", L"/MAX-1:804"};
    return suffixes;
}

} // namespace

Optional<Io::Path> findMaxInstallDirectory(int32_t year) {
    const String release = toString(year - 1998) + ".0";
    for (const String& suffix : languageSuffixes()) {
        for (const char* product : {"HKEY_LOCAL_MACHINE/SOFTWARE/Autodesk/3dsMax/",
                                    "HKEY_LOCAL_MACHINE/SOFTWARE/Autodesk/3dsMaxDesign/"}) {
            const Optional<String> folder = WinApi::Registry::readString(product + release + suffix, L"Installdir");
            if (folder.hasValue()) {
                return Optional<Io::Path>(Io::Path(folder.value()));
            }
        }
    }
    return {};
}

} // namespace Tarvio
