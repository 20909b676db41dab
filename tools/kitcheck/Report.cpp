#include "Report.h"

#include "Targets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kettrix::kitcheck {

namespace {

std::string fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string lufs(const HitMeasures& m) { return m.silent ? "silent" : fixed(m.loudness, 1); }
std::string hz(double value) { return value > 0 ? fixed(value, 0) : "-"; }

std::string join(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
    return out;
}

std::string verdict(const SoundResult& s) {
    if (!s.failed.empty()) return "FAIL " + join(s.failed, ", ");
    if (!s.allowed.empty()) return "pass (allowed: " + join(s.allowed, ", ") + ")";
    return "pass";
}

// Loudest and quietest used sound relative to the kit's median.
std::pair<double, double> spread(const KitResult& kit) {
    double low = 0.0, high = 0.0;
    for (const SoundResult& s : kit.sounds) {
        if (s.unused || s.at127.silent) continue;
        low = std::min(low, s.at127.loudness - kit.median);
        high = std::max(high, s.at127.loudness - kit.median);
    }
    return {low, high};
}

std::string mainVelocityDrops(const KitResult& kit) {
    std::string out;
    for (int i : {0, 2, 4}) {
        const SoundResult& s = kit.sounds[static_cast<std::size_t>(i)];
        out +=
            (out.empty() ? "" : " / ") + (s.unused || s.at127.silent ? std::string("-") : fixed(s.velocityDrop(), 1));
    }
    return out;
}

}  // namespace

bool writeMarkdownReport(const std::string& path, const std::vector<KitResult>& kits) {
    std::ostringstream md;
    int failing = 0;
    for (const KitResult& k : kits) failing += k.failures.empty() ? 0 : 1;
    md << "# Factory kit report\n\n"
       << "Written by `kettrix-kitcheck`: every sound of every kit played through the plug-in at velocities 127 and "
          "64 (0.1 s notes, 44.1 kHz). Loudness is the maximum momentary loudness (ITU-R BS.1770, libebur128); "
          "centroid the energy-weighted mean frequency up to the decay point; decay the time from the note to the "
          "last 5 ms stretch within 60 dB of the loudest; f0 the strongest peak after the attack where it holds at "
          "least a quarter of the energy. Sounds are numbered 1 to 10 as in the kit texts.\n\n"
       << "Kits failing a check: " << failing << " of " << kits.size() << ".\n\n"
       << "| kit | median LUFS | spread LU (min / max) | velocity drop LU (1 / 3 / 5) | groove peak dBFS | checks |\n"
       << "|---|---|---|---|---|---|\n";
    for (const KitResult& k : kits) {
        const auto [low, high] = spread(k);
        md << "| " << k.name << " | " << (k.silentKit() ? "silent" : fixed(k.median, 1)) << " | "
           << (k.silentKit() ? "-" : fixed(low, 1) + " / +" + fixed(high, 1)) << " | "
           << (k.silentKit() ? "-" : mainVelocityDrops(k)) << " | "
           << (k.groovePeakDb < -200 ? "silent" : fixed(k.groovePeakDb, 2)) << " | "
           << (k.failures.empty() ? "pass" : "FAIL (" + std::to_string(k.failures.size()) + ")") << " |\n";
    }
    for (const KitResult& k : kits) {
        md << "\n## " << k.name << "\n\n![" << k.name << "](sheets/" << k.fileStem << ".png)\n\n"
           << "| # | sound | LUFS 127 | LUFS 64 | drop LU | peak dBFS | centroid Hz (64) | decay s (64) | f0 Hz | "
              "checks |\n|---|---|---|---|---|---|---|---|---|---|\n";
        for (std::size_t i = 0; i < k.sounds.size(); ++i) {
            const SoundResult& s = k.sounds[i];
            md << "| " << i + 1 << " | " << s.name << (s.unused ? " (unused)" : "") << " | " << lufs(s.at127) << " | "
               << lufs(s.at64) << " | " << (s.at127.silent ? "-" : fixed(s.velocityDrop(), 1)) << " | "
               << (s.at127.silent ? "-" : fixed(s.at127.peakDb, 1)) << " | "
               << (s.at127.silent ? "-" : hz(s.at127.centroidHz) + " (" + hz(s.at64.centroidHz) + ")") << " | "
               << (s.at127.silent ? "-" : fixed(s.at127.decaySeconds, 2) + " (" + fixed(s.at64.decaySeconds, 2) + ")")
               << " | " << hz(s.at127.fundamentalHz) << " | " << verdict(s) << " |\n";
        }
        if (k.chokes)
            md << "\nChoke: the closed hat leaves the open hat at "
               << (k.chokeResidualDb < -200 ? std::string("silence") : fixed(k.chokeResidualDb, 1) + " dBFS") << ".\n";
        if (!k.failures.empty()) md << "\nFailed:\n\n- " << join(k.failures, "\n- ") << "\n";
        if (!k.allowedFailures.empty()) md << "\nDeclared deviations:\n\n- " << join(k.allowedFailures, "\n- ") << "\n";
        if (!k.targetFailures.empty()) md << "\nTargets missed:\n\n- " << join(k.targetFailures, "\n- ") << "\n";
    }
    std::ofstream file(path);
    file << md.str();
    return static_cast<bool>(file);
}

