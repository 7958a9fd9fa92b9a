#include "tarviolib/io/path.h"

#include "tarviolib/io/detail/finalpathname.h"

#include <utility>

namespace Tarvio::Io {

Path::Path(const String& text) : mText(text) { normalizeSeparators(); }

Path::Path(String&& text) : mText(std::move(text)) { normalizeSeparators(); }

void Path::normalizeSeparators() {
    for (int32_t i = 0; i < mText.size(); ++i) {
        if (mText[i] == L'\\') {
            mText[i] = L'/';
        }
    }
}

Path& Path::operator/=(const Path& other) {
    if (other.mText.isEmpty()) {
        return *this;
    }
    if (!mText.isEmpty() && mText[mText.size() - 1] != L'/') {
        mText += L'/';
    }
    mText += other.mText;
    return *this;
}

Path Path::operator/(const Path& other) const {
    Path joined(*this);
    joined /= other;
    return joined;
}

Path Path::operator/(const String& other) const { return *this / Path(other); }

Optional<int32_t> Path::lastSeparator() const {
    const int32_t position = mText.findLast(L'/');
    if (position == String::NotFound) {
        return Optional<int32_t>();
    }
    return position;
}

Path Path::parent() const {
    const Optional<int32_t> separator = lastSeparator();
    if (!separator) {
        return Path();
    }
    if (*separator == 0) {
        return Path(L"/");
    }
    return Path(mText.substr(0, *separator));
}

String Path::extension() const {
    const Optional<int32_t> separator = lastSeparator();
    const int32_t componentStart = separator ? *separator + 1 : 0;
    const int32_t dot = mText.findLast(L'.');
    if (dot == String::NotFound || dot <= componentStart) {
        return String();
    }
    return mText.substr(dot + 1);
}

String Path::toNative() const {
    String native = mText;
    for (int32_t i = 0; i < native.size(); ++i) {
        if (native[i] == L'/') {
            native[i] = L'\\';
        }
    }
    return native;
}

WideBuffer Path::toNativeBuffer() const { return toNative().toWideBuffer(); }

Path Detail::pathFromFinalName(const String& answer) {
    const String uncPrefix = L"\\\\?\\UNC\\";
    if (answer.find(uncPrefix, 0, 1) == 0) {
        return Path(L"//" + answer.substr(uncPrefix.size()));
    }
    const String localPrefix = L"\\\\?\\";
    return Path(answer.find(localPrefix, 0, 1) == 0 ? answer.substr(localPrefix.size()) : answer);
}

bool operator==(const Path& left, const Path& right) { return left.text() == right.text(); }

bool operator!=(const Path& left, const Path& right) { return !(left == right); }

bool operator<(const Path& left, const Path& right) { return left.text() < right.text(); }

} // namespace Tarvio::Io
