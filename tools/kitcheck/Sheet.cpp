#include "Sheet.h"

#include "Sonogram.h"

#include <algorithm>
#include <cmath>

namespace kettrix::kitcheck {

namespace {

constexpr int kPanelWidth = 160;
constexpr int kPanelHeight = 96;
constexpr int kGap = 3;
constexpr int kColumns = 5;
constexpr int kRows = 2;
constexpr double kPanelSeconds = 2.0;

}  // namespace

bool writeKitSheet(const std::string& path, const std::array<MonoHit, 10>& hits, double sampleRate) {
    audition::RgbImage sheet;
    sheet.width = kColumns * kPanelWidth + (kColumns + 1) * kGap;
    sheet.height = kRows * kPanelHeight + (kRows + 1) * kGap;
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 96);  // grey frame

    audition::SpectrogramSettings settings;
    settings.frameSize = 2048;
    settings.height = kPanelHeight;
    settings.width = kPanelWidth;
    settings.minHz = 30.0;
    settings.maxHz = 20000.0;
    settings.sampleRate = sampleRate;
    const auto length = static_cast<std::size_t>(kPanelSeconds * sampleRate);
    for (std::size_t i = 0; i < hits.size(); ++i) {
        std::vector<double> signal(length, 0.0);
        std::copy_n(hits[i].samples.begin(), std::min(length, hits[i].samples.size()), signal.begin());
        // Each panel at its own level: the picture shows the shape of the
        // sound, the report its loudness.
        double peak = 0.0;
        for (double v : signal) peak = std::max(peak, std::fabs(v));
        if (peak > 0.0)
            for (double& v : signal) v /= peak;
        const audition::RgbImage panel = audition::renderSpectrogram(signal, settings);
        const int left = kGap + static_cast<int>(i % kColumns) * (kPanelWidth + kGap);
        const int top = kGap + static_cast<int>(i / kColumns) * (kPanelHeight + kGap);
        for (int y = 0; y < panel.height; ++y) {
            const auto from = panel.rgb.begin() + static_cast<std::ptrdiff_t>(y) * panel.width * 3;
            const auto to = static_cast<std::ptrdiff_t>((top + y) * sheet.width + left) * 3;
            std::copy(from, from + panel.width * 3, sheet.rgb.begin() + to);
        }
    }
    return audition::writePng(path, sheet);
}

}  // namespace kettrix::kitcheck
