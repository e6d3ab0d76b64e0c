// A main for the fuzz targets without libFuzzer: runs the target once on
// every file given, or on every file of a directory given, in name order.
// The normal and the sanitizer test runs replay the seeds and the inputs of
// earlier findings this way.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    std::vector<fs::path> dateien;
    for (int i = 1; i < argc; ++i) {
        const fs::path pfad = fs::absolute(argv[i]);
        if (fs::is_directory(pfad)) {
            for (const auto& eintrag : fs::directory_iterator(pfad)) {
                if (eintrag.is_regular_file()) {
                    dateien.push_back(eintrag.path());
                }
            }
        } else if (fs::exists(pfad)) {
            dateien.push_back(pfad);
        }
    }
    std::sort(dateien.begin(), dateien.end());
    for (const fs::path& datei : dateien) {
        std::ifstream in(datei, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        std::printf("%s\n", datei.c_str());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs\n", dateien.size());
    return 0;
}
