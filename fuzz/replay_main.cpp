// Replays a fuzz target as an ordinary test, built with the ordinary compiler: every seed in
// the corpus folder given, then seeded pseudo-random inputs, half of them mutated seeds. The
// same inputs every run, so a failure repeats; a broken property aborts, and the input that
// broke it is printed first.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr int kGeneratedInputs = 4000;
constexpr size_t kMaxRandomLength = 1024;

using Input = std::vector<uint8_t>;

std::string currentName;
Input currentInput;

void printCurrentInput(int) {
    std::fprintf(stderr, "while replaying %s (%zu bytes):", currentName.c_str(),
                 currentInput.size());
    for (const uint8_t byte : currentInput) std::fprintf(stderr, " %02x", byte);
    std::fprintf(stderr, "\n");
}

void replay(std::string name, Input input) {
    currentName = std::move(name);
    currentInput = std::move(input);
    LLVMFuzzerTestOneInput(currentInput.data(), currentInput.size());
}

Input mutated(Input input, std::mt19937& random) {
    for (int edits = 1 + int(random() % 3); edits > 0; --edits) {
        const size_t at = input.empty() ? 0 : random() % input.size();
        switch (random() % 4) {
            case 0:
                if (!input.empty()) input[at] = uint8_t(random());
                break;
            case 1:
                input.insert(input.begin() + std::ptrdiff_t(at), uint8_t(random()));
                break;
            case 2:
                if (!input.empty()) input.erase(input.begin() + std::ptrdiff_t(at));
                break;
            default:  // repeat a stretch, as lists and long lines do
                input.insert(input.begin() + std::ptrdiff_t(at), input.begin(),
                             input.begin() + std::ptrdiff_t(at));
        }
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    std::signal(SIGABRT, printCurrentInput);
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 1;
    }
    std::vector<Input> seeds;
    for (const auto& path : paths) {
        std::ifstream file(path, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        replay(path.string(), seeds.back());
    }
    std::mt19937 random(20240205);
    for (int i = 0; i < kGeneratedInputs; ++i) {
        Input input;
        if (i % 2 == 0) {
            input = mutated(seeds[size_t(i / 2) % seeds.size()], random);
        } else {
            input.resize(random() % kMaxRandomLength);
            for (uint8_t& byte : input) byte = uint8_t(random());
        }
        replay("generated input " + std::to_string(i), std::move(input));
    }
    std::printf("%zu seeds and %d generated inputs keep every property\n", seeds.size(),
                kGeneratedInputs);
    return 0;
}
