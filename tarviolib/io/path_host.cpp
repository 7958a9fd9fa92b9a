#include "tarviolib/io/path.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace Tarvio::Io {

namespace {

// "." and ".." resolved by text, as the Windows runtime's full-path call does.
Path resolveDots(const String& absoluteText) {
    Array<String> kept;
    for (const String& component : absoluteText.split(L"/", true)) {
        if (component == ".") {
            continue;
        }
        if (component == "..") {
            if (!kept.isEmpty()) {
                kept.resize(kept.size() - 1);
            }
            continue;
        }
        kept.append(component);
    }
    String text = L"/";
    for (int32_t i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            text += L'/';
        }
        text += kept[i];
    }
    return Path(std::move(text));
}

} // namespace

bool Path::isAbsolute() const { return !mText.isEmpty() && mText[0] == L'/'; }

Path Path::absolute() const {
    const NarrowString bytes = mText.toUtf8();
    char resolved[PATH_MAX];
    if (realpath(bytes.text(), resolved) != nullptr) {
        return Path(String::fromUtf8(resolved));
    }
    if (isAbsolute()) {
        return resolveDots(mText);
    }
    char current[PATH_MAX];
    if (getcwd(current, sizeof current) == nullptr) {
        return *this;
    }
    return resolveDots(String::fromUtf8(current) + L"/" + mText);
}

} // namespace Tarvio::Io
