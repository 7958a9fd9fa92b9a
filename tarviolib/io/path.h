#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/widebuffer.h"

#include <cstdint>
#include <ostream>

namespace Tarvio::Io {

// A file or folder name with forward slashes as separators. Nothing else is normalised: two paths
// are the same only when their texts are equal unit for unit.
class Path : public Object {
public:
    Path() = default;
    // Every constructor from text replaces each backslash with a slash.
    Path(const String& text);
    Path(String&& text);
    Path(const wchar_t* text) : Path(String(text)) {}
    Path(const char* text) : Path(String(text)) {}
    Path(const Path& other) = default;
    Path(Path&& other) noexcept = default;
    Path& operator=(const Path& other) = default;
    Path& operator=(Path&& other) noexcept = default;

    // Appends other after one "/" (unless this path is empty or already ends with one); other is
    // not examined, so 'a' / '/b' is 'a//b'.
    Path& operator/=(const Path& other);
    Path operator/(const Path& other) const;
    Path operator/(const String& other) const;
    Path operator/(const wchar_t* other) const { return *this / String(other); }
    Path operator/(const char* other) const { return *this / String(other); }

    // The text before the last "/": "/" when that is the first unit, empty when there is none.
    Path parent() const;
    // The text after the last dot of the last component; empty for no dot or a leading one.
    String extension() const;
    Optional<int32_t> lastSeparator() const;

    const String& text() const { return mText; }
    String toString() const { return mText; }
    // Backslashes.
    String toNative() const;
    // The native text with its NUL; empty for an empty path.
    WideBuffer toNativeBuffer() const;

    bool isEmpty() const { return mText.isEmpty(); }
    bool isAbsolute() const;
    // The final name of an existing file or folder (links resolved, no trailing separator), else
    // the path resolved textually against the current directory.
    Path absolute() const;

private:
    void normalizeSeparators();

    String mText;
};

bool operator==(const Path& left, const Path& right);
bool operator!=(const Path& left, const Path& right);
// By text, for keyed containers.
bool operator<(const Path& left, const Path& right);

// The forward-slash text in UTF-8, for logs and test reports.
inline std::ostream& operator<<(std::ostream& stream, const Path& path) { return stream << path.text(); }

} // namespace Tarvio::Io
