#include "SessionSupport.h"

#include "RenderSession.h"

#include <fstream>
#include <iterator>

namespace kettrix::render {

std::vector<uint8_t> readStateFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RenderError("cannot open state file '" + path + "'");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) throw RenderError("state file '" + path + "' is empty");
    return bytes;
}

void writeStateFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw RenderError("cannot write state file '" + path + "'");
}

void selectProgram(PluginInstance& plugin, int program) {
    const int32_t count = plugin.effect().numPrograms;
    if (program >= count)
        throw RenderError("--program " + std::to_string(program) + " is out of range: the plug-in has " +
                          std::to_string(count) + " program(s), numbered from 0");
    plugin.dispatch(effBeginSetProgram);
    plugin.dispatch(effSetProgram, 0, program);
    plugin.dispatch(effEndSetProgram);
}

ProgressLine::~ProgressLine() {
    if (enabled_ && shown_ >= 0) log_ << '\n';
}

void ProgressLine::update(int64_t done, int64_t total) {
    if (!enabled_ || total <= 0) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    log_ << "\rrendering " << percent << '%' << std::flush;
}

}  // namespace kettrix::render
