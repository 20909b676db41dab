// The parameter store as the kit model sees it: plain values by index, and
// the plug-in's own parameter-change operation. The plug-in implements it on
// its parameter objects (PlugParameterStore); tests may use a plain array.
#pragma once

namespace kettrix::kit {

class ParameterStore {
public:
    virtual ~ParameterStore() = default;

    // Plain value of the parameter at `index` (0-1392).
    virtual double value(int index) const = 0;
    // Stores `plain` clamped to the parameter's range; runs nothing.
    virtual void setValue(int index, double plain) = 0;
    // Runs the plug-in's parameter-change operation for `index` (which takes
    // the plug-in lock and ends in KitModel::parameterChanged).
    virtual void notifyChanged(int index) = 0;
    // Writes the current state back into the current preset slot.
    virtual void storeCurrentPreset() = 0;
    // Developer aid: writes every preset as a creation line to "TEST.txt".
    virtual void dumpPresetSource() = 0;
};

}  // namespace kettrix::kit
