// Kit texts through the parser that "kettrix-kit to-chunk" uses, then the
// chunk it writes read back as the plug-in reads one.
//
// Input: the text.
//
// Checks: no crash; a rejected text gets exactly one error of the form
// "<file>:<line>: <message>" with a line that exists in the text; an accepted
// text holds only values within range, its canonical text parses to the same
// kit, and its state chunk decodes to the same state.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzHost.h"
#include "kit/KitState.h"
#include "kit/KitText.h"
#include "kit/ParameterTable.h"

using namespace kettrix::kit;
using kettrix::fuzz::Require;

namespace {

constexpr std::string_view kFileName = "fuzzed.kit";

void CheckError(const std::string& error, std::string_view text) {
    const std::string prefix = std::string(kFileName) + ":";
    Require(error.compare(0, prefix.size(), prefix) == 0, "an error starts with the file name");
    std::size_t at = prefix.size();
    long line = 0;
    while (at < error.size() && error[at] >= '0' && error[at] <= '9' && line < 1000000000L)
        line = line * 10 + (error[at++] - '0');
    Require(at > prefix.size() && error.compare(at, 2, ": ") == 0, "an error names the line, then ': '");
    Require(error.size() > at + 2, "an error says what is wrong");
    const long lines = 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    Require(line >= 1 && line <= lines, "the line an error names exists in the text");
}

bool SameState(const KitState& a, const KitState& b) {
    if (a.names != b.names) return false;
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (!(a.values[i] == b.values[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const KitParseResult parsed = parseKitText(text, kFileName);
    if (!parsed.ok) {
        CheckError(parsed.error, text);
        return 0;
    }
    const KitState& state = parsed.kit.state;
    for (int i = 0; i < kParameterCount; ++i) {
        const double value = state.values[static_cast<std::size_t>(i)];
        Require(std::isfinite(value), "a parsed value is finite");
        Require(value >= parameterInfo(i).min && value <= parameterInfo(i).max, "a parsed value is within its range");
    }

    const KitParseResult again = parseKitText(writeKitText(parsed.kit), kFileName);
    Require(again.ok, "the canonical text of an accepted kit parses");
    Require(again.kit.kitName == parsed.kit.kitName && SameState(again.kit.state, state),
            "the canonical text gives the same kit");

    // "to-chunk": the bare state chunk, read back the way the plug-in reads it.
    const std::vector<std::uint8_t> chunk = encodeStateChunk(state);
    KitState decoded;
    Require(decodeStateChunk(chunk, 0, decoded) == static_cast<int>(chunk.size()), "the chunk decodes to its end");
    Require(SameState(decoded, state), "the chunk decodes to the parsed state");
    return 0;
}
