#include "tarviolib/core/string.h"

#include "tarviolib/core/textconversion.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <ostream>
#include <sstream>
#include <utility>

namespace Tarvio {

namespace {

const wchar_t EmptyText[1] = {0};

// Sign extension to 16 bits, the same on every platform whatever the width of wchar_t.
wchar_t widenByte(char byte) {
    return static_cast<wchar_t>(static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(byte))));
}

// Text lengths beyond int32 cannot be held: they fail as out of memory.
int32_t checkedLength(std::size_t length, std::size_t unitSize) {
    if (length >= static_cast<std::size_t>(INT32_MAX)) {
        HeapAllocator::failAllocation(static_cast<int64_t>(std::min<std::size_t>(length, INT32_MAX)) *
                                      static_cast<int64_t>(unitSize));
    }
    return static_cast<int32_t>(length);
}

bool containsUnit(const wchar_t* set, wchar_t unit) {
    for (; *set; ++set) {
        if (*set == unit) {
            return true;
        }
    }
    return false;
}

const wchar_t* const TrimmedUnits = L"\n\t\v\f\r ";

} // namespace

String::String(const char* text) {
    if (text && *text) {
        const int32_t length = checkedLength(std::strlen(text), sizeof(wchar_t));
        ensureCapacity(int64_t{length} + 1);
        for (int32_t i = 0; i < length; ++i) {
            mData[i] = widenByte(text[i]);
        }
        mSize = length;
        storeTerminator();
    }
}

String::String(const wchar_t* text) : String(text, text ? checkedLength(std::wcslen(text), sizeof(wchar_t)) : 0) {}

String::String(const wchar_t* units, int32_t count) {
    if (units && count > 0) {
        ensureCapacity(int64_t{count} + 1);
        append(units, count);
    }
}

String::String(wchar_t unit, int32_t count) {
    if (count > 0) {
        ensureCapacity(int64_t{count} + 1);
        std::fill(mData, mData + count, unit);
        mSize = count;
        storeTerminator();
    }
}

String::String(const String& other) : String(other.mData, other.mSize) {}

String::String(String&& other) noexcept
    : mData(std::exchange(other.mData, nullptr)),
      mSize(std::exchange(other.mSize, 0)),
      mCapacity(std::exchange(other.mCapacity, 0)) {}

String& String::operator=(const String& other) {
    if (this != &other) {
        mSize = 0;
        append(other.mData, other.mSize);
    }
    return *this;
}

String& String::operator=(String&& other) noexcept {
    std::swap(mData, other.mData);
    std::swap(mSize, other.mSize);
    std::swap(mCapacity, other.mCapacity);
    storeTerminator();
    return *this;
}

String::~String() {
    HeapAllocator::deallocateNoexcept(mData);
    mData = nullptr;
    mSize = 0;
    mCapacity = 0;
}

String String::fromUtf8(const char* bytes) {
    if (!bytes || !*bytes) {
        return String();
    }
    const int32_t length = checkedLength(std::strlen(bytes), sizeof(wchar_t));
    Array<wchar_t> units;
    units.resize(length + 1);
    if (Detail::convertUtf8ToUtf16(bytes, units.data(), units.size()) == 0) {
        return String();
    }
    return String(units.data());
}

NarrowString String::toUtf8() const {
    if (mSize == 0) {
        return NarrowString();
    }
    Array<char> bytes;
    const int64_t capacity = 4 * int64_t{mSize} + 4;
    if (capacity > INT32_MAX) {
        HeapAllocator::failAllocation(capacity);
    }
    bytes.resize(static_cast<int32_t>(capacity));
    const int32_t written = Detail::convertUtf16ToUtf8(mData, bytes.data(), bytes.size());
    if (written == 0) {
        return NarrowString();
    }
    bytes.resize(written - 1);
    bytes.append('\0');
    return NarrowString(std::move(bytes));
}

