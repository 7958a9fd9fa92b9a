#include "tarviolib/winapi/registry.h"

#include "tarviolib/core/array.h"
#include "tarviolib/core/buffer.h"
#include "tarviolib/core/exception.h"
#include "tarviolib/core/observerlist.h"
#include "tarviolib/core/sharedptr.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace Tarvio::WinApi::Registry {

namespace {

ObserverList<Observer>& observers() {
    static ObserverList<Observer> list;
    return list;
}

template <typename Notify>
void notifyObservers(Notify notify) {
    observers().notify(notify);
}

String withBackslashes(const String& text) {
    String result = text;
    result.replaceAll(L"/", L"\\");
    return result;
}

bool equalsIgnoringAsciiCase(const String& text, const wchar_t* upperCase) {
    int32_t i = 0;
    for (; i < text.size() && upperCase[i] != L'\0'; ++i) {
        const wchar_t unit = text[i];
        if ((unit >= L'a' && unit <= L'z' ? unit - (L'a' - L'A') : unit) != upperCase[i]) {
            return false;
        }
    }
    return i == text.size() && upperCase[i] == L'\0';
}

String subKeyPath(const String& parentPath, const String& name) {
    return parentPath + L"\\" + name;
}

// The value's type and bytes, into data of size bytes; false when it does not fit or is missing.
bool queryValue(HKEY key, const String& valueName, DWORD* type, void* data, DWORD* size) {
    return RegQueryValueExW(key, valueName.text(), nullptr, type, static_cast<BYTE*>(data), size) == ERROR_SUCCESS;
}

bool setValue(const Key& key, const String& valueName, DWORD type, const void* data, DWORD size) {
    if (RegSetValueExW(key.handle(), valueName.text(), 0, type, static_cast<const BYTE*>(data), size) !=
        ERROR_SUCCESS) {
        return false;
    }
    notifyObservers([&](Observer& observer) { observer.onValueWritten(key.path(), valueName); });
    return true;
}

} // namespace

Key::Key(HKEY handle, String path, bool predefined)
    : mHandle(handle), mPath(std::move(path)), mPredefined(predefined) {}

Key::Key(const Key& other) : mPath(other.mPath), mPredefined(other.mPredefined) {
    if (mPredefined) {
        mHandle = other.mHandle;
        return;
    }
    HANDLE duplicate = nullptr;
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, other.mHandle, process, &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        throwException(L"Failed to duplicate a registry key handle.");
    }
    mHandle = static_cast<HKEY>(duplicate);
}

Key::Key(Key&& other) noexcept
    : mHandle(std::exchange(other.mHandle, nullptr)), mPath(std::move(other.mPath)), mPredefined(other.mPredefined) {}

