// Writes the tag readers' part of the seed corpus from the tag tests' sample
// files: make_seeds FOLDER writes FOLDER/<target>/<name> files. The seeds of
// the other targets (lists, texts, settings as a user might edit them) are
// committed as they are.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tag_samples.h"

namespace {

using namespace zav2::build;

void write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const TagSample& sample : tagSamples()) {
        write(root / sample.target, sample.name, sample.bytes);
        if (sample.reader == zav2::readId3Title)
            write(root / "lyrics_picture", sample.name, sample.bytes);
    }
    return 0;
}