NarrowString String::toAscii(char replacement) const {
    if (mSize == 0) {
        return NarrowString();
    }
    Array<char> bytes;
    bytes.reserve(mSize + 1);
    for (wchar_t unit : *this) {
        bytes.append(static_cast<uint32_t>(unit) < 0x80 ? static_cast<char>(unit) : replacement);
    }
    bytes.append('\0');
    return NarrowString(std::move(bytes));
}

WideBuffer String::toWideBuffer() const {
    if (mSize == 0) {
        return WideBuffer();
    }
    Array<wchar_t> units;
    units.reserve(mSize + 1);
    for (wchar_t unit : *this) {
        units.append(unit);
    }
    units.append(L'\0');
    return WideBuffer(std::move(units));
}

const wchar_t* String::text() const {
    return mSize > 0 ? mData : EmptyText;
}

wchar_t* String::terminate() {
    if (mSize == 0) {
        return nullptr;
    }
    ensureCapacity(int64_t{mSize} + 1);
    mData[mSize] = 0;
    return mData;
}

String& String::operator+=(const String& text) {
    append(text.mData, text.mSize);
    return *this;
}

String& String::operator+=(const char* text) {
    return *this += String(text);
}

String& String::operator+=(char byte) {
    return *this += widenByte(byte);
}

String& String::operator+=(wchar_t unit) {
    append(&unit, 1);
    return *this;
}

String& String::operator+=(int32_t value) {
    return *this += toString(value);
}

void String::erase(int32_t position, int32_t count) {
    position = std::clamp(position, 0, mSize);
    count = std::min(count, mSize - position);
    if (count < 1) {
        return;
    }
    std::copy(mData + position + count, mData + mSize, mData + position);
    mSize -= count;
    storeTerminator();
}

String String::substr(int32_t index, int32_t count) const {
    index = std::max(index, 0);
    if (index >= mSize || count < 1) {
        return String();
    }
    return String(mData + index, std::min(count, mSize - index));
}

int32_t String::find(const String& needle, int32_t from, int32_t endBound) const {
    from = std::max(from, 0);
    if (needle.isEmpty()) {
        return from;
    }
    const int64_t last = std::min<int64_t>(int64_t{mSize} - needle.mSize, int64_t{endBound} - 1);
    for (int64_t p = from; p <= last; ++p) {
        if (std::equal(needle.mData, needle.mData + needle.mSize, mData + p)) {
            return static_cast<int32_t>(p);
        }
    }
    return NotFound;
}

int32_t String::findFirstOf(const wchar_t* set, int32_t start) const {
    if (set && *set) {
        for (int32_t i = std::max(start, 0); i < mSize; ++i) {
            if (containsUnit(set, mData[i])) {
                return i;
            }
        }
    }
    return NotFound;
}

int32_t String::findLastOf(const wchar_t* set, int32_t from) const {
    if (set && *set) {
        for (int32_t i = std::min(from, mSize - 1); i >= 0; --i) {
            if (containsUnit(set, mData[i])) {
                return i;
            }
        }
    }
    return NotFound;
}

int32_t String::findLast(wchar_t unit, int32_t from) const {
    for (int32_t i = std::min(from, mSize - 1); i >= 0; --i) {
        if (mData[i] == unit) {
            return i;
        }
    }
    return NotFound;
}

int32_t String::findLastNot(wchar_t unit, int32_t from) const {
    for (int32_t i = std::min(from, mSize - 1); i >= 0; --i) {
        if (mData[i] != unit) {
            return i;
        }
    }
    return NotFound;
}

Array<String> String::split(const String& separator, bool skipEmpty) const {
    Array<String> segments;
    int32_t start = 0;
    while (true) {
        // An empty separator would match everywhere without advancing: the text stays whole.
        const int32_t p = separator.isEmpty() ? NotFound : find(separator, start);
        String segment = substr(start, std::min(mSize, p) - start);
        if (!(skipEmpty && segment.isEmpty())) {
            segments.append(std::move(segment));
        }
        if (p == NotFound) {
            return segments;
        }
        start = p + separator.mSize;
    }
}

