// kettrix-kit: the kit text <-> state chunk converter.
//
//   kettrix-kit to-text  <chunk file> [--name <kit name>] [-o <kit file>]
//   kettrix-kit to-chunk <kit file> -o <chunk file> [--program]
//   kettrix-kit check    <kit file>...
//
// A chunk file may hold a bare state chunk or a program chunk as a host saves
// it ('pfft', the framework version, then the state chunk).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "kit/KitState.h"
#include "kit/KitText.h"

using namespace kettrix::kit;

namespace {

constexpr std::int32_t kProgramMagic = 0x70666674;  // 'pfft'
constexpr std::int32_t kFrameworkVersion = 0x00010000;

int usage() {
    std::cerr << "usage:\n"
                 "  kettrix-kit to-text  <chunk file> [--name <kit name>] [-o <kit file>]\n"
                 "  kettrix-kit to-chunk <kit file> -o <chunk file> [--program]\n"
                 "  kettrix-kit check    <kit file>...\n";
    return 2;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    std::string name;
    bool program = false;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-o" || arg == "--name") && i + 1 < argc) {
            (arg == "-o" ? options.output : options.name) = argv[++i];
        } else if (arg == "--program") {
            options.program = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "kettrix-kit: unknown option " << arg << "\n";
            return false;
        } else {
            options.inputs.push_back(arg);
        }
    }
    return true;
}

int toText(const Options& options) {
    if (options.inputs.size() != 1) return usage();
    const auto file = readFile(options.inputs[0]);
    if (!file) {
        std::cerr << "kettrix-kit: cannot read " << options.inputs[0] << "\n";
        return 1;
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file->data()), file->size());
    int start = 0;
    if (bytes.size() >= 8 && loadInt32(bytes.data()) == kProgramMagic) start = 8;
    KitText kit;
    kit.kitName = options.name;
    const int end = decodeStateChunk(bytes, start, kit.state);
    if (end < 0) {
        std::cerr << "kettrix-kit: " << options.inputs[0] << " is not a complete state chunk\n";
        return 1;
    }
    if (static_cast<std::size_t>(end) != bytes.size())
        std::cerr << "kettrix-kit: " << options.inputs[0] << ": " << bytes.size() - static_cast<std::size_t>(end)
                  << " bytes after the state ignored\n";
    const std::string text = writeKitText(kit);
    if (options.output.empty()) {
        std::cout << text;
        return 0;
    }
    return writeFile(options.output, text.data(), text.size()) ? 0 : 1;
}

int toChunk(const Options& options) {
    if (options.inputs.size() != 1 || options.output.empty()) return usage();
    const auto text = readFile(options.inputs[0]);
    if (!text) {
        std::cerr << "kettrix-kit: cannot read " << options.inputs[0] << "\n";
        return 1;
    }
    const KitParseResult parsed = parseKitText(*text, options.inputs[0]);
    if (!parsed.ok) {
        std::cerr << parsed.error << "\n";
        return 1;
    }
    std::vector<std::uint8_t> chunk;
    if (options.program) {
        appendInt32(chunk, kProgramMagic);
        appendInt32(chunk, kFrameworkVersion);
    }
    appendStateChunk(parsed.kit.state, chunk);
    if (!writeFile(options.output, chunk.data(), chunk.size())) {
        std::cerr << "kettrix-kit: cannot write " << options.output << "\n";
        return 1;
    }
    return 0;
}

int check(const Options& options) {
    if (options.inputs.empty()) return usage();
    int failures = 0;
    for (const std::string& path : options.inputs) {
        const auto text = readFile(path);
        const KitParseResult parsed =
            text ? parseKitText(*text, path) : KitParseResult{false, {}, path + ": cannot read"};
        if (!parsed.ok) {
            std::cerr << parsed.error << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    Options options;
    if (!parseOptions(argc, argv, options)) return usage();
    const std::string command = argv[1];
    if (command == "to-text") return toText(options);
    if (command == "to-chunk") return toChunk(options);
    if (command == "check") return check(options);
    return usage();
}
