#pragma once

#include "tarviolib/core/object.h"
#include "tarviolib/core/optional.h"
#include "tarviolib/core/result.h"
#include "tarviolib/core/string.h"
#include "tarviolib/core/weakptr.h"

#include <cstdint>

// The platform's key handle type (HKEY), without the whole platform header.
struct HKEY__;

namespace Tarvio::WinApi::Registry {

// Key paths are a root name ("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS", "HKEY_CURRENT_CONFIG", any letter case) followed by sub-key names, separated by "\"
// or "/". Every access works in the 64-bit view. An empty value name is the key's default value.
// Failures answer an empty Optional or false.

// An open key that owns its handle (a root key's predefined handle is never closed).
class Key : public Object {
public:
    Key(HKEY__* handle, String path, bool predefined);
    // Duplicates the handle with the same rights; throws Exception when that fails.
    Key(const Key& other);
    Key(Key&& other) noexcept;
    Key& operator=(const Key& other);
    Key& operator=(Key&& other) noexcept;
    ~Key();

    HKEY__* handle() const { return mHandle; }
    // The full path with "\" separators and the root as the caller spelled it.
    const String& path() const { return mPath; }
    bool isPredefined() const { return mPredefined; }

    Optional<Key> openSubKey(const String& name, uint32_t access) const;
    // Creates the key or opens an existing one, with full access; reports it as created either way.
    Optional<Key> createSubKey(const String& name) const;
    // The key must have no sub-keys.
    bool deleteSubKey(const String& name) const;
    bool deleteValue(const String& valueName) const;

    // REG_SZ or REG_EXPAND_SZ, the latter unexpanded.
    Optional<String> readString(const String& valueName) const;
    Optional<uint32_t> readDword(const String& valueName) const;
    bool writeString(const String& valueName, const String& text) const;
    bool writeDword(const String& valueName, uint32_t value) const;

private:
    void close() noexcept;

    HKEY__* mHandle = nullptr;
    String mPath;
    bool mPredefined = false;
};

// Told about every change the functions here make, on the thread that made it.
class Observer : public Polymorphic {
public:
    virtual void onKeyCreated(const String& keyPath) = 0;
    virtual void onKeyDeleted(const String& keyPath) = 0;
    virtual void onValueWritten(const String& keyPath, const String& valueName) = 0;
    virtual void onValueDeleted(const String& keyPath, const String& valueName) = 0;
};

// Any other name fails with "<name> is not a valid registry root key".
Result<Key> rootKey(const String& rootName);

// access is a platform access mask (KEY_QUERY_VALUE, ...).
Optional<Key> openKey(const String& path, uint32_t access);
// Creates the last key of the path only: its parent must exist.
Optional<Key> createKey(const String& path);
// The key must have no sub-keys.
bool deleteKey(const String& path);
bool keyExists(const String& path);
bool valueExists(const String& path, const String& valueName);
Optional<String> readString(const String& path, const String& valueName);
Optional<uint32_t> readDword(const String& path, const String& valueName);
// The key must exist: it is not created.
bool writeString(const String& path, const String& valueName, const String& text);
bool deleteValue(const String& path, const String& valueName);

// Held weakly: registering does not keep the observer alive, and a dead one is skipped. Dead
// entries leave the list at the next registration. Any thread may register; an observer
// registered while the observers are told hears from the next change on.
void addObserver(const WeakPtr<Observer>& observer);

} // namespace Tarvio::WinApi::Registry