bool writeCsvReport(const std::string& path, const std::vector<KitResult>& kits) {
    std::ofstream file(path);
    file << "slot,kit,sound,name,velocity,lufs,peak_dbfs,centroid_hz,decay_s,f0_hz,velocity_drop_lu,kit_median_lufs,"
            "checks\n";
    for (const KitResult& k : kits) {
        for (std::size_t i = 0; i < k.sounds.size(); ++i) {
            const SoundResult& s = k.sounds[i];
            for (int velocity : {127, 64}) {
                const HitMeasures& m = velocity == 127 ? s.at127 : s.at64;
                file << k.slot << ",\"" << k.name << "\"," << i + 1 << ",\"" << s.name << "\"," << velocity << ","
                     << fixed(m.loudness, 2) << "," << fixed(m.peakDb, 2) << "," << fixed(m.centroidHz, 1) << ","
                     << fixed(m.decaySeconds, 3) << "," << fixed(m.fundamentalHz, 1) << ","
                     << fixed(s.velocityDrop(), 2) << "," << fixed(k.median, 2) << ","
                     << (s.failed.empty() ? "pass" : "fail " + join(s.failed, " ")) << "\n";
            }
        }
    }
    return static_cast<bool>(file);
}

bool writeMeasuresCsv(const std::string& path, const std::vector<KitResult>& kits) {
    std::ofstream file(path);
    file << "slot,kit,sound,name,centroid_hz,centroid_0_30ms_hz,centroid_30_150ms_hz,centroid_150ms_1s_hz,"
            "power_below_100hz,power_120_400hz,power_above_10khz,power_above_15khz,decay40_s,decay60_s,tail_db,"
            "onset_step_db,start_pitch_hz,settled_pitch_hz,sweep_st,sweep_at_40ms_st,sweep_s,"
            "velocity30_drop_lu,velocity30_tone_st,load_start_pitch_hz,load_pitch_deviation,load_centroid_hz,"
            "f0_44k_hz,f0_48k_hz,f0_96k_hz,centroid_48k_hz,centroid_96k_hz,decay40_48k_s,decay40_96k_s,"
            "folded_db,targets_missed\n";
    for (const KitResult& k : kits) {
        for (std::size_t i = 0; i < k.sounds.size(); ++i) {
            const SoundResult& s = k.sounds[i];
            if (s.unused || s.at127.silent) continue;
            const HitMeasures& m = s.at127;
            const std::vector<double> values = {m.centroidHz,
                                                m.windowCentroidHz[0],
                                                m.windowCentroidHz[1],
                                                m.windowCentroidHz[2],
                                                m.shareBelow100,
                                                m.share120To400,
                                                m.shareAbove10k,
                                                m.shareAbove15k,
                                                m.decay40Seconds,
                                                m.decaySeconds,
                                                m.tailDb,
                                                m.onsetStepDb,
                                                m.startPitchHz,
                                                m.settledPitchHz,
                                                m.sweepSemitones,
                                                m.sweepAt40msSemitones,
                                                m.sweepSeconds,
                                                m.loudness - s.at30.loudness,
                                                semitones(m.centroidHz, s.at30.centroidHz),
                                                s.atLoad.startPitchHz,
                                                loadPitchDeviation(s.atLoad, m),
                                                s.atLoad.centroidHz,
                                                m.fundamentalHz,
                                                s.at48k.fundamentalHz,
                                                s.at96k.fundamentalHz,
                                                s.at48k.audibleCentroidHz,
                                                s.at96k.audibleCentroidHz,
                                                s.at48k.decay40Seconds,
                                                s.at96k.decay40Seconds,
                                                s.foldedDb};
            file << k.slot << ",\"" << k.name << "\"," << i + 1 << ",\"" << s.name << "\"";
            for (double v : values) file << "," << fixed(v, 4);
            file << "," << join(s.targetsFailed, " ") << "\n";
        }
    }
    return static_cast<bool>(file);
}

}  // namespace kettrix::kitcheck
