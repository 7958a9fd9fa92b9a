#pragma once

#include "tarviolib/core/array.h"

#include <utility>

namespace Tarvio {

// A map searched linearly and kept in insertion order; there is no removal.
template <typename Key, typename Value>
class FlatMap : public Object {
public:
    struct Entry {
        Key key;
        Value value;
    };

    // A missing key is appended with an empty value.
    Value& operator[](const Key& key) {
        for (Entry& entry : mEntries) {
            if (entry.key == key) {
                return entry.value;
            }
        }
        return mEntries.emplace(Entry{key, Value()}).value;
    }

    int32_t size() const { return mEntries.size(); }
    bool isEmpty() const { return mEntries.isEmpty(); }
    Entry* begin() { return mEntries.begin(); }
    Entry* end() { return mEntries.end(); }
    const Entry* begin() const { return mEntries.begin(); }
    const Entry* end() const { return mEntries.end(); }

private:
    Array<Entry> mEntries;
};

} // namespace Tarvio
