// The text of the LV2 bundle's two Turtle files, made from the plug-in's
// configuration, its parameter table and the port layout of plugin/Lv2Ports.h.
#pragma once

#include <string>

namespace kettrix::lv2 {

constexpr const char* kPluginTurtleName = "Kettrix4.ttl";

struct BundleText {
    std::string manifest;
    std::string plugin;
};

// `binary` is the module's file name inside the bundle.
BundleText MakeBundleText(const std::string& binary);

}  // namespace kettrix::lv2
