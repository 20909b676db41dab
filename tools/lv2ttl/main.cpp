// kettrix-lv2-ttl: writes the LV2 bundle's manifest.ttl and Kettrix4.ttl
// from the plug-in's configuration and parameter table, so the ports the
// host reads are always the ones the module has.
//   kettrix-lv2-ttl <bundle folder> <module file name>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "LV2Turtle.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kettrix-lv2-ttl <bundle folder> <module file name>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::string binary = argv[2];
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::cerr << "kettrix-lv2-ttl: cannot write " << folder << "/" << name << "\n";
            return false;
        }
        return true;
    };
    const kettrix::lv2::BundleText bundle = kettrix::lv2::MakeBundleText(binary);
    return write("manifest.ttl", bundle.manifest) && write(kettrix::lv2::kPluginTurtleName, bundle.plugin) ? 0 : 1;
}
