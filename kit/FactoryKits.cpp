#include "kit/FactoryKits.h"

#include "kit/KitText.h"

namespace kettrix::kit {

FactoryKits buildFactoryKits() {
    FactoryKits result;
    for (const FactoryKitSource& source : factoryKitSources()) {
        const KitParseResult parsed = parseKitText(std::string_view(source.text, source.size), source.fileName);
        if (!parsed.ok) {
            result.errors.push_back(parsed.error);
            continue;
        }
        result.kits.push_back({parsed.kit.kitName, encodeStateChunk(parsed.kit.state)});
    }
    return result;
}

}  // namespace kettrix::kit
