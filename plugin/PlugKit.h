// The kit model on the plug-in base: defining the 1393 parameters on an
// IPlugBase, the store adapter the KitModel works through, the state chunk
// read and written through the base's chunk and parameter operations, and the
// filling of the preset slots with the factory kits.
#pragma once

#include "base/IPlugBase.h"
#include "kit/KitModel.h"
#include "kit/ParameterStore.h"

namespace kettrix {

// Defines every parameter of the table on `plug` (switches, integers and
// continuous parameters with their names, ranges, steps and defaults; sounds
// 1-9 keep fresh objects at their seven envelope-editor offsets).
void defineKitParameters(IPlugBase& plug);

// ParameterStore over the plug-in's parameter objects and presets.
class PlugParameterStore final : public kit::ParameterStore {
public:
    explicit PlugParameterStore(IPlugBase& plug) : plug_(plug) {}
    double value(int index) const override;
    void setValue(int index, double plain) override;
    void notifyChanged(int index) override { plug_.ParameterChanged(index); }
    void storeCurrentPreset() override { plug_.ModifyCurrentPreset(); }
    void dumpPresetSource() override { plug_.DumpPresetSource(); }

private:
    IPlugBase& plug_;
};

// SerializeState: the ten names, then every parameter value.
bool serializeKitState(const kit::KitModel& kit, IPlugBase& plug, Chunk& chunk);
// UnserializeState: the names with their partial-read rules, then
// UnserializeParams from where they ended. Returns the end position or -1.
int unserializeKitState(kit::KitModel& kit, IPlugBase& plug, const Chunk& chunk, int start);
// Where unserializeKitState would end (-1: the state cannot be read whole),
// found by decoding the chunk into a scratch kit.
int kitStateEnd(const Chunk& chunk, int start);

// Construction: the factory kits into slots 0-33, "Empty" loaded, the other
// slots filled with it under the name "-", then "Electronic 1" loaded.
void fillFactoryPresets(IPlugBase& plug);

}  // namespace kettrix
