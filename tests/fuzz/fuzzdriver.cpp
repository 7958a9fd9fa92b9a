// Runs a fuzz target over every file of the folders (or files) given: the seed corpus as a
// regression test in builds without libFuzzer.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

void run(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root = argv[i];
        if (!std::filesystem::exists(root)) {
            std::cerr << root << " does not exist\n";
            return 1;
        }
        if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
                if (entry.is_regular_file()) {
                    run(entry.path());
                    ++count;
                }
            }
        } else {
            run(root);
            ++count;
        }
    }
    std::cout << count << " inputs ran\n";
    return count > 0 ? 0 : 1;
}
