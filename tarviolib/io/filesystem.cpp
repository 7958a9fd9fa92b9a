#include "tarviolib/io/filesystem.h"

#include "tarviolib/core/observerlist.h"
#include "tarviolib/io/detail/platformfiles.h"
#include "tarviolib/io/filestream.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace Tarvio::Io {

namespace {

ObserverList<FileSystemObserver>& observers() {
    static ObserverList<FileSystemObserver> list;
    return list;
}

void reportDirectoryCreated(const Path& directory) {
    observers().notify([&](FileSystemObserver& observer) { observer.onDirectoryCreated(directory); });
}

} // namespace

bool isDirectory(const Path& path) { return Detail::pathKind(path) == Detail::PathKind::Directory; }

bool isFile(const Path& path) { return Detail::pathKind(path) == Detail::PathKind::File; }

bool isMissingOrEmptyFile(const Path& path) { return !isFile(path) || fileSize(path) == 0; }

int64_t fileSize(const Path& path) { return Detail::fileSize(path); }

bool copyFile(const Path& source, const Path& target, bool overwrite) {
    if (isFile(target)) {
        // Replacing a file by itself would truncate it before it is read.
        if (!overwrite || source.absolute() == target.absolute()) {
            return false;
        }
    }
    FileInputStream in(source);
    copyStreamToFile(in, target, [](int64_t) {});
    in.close();
    return isFile(target) && fileSize(target) == fileSize(source);
}

bool moveFile(const Path& source, const Path& target, bool overwrite) {
    if (isFile(target) && !overwrite) {
        return false;
    }
    // Virus scanners and the search indexer open a file that has just been written, and a rename
    // fails while they read it: a busy move is tried again for a while, after short pauses that
    // grow, the last try at the end of that time.
    constexpr std::chrono::milliseconds BusyTime(2000);
    constexpr std::chrono::milliseconds LongestPause(250);
    const auto deadline = std::chrono::steady_clock::now() + BusyTime;
    std::chrono::milliseconds pause(10);
    for (;;) {
        const Detail::MoveResult result = Detail::moveFile(source, target);
        if (result != Detail::MoveResult::Busy) {
            return result == Detail::MoveResult::Moved;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= left.zero()) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, left));
        pause = std::min(pause * 2, LongestPause);
    }
}

bool removeFile(const Path& path) { return Detail::removeFile(path); }

bool removeDirectory(const Path& path) { return Detail::removeDirectory(path); }

bool createDirectories(const Path& path) {
    String rest = path.toString() + L"/";
    String prefix;
    if (rest[0] == L'/') {
        prefix = L"/";
        rest.erase(0, 1);
    }
    for (int32_t start = 0, separator; (separator = rest.find(L"/", start)) != String::NotFound;
         start = separator + 1) {
        prefix += rest.substr(start, separator + 1 - start);
        if (Detail::pathKind(prefix) == Detail::PathKind::Directory) {
            continue;
        }
        if (!Detail::createDirectory(prefix)) {
            return false;
        }
        reportDirectoryCreated(prefix);
    }
    return true;
}

void addFileSystemObserver(WeakPtr<FileSystemObserver> observer) {
    observers().add(std::move(observer));
}

} // namespace Tarvio::Io
