#pragma once

#include "tarviolib/core/exception.h"
#include "tarviolib/core/string.h"
#include "tarviolib/io/path.h"
#include "tarviolib/io/stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace Tarvio::Io::Testing {

inline Path toPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return Path(String(path.wstring().c_str()));
#else
    return Path(String::fromUtf8(path.string().c_str()));
#endif
}

inline std::filesystem::path toFilesystemPath(const Path& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toNative().text());
#else
    return std::filesystem::path(path.toString().toUtf8().text());
#endif
}

// A new folder under the system's temporary folder, removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::random_device random;
        do {
            mPath = std::filesystem::temp_directory_path() / ("tarvio-io-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(mPath));
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    // No trailing separator.
    Path path() const { return toPath(mPath); }
    Path operator/(const char* name) const { return path() / name; }

private:
    std::filesystem::path mPath;
};

inline void writeBytes(const Path& path, const std::string& bytes) {
    std::ofstream(toFilesystemPath(path), std::ios::binary) << bytes;
}

inline std::string readBytes(const Path& path) {
    std::ifstream file(toFilesystemPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Collects what is written into a string the test keeps.
class StringOutputStream : public BinaryOutputStream {
public:
    explicit StringOutputStream(std::string& bytes) : mBytes(bytes) {}
    void flush() override { ++mFlushes; }
    int32_t flushes() const { return mFlushes; }

protected:
    void writeImpl(const void* data, int64_t size) override {
        mBytes.append(static_cast<const char*>(data), static_cast<std::size_t>(size));
    }

private:
    std::string& mBytes;
    int32_t mFlushes = 0;
};

// A non-seekable stream over a string: put-back goes through the buffer of BinaryInputStream.
class StringInputStream : public BinaryInputStream {
public:
    explicit StringInputStream(std::string bytes) : mBytes(std::move(bytes)) {}
    int32_t readCalls() const { return mReadCalls; }

protected:
    int64_t readImpl(void* data, int64_t size) override {
        ++mReadCalls;
        const std::size_t count = std::min(static_cast<std::size_t>(size), mBytes.size() - mPosition);
        mBytes.copy(static_cast<char*>(data), count, mPosition);
        mPosition += count;
        mEof = count < static_cast<std::size_t>(size);
        return static_cast<int64_t>(count);
    }
    bool isEofImpl() const override { return mEof; }

private:
    std::string mBytes;
    std::size_t mPosition = 0;
    bool mEof = false;
    int32_t mReadCalls = 0;
};

// call() must throw an Exception with exactly this message.
template <typename Call>
void expectThrowsMessage(Call call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const Exception& e) {
        EXPECT_EQ(e.what(), message);
    }
}

inline std::string narrow(const String& text) { return text.toUtf8().text(); }

} // namespace Tarvio::Io::Testing