int32_t String::replaceAll(const String& pattern, const String& replacement) {
    if (pattern.isEmpty()) {
        return 0;
    }
    String result;
    int32_t count = 0;
    int32_t position = 0;
    while (position < mSize) {
        if (find(pattern, position, position + 1) == position) {
            result += replacement;
            ++count;
            position += pattern.mSize;
        } else {
            result += mData[position];
            ++position;
        }
    }
    *this = result;
    return count;
}

void String::trim() {
    int32_t first = 0;
    while (first < mSize && containsUnit(TrimmedUnits, mData[first])) {
        ++first;
    }
    if (first == mSize) {
        mSize = 0;
        return;
    }
    int32_t last = mSize - 1;
    while (containsUnit(TrimmedUnits, mData[last])) {
        --last;
    }
    *this = substr(first, last - first + 1);
}

void String::toLower() {
    for (int32_t i = 0; i < mSize; ++i) {
        mData[i] = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(mData[i])));
    }
}

void String::toUpper() {
    for (int32_t i = 0; i < mSize; ++i) {
        mData[i] = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(mData[i])));
    }
}

String String::lowerCased() const {
    String copy(*this);
    copy.toLower();
    return copy;
}

void String::append(const wchar_t* units, int32_t count) {
    if (count < 1) {
        return;
    }
    // units may lie in this String's own block, which growing frees.
    const bool ownUnits = mData && units >= mData && units < mData + mCapacity;
    const std::ptrdiff_t offset = ownUnits ? units - mData : 0;
    ensureCapacity(int64_t{mSize} + count);
    if (ownUnits) {
        units = mData + offset;
    }
    std::copy(units, units + count, mData + mSize);
    mSize += count;
    ensureCapacity(int64_t{mSize} + 1); // the terminator's own unit
    storeTerminator();
}

void String::ensureCapacity(int64_t needed) {
    if (needed <= mCapacity) {
        return;
    }
    const int64_t capacity = Detail::grownCapacity(mCapacity, needed);
    auto* block = static_cast<wchar_t*>(HeapAllocator::allocateArray(
        capacity, static_cast<int64_t>(sizeof(wchar_t)), static_cast<int32_t>(alignof(wchar_t))));
    std::copy(mData, mData + mSize, block);
    HeapAllocator::deallocateNoexcept(mData);
    mData = block;
    mCapacity = static_cast<int32_t>(capacity);
}

void String::storeTerminator() {
    if (mSize > 0) {
        mData[mSize] = 0;
    }
}

String toString(int32_t value) {
    std::wostringstream stream;
    stream << value;
    return String(stream.str().c_str());
}

bool operator==(const String& left, const String& right) {
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin());
}

bool operator==(const String& left, const char* right) {
    return left == String(right);
}

bool operator==(const char* left, const String& right) {
    return String(left) == right;
}

bool operator!=(const String& left, const String& right) {
    return !(left == right);
}

bool operator!=(const String& left, const char* right) {
    return !(left == right);
}

bool operator!=(const char* left, const String& right) {
    return !(left == right);
}

bool operator<(const String& left, const String& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](wchar_t a, wchar_t b) {
                                            return static_cast<uint16_t>(a) < static_cast<uint16_t>(b);
                                        });
}

String operator+(const String& left, const String& right) {
    String result;
    result += left;
    result += right;
    return result;
}

String operator+(const char* left, const String& right) {
    String result(left);
    result += right;
    return result;
}

std::ostream& operator<<(std::ostream& stream, const String& text) {
    const NarrowString bytes = text.toUtf8();
    return stream.write(bytes.text(), bytes.length());
}

std::wostream& operator<<(std::wostream& stream, const String& text) {
    return stream.write(text.text(), text.size());
}

} // namespace Tarvio
