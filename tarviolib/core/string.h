#pragma once

#include "tarviolib/core/array.h"
#include "tarviolib/core/narrowstring.h"
#include "tarviolib/core/object.h"
#include "tarviolib/core/widebuffer.h"

#include <cstdint>
#include <iosfwd>

namespace Tarvio {

// The program's text: UTF-16 code units with an explicit size. Whenever the size is above 0 a NUL
// unit follows the last unit. Positions are int32 indices; out-of-range indices are clamped.
class String : public Object {
public:
    // The position every search answers when it finds nothing.
    static constexpr int32_t NotFound = 2147483647;

    String() noexcept = default;
    // One unit per byte, sign-extended: meant for ASCII literals; other text goes through fromUtf8.
    String(const char* text);
    String(const wchar_t* text);
    String(const wchar_t* units, int32_t count);
    String(wchar_t unit, int32_t count);

    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    // Swaps: the source is left with the target's former text.
    String& operator=(String&& other) noexcept;
    ~String();

    static String fromUtf8(const char* bytes);
    NarrowString toUtf8() const;
    // Units from 0x80 up become replacement.
    NarrowString toAscii(char replacement) const;
    WideBuffer toWideBuffer() const;

    int32_t size() const { return mSize; }
    int32_t capacity() const { return mCapacity; }
    bool isEmpty() const { return mSize == 0; }

    // Always a NUL-terminated text, never null.
    const wchar_t* text() const;
    // Stores the NUL and answers the units; null for an empty String.
    wchar_t* terminate();

    // No range check.
    wchar_t operator[](int32_t index) const { return mData[index]; }
    wchar_t& operator[](int32_t index) { return mData[index]; }
    const wchar_t* begin() const { return text(); }
    const wchar_t* end() const { return text() + mSize; }

    String& operator+=(const String& text);
    String& operator+=(const char* text);
    String& operator+=(char byte);
    String& operator+=(wchar_t unit);
    // The decimal digits of value.
    String& operator+=(int32_t value);

    void erase(int32_t position, int32_t count);
    String substr(int32_t index, int32_t count = NotFound) const;

    // The first match starting in [from, endBound - 1]; an empty needle is found at from.
    int32_t find(const String& needle, int32_t from = 0, int32_t endBound = NotFound) const;
    int32_t findFirstOf(const wchar_t* set, int32_t start = 0) const;
    int32_t findLastOf(const wchar_t* set, int32_t from = NotFound) const;
    int32_t findLast(wchar_t unit, int32_t from = NotFound) const;
    int32_t findLastNot(wchar_t unit, int32_t from = NotFound) const;

    Array<String> split(const String& separator, bool skipEmpty) const;
    // Non-overlapping, left to right; answers the number of replacements.
    int32_t replaceAll(const String& pattern, const String& replacement);

    // Removes leading and trailing "\n\t\v\f\r ".
    void trim();
    void toLower();
    void toUpper();
    String lowerCased() const;

private:
    void append(const wchar_t* units, int32_t count);
    void ensureCapacity(int64_t needed);
    void storeTerminator();

    wchar_t* mData = nullptr;
    int32_t mSize = 0;
    int32_t mCapacity = 0;
};

// Decimal digits, no grouping: text for machines.
String toString(int32_t value);

bool operator==(const String& left, const String& right);
bool operator==(const String& left, const char* right);
bool operator==(const char* left, const String& right);
bool operator!=(const String& left, const String& right);
bool operator!=(const String& left, const char* right);
bool operator!=(const char* left, const String& right);
// Unit by unit as unsigned 16-bit values; a prefix orders first.
bool operator<(const String& left, const String& right);

String operator+(const String& left, const String& right);
String operator+(const char* left, const String& right);

// UTF-8 bytes to a narrow stream, the units to a wide one.
std::ostream& operator<<(std::ostream& stream, const String& text);
std::wostream& operator<<(std::wostream& stream, const String& text);

} // namespace Tarvio