Key& Key::operator=(const Key& other) {
    if (this != &other) {
        Key copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Key& Key::operator=(Key&& other) noexcept {
    if (this != &other) {
        close();
        mHandle = std::exchange(other.mHandle, nullptr);
        mPath = std::move(other.mPath);
        mPredefined = other.mPredefined;
    }
    return *this;
}

Key::~Key() {
    close();
}

void Key::close() noexcept {
    if (mHandle != nullptr && !mPredefined) {
        RegCloseKey(mHandle);
    }
    mHandle = nullptr;
}

Optional<Key> Key::openSubKey(const String& name, uint32_t access) const {
    const String subKey = withBackslashes(name);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(mHandle, subKey.text(), 0, access | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
        return {};
    }
    return Key(opened, subKeyPath(mPath, subKey), false);
}

Optional<Key> Key::createSubKey(const String& name) const {
    // The platform answers an empty name with this key itself, which was not created.
    if (name.isEmpty()) {
        return {};
    }
    HKEY created = nullptr;
    if (RegCreateKeyExW(mHandle, name.text(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                        nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    Key key(created, subKeyPath(mPath, name), false);
    notifyObservers([&](Observer& observer) { observer.onKeyCreated(key.path()); });
    return key;
}

bool Key::deleteSubKey(const String& name) const {
    const String subKey = withBackslashes(name);
    // An empty name would delete this key itself and report it under a wrong path.
    if (subKey.isEmpty() || RegDeleteKeyExW(mHandle, subKey.text(), KEY_WOW64_64KEY, 0) != ERROR_SUCCESS) {
        return false;
    }
    const String deletedPath = subKeyPath(mPath, subKey);
    notifyObservers([&](Observer& observer) { observer.onKeyDeleted(deletedPath); });
    return true;
}

bool Key::deleteValue(const String& valueName) const {
    if (RegDeleteKeyValueW(mHandle, nullptr, valueName.text()) != ERROR_SUCCESS) {
        return false;
    }
    notifyObservers([&](Observer& observer) { observer.onValueDeleted(mPath, valueName); });
    return true;
}

Optional<String> Key::readString(const String& valueName) const {
    DWORD size = 0;
    if (!queryValue(mHandle, valueName, nullptr, nullptr, &size)) {
        return {};
    }
    // Whole units, with at least one zero unit after the data even for an odd byte count. The
    // query may fill only the first size bytes, so a value that grew since cannot reach the zeros.
    Buffer<wchar_t> units(static_cast<int32_t>(size / 2 + 2));
    std::fill(units.data(), units.data() + units.size(), L'\0');
    DWORD type = REG_NONE;
    if (!queryValue(mHandle, valueName, &type, units.data(), &size)) {
        return {};
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return {};
    }
    return String(units.data());
}

Optional<uint32_t> Key::readDword(const String& valueName) const {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    if (!queryValue(mHandle, valueName, &type, &value, &size) || type != REG_DWORD) {
        return {};
    }
    return static_cast<uint32_t>(value);
}

bool Key::writeString(const String& valueName, const String& text) const {
    const DWORD size = static_cast<DWORD>(sizeof(wchar_t) * (static_cast<DWORD>(text.size()) + 1));
    return setValue(*this, valueName, REG_SZ, text.text(), size);
}

bool Key::writeDword(const String& valueName, uint32_t value) const {
    const DWORD data = value;
    return setValue(*this, valueName, REG_DWORD, &data, sizeof(data));
}

Result<Key> rootKey(const String& rootName) {
    static const struct {
        const wchar_t* name;
        HKEY handle;
    } roots[] = {
        {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
        {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    for (const auto& root : roots) {
        if (equalsIgnoringAsciiCase(rootName, root.name)) {
            return Key(root.handle, rootName, true);
        }
    }
    return Result<Key>::fromError(rootName + L" is not a valid registry root key");
}

Optional<Key> openKey(const String& path, uint32_t access) {
    const String keyPath = withBackslashes(path);
    const int32_t separator = keyPath.find(L"\\");
    Result<Key> root = rootKey(keyPath.substr(0, separator));
    if (!root.ok()) {
        return {};
    }
    if (separator == String::NotFound) {
        return std::move(root.value());
    }
    return root.value().openSubKey(keyPath.substr(separator + 1), access);
}

Optional<Key> createKey(const String& path) {
    const String keyPath = withBackslashes(path);
    const int32_t separator = keyPath.findLast(L'\\');
    if (separator == String::NotFound) {
        return {};
    }
    const Optional<Key> parent = openKey(keyPath.substr(0, separator), KEY_CREATE_SUB_KEY);
    if (!parent) {
        return {};
    }
    return parent->createSubKey(keyPath.substr(separator + 1));
}

bool deleteKey(const String& path) {
    const String keyPath = withBackslashes(path);
    const int32_t separator = keyPath.find(L"\\");
    if (separator == String::NotFound) {
        return false;
    }
    const Result<Key> root = rootKey(keyPath.substr(0, separator));
    return root.ok() && root.value().deleteSubKey(keyPath.substr(separator + 1));
}

bool keyExists(const String& path) {
    return openKey(path, KEY_QUERY_VALUE).hasValue();
}

bool valueExists(const String& path, const String& valueName) {
    const Optional<Key> key = openKey(path, KEY_QUERY_VALUE);
    return key && queryValue(key->handle(), valueName, nullptr, nullptr, nullptr);
}

Optional<String> readString(const String& path, const String& valueName) {
    const Optional<Key> key = openKey(path, KEY_QUERY_VALUE);
    return key ? key->readString(valueName) : Optional<String>();
}

Optional<uint32_t> readDword(const String& path, const String& valueName) {
    const Optional<Key> key = openKey(path, KEY_QUERY_VALUE);
    return key ? key->readDword(valueName) : Optional<uint32_t>();
}

bool writeString(const String& path, const String& valueName, const String& text) {
    const Optional<Key> key = openKey(path, KEY_SET_VALUE);
    return key && key->writeString(valueName, text);
}

bool deleteValue(const String& path, const String& valueName) {
    const Optional<Key> key = openKey(path, KEY_SET_VALUE);
    return key && key->deleteValue(valueName);
}

void addObserver(const WeakPtr<Observer>& observer) {
    observers().add(observer);
}

} // namespace Tarvio::WinApi::Registry
