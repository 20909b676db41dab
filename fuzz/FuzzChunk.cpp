// Program chunks (effSetChunk index 1) and bank chunks (index 0) through the
// real dispatcher, then a short render and effGetChunk.
//
// Input: one selector byte (bit 0 set: program chunk, clear: bank chunk),
// then the chunk exactly as a host would hand it over.
//
// Checks: no crash and no read outside the chunk (sanitizers); every
// parameter finite and within its range afterwards; finite output; a chunk
// that was accepted serialises back to a chunk that is accepted again. (Not
// always to the same bytes: loading runs the parameter changes in index
// order, and a key-range chain such as an unset user key taking the patch
// key can settle differently on the second load of a hostile chunk.)
#include <cstddef>
#include <cstdint>

#include "FuzzHost.h"

using namespace kettrix::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in({data, size});
    const std::int32_t index = (in.u8() & 1) != 0 ? 1 : 0;
    const auto chunk = in.rest();

    FuzzedPlugin& plugin = FuzzedPlugin::Shared();
    const bool accepted = plugin.setChunk(index, chunk);
    plugin.requireSaneParameters();
    PlayShortPattern(plugin);

    const auto saved = plugin.getChunk(index);
    Require(!saved.empty(), "the plug-in always hands out a chunk");
    if (accepted) {
        Require(plugin.setChunk(index, saved), "an accepted chunk serialises to a chunk that is accepted again");
        Require(!plugin.getChunk(index).empty(), "the re-read chunk serialises again");
        plugin.render(256);
    }
    return 0;
}
