#include "plugin/PlugKit.h"

#include "base/Base64.h"
#include "kit/FactoryKits.h"

namespace kettrix {

using kit::ParamInfo;
using kit::ParamKind;

void defineKitParameters(IPlugBase& plug) {
    for (int index = 0; index < layout::kParameterCount && index < plug.NParams(); ++index) {
        const ParamInfo& info = kit::parameterInfo(index);
        Param* param = plug.ParamAt(index);
        switch (info.kind) {
            case ParamKind::None:
                break;  // stays a fresh object
            case ParamKind::Switch:
                param->DefineSwitch(info.name.c_str(), info.defaultValue != 0.0);
                break;
            case ParamKind::Integer:
                param->DefineInteger(info.name.c_str(), static_cast<int>(info.defaultValue), 0,
                                     static_cast<int>(info.max));
                break;
            case ParamKind::Continuous:
                param->DefineContinuous(info.name.c_str(), info.defaultValue, info.min, info.max, info.step);
                break;
        }
    }
}

double PlugParameterStore::value(int index) const {
    const Param* param = plug_.ParamAt(index);
    return param ? param->Value() : 0.0;
}

void PlugParameterStore::setValue(int index, double plain) {
    if (Param* param = plug_.ParamAt(index)) param->SetPlain(kit::clampToRange(index, plain));
}

bool serializeKitState(const kit::KitModel& kit, IPlugBase& plug, Chunk& chunk) {
    PlugLockGuard guard(plug.Lock());
    for (const std::string& name : kit.soundNames()) chunk.PutStr(name);
    return plug.SerializeParams(chunk);
}

int unserializeKitState(kit::KitModel& kit, IPlugBase& plug, const Chunk& chunk, int start) {
    PlugLockGuard guard(plug.Lock());
    const std::span<const std::uint8_t> bytes(chunk.Data(), static_cast<std::size_t>(chunk.Size()));
    const int position = kit.readSoundNames(bytes, start);
    return plug.UnserializeParams(chunk, position);
}

int kitStateEnd(const Chunk& chunk, int start) {
    const std::span<const std::uint8_t> bytes(chunk.Data(), static_cast<std::size_t>(chunk.Size()));
    kit::KitState scratch;
    return kit::decodeStateChunk(bytes, start, scratch);
}

void fillFactoryPresets(IPlugBase& plug) {
    const kit::FactoryKits factory = kit::buildFactoryKits();
    for (const kit::FactoryKit& kit : factory.kits) {
        const std::string text = Base64Encode(kit.chunk.data(), kit.chunk.size());
        plug.MakePresetFromBlob(kit.name.c_str(), text.c_str(), static_cast<int>(kit.chunk.size()));
    }
    plug.LoadPreset(static_cast<int>(factory.kits.size()) - 1);  // "Empty", the last kit
    plug.FillEmptyPresets("-", plug.NPresets());
    plug.LoadPreset(0);
}

}  // namespace kettrix
