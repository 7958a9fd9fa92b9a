// packwriter [--seed N] OUTPUT [--method auto|stored|compressed] [ROOT | --file NAME FILE]...
// Packs every file under each ROOT, named by its path below the ROOT with "/" separators, in
// byte order of the names, root after root (a name in two roots is written twice: the later
// record wins when the pack is read). --file adds one FILE under NAME exactly as given, for the
// packs of the tests, whose names no folder tree can hold. --method applies to the roots and
// files after it; auto compresses a file when that makes it smaller.

#include "tools/packwriter/packwriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Tarvio::PackWriter;

namespace {

enum class Method { Automatic, Stored, Compressed };

[[noreturn]] void usage() {
    std::cerr << "usage: packwriter [--seed N] OUTPUT [--method auto|stored|compressed] [ROOT | --file NAME FILE]...\n";
    std::exit(2);
}

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes;
}

PackWriter::Record makeRecord(Method method, std::string name, const std::vector<uint8_t>& content) {
    switch (method) {
    case Method::Stored:
        return PackWriter::stored(std::move(name), content);
    case Method::Compressed:
        return PackWriter::compressed(std::move(name), content);
    case Method::Automatic:
        break;
    }
    return PackWriter::automatic(std::move(name), content);
}

void addRoot(PackWriter& writer, const fs::path& root, Method method) {
    if (!fs::is_directory(root)) {
        throw std::runtime_error("not a folder: " + root.string());
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().lexically_relative(root).generic_string());
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        writer.add(makeRecord(method, name, readFile(root / name)));
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    uint32_t seed = PackWriter::DefaultSeed;
    std::size_t i = 0;
    if (args.size() >= 2 && args[0] == "--seed") {
        seed = static_cast<uint32_t>(std::stoul(args[1], nullptr, 0));
        i = 2;
    }
    if (i >= args.size()) {
        usage();
    }
    const fs::path output = args[i++];
    // Written beside the target and renamed at the end, so a failed run leaves no pack behind.
    const fs::path partial = output.string() + ".partial";
    try {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw std::runtime_error("cannot create " + partial.string());
        }
        PackWriter writer(out, seed);
        Method method = Method::Automatic;
        for (; i < args.size(); ++i) {
            if (args[i] == "--method") {
                if (++i >= args.size()) {
                    usage();
                }
                const std::string& name = args[i];
                if (name == "auto") {
                    method = Method::Automatic;
                } else if (name == "stored") {
                    method = Method::Stored;
                } else if (name == "compressed") {
                    method = Method::Compressed;
                } else {
                    usage();
                }
            } else if (args[i] == "--file") {
                if (i + 2 >= args.size()) {
                    usage();
                }
                writer.add(makeRecord(method, args[i + 1], readFile(args[i + 2])));
                i += 2;
            } else {
                addRoot(writer, args[i], method);
            }
        }
        writer.finish();
        out.close();
        fs::rename(partial, output);
    } catch (const std::exception& error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        std::cerr << "packwriter: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
