#include "KitChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace kettrix::kitcheck {

namespace {

const Role kRoles[kSounds] = {
    {40, 250, 0.15, 1.5},    // KICK
    {0, 0, 0, 0},            // PERC: free
    {300, 4000, 0.08, 0.8},  // SNARE
    {700, 5000, 0.08, 1.0},  // CLAP
    {4000, 0, 0, 0.25},      // CLOSED HH
    {4000, 0, 0.25, 2.5},    // OPEN HH
    {60, 800, 0.1, 1.5},     // LO TOM
    {60, 800, 0.1, 1.5},     // HIGH TOM
    {2500, 0, 0.5, 4.0},     // CRASH
    {2500, 0, 0.5, 4.0},     // RIDE
};

constexpr int kMainSounds[] = {0, 2, 4};
constexpr double kVelocityDropLu = 3.0;
constexpr double kSpreadLu = 6.0;
constexpr double kMedianToleranceLu = 1.0;
constexpr double kGroovePeakDb = -1.0;
constexpr int kDistinctSounds = 5;

std::string format(const char* pattern, double a, double b = 0.0, double c = 0.0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

double median(std::vector<double> v) {
    if (v.empty()) return kSilentLufs;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

void fail(KitResult& kit, int sound, const std::string& check, const std::string& detail) {
    recordFailure(kit, sound, check, detail);
}

bool outside(double value, double low, double high) { return (low > 0 && value < low) || (high > 0 && value > high); }

std::string range(double low, double high, const char* unit) {
    char text[64];
    if (low > 0 && high > 0)
        std::snprintf(text, sizeof text, "%g-%g %s", low, high, unit);
    else if (low > 0)
        std::snprintf(text, sizeof text, ">= %g %s", low, unit);
    else
        std::snprintf(text, sizeof text, "<= %g %s", high, unit);
    return text;
}

double pitchOf(const HitMeasures& m) { return m.fundamentalHz > 0 ? m.fundamentalHz : m.centroidHz; }

}  // namespace

void recordFailure(KitResult& kit, int sound, const std::string& check, const std::string& detail, bool target) {
    const bool allowed =
        sound >= 0 ? kit.deviations.sound.count({sound, check}) > 0 : kit.deviations.kit.count(check) > 0;
    std::string line = check + ": ";
    if (sound >= 0) {
        SoundResult& s = kit.sounds[static_cast<std::size_t>(sound)];
        line += "sound " + std::to_string(sound + 1) + " \"" + s.name + "\" ";
        (allowed ? s.allowed : target ? s.targetsFailed : s.failed).push_back(check);
    }
    line += detail;
    (allowed ? kit.allowedFailures : target ? kit.targetFailures : kit.failures).push_back(line);
}

Deviations parseDeviations(const std::string& kitText) {
    static const std::set<std::string> kChecks = {"centroid", "decay", "loudness", "velocity", "toms", "choke",
                                                  // the targets
                                                  "velocity-drop", "velocity-tone", "kick-body", "sweep", "hat-tone",
                                                  "crash-tone", "ride-tone", "decay40", "folded", "rate", "tail",
                                                  "onset", "load", "distance", "groove-level"};
    Deviations d;
    std::istringstream lines(kitText);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string promise = "# promise: sound";
        if (line.rfind(promise, 0) == 0) {
            std::istringstream words(line.substr(promise.size()));
            int sound = 0;
            std::string what;
            double size = 0.0;
            if (words >> sound >> what >> size && what == "sweep" && sound >= 1 && sound <= kSounds)
                d.promisedSweep[sound - 1] = size;
            continue;
        }
        const std::string marker = "# allow:";
        if (line.rfind(marker, 0) != 0) continue;
        ++d.allowLines;
        std::istringstream words(line.substr(marker.size()));
        std::string what;
        words >> what;
        int sound = -1;
        if (what == "sound") {
            words >> sound;
            --sound;
            if (sound < 0 || sound >= kSounds) continue;
        } else if (what != "kit") {
            continue;
        }
        std::string check;
        while (words >> check && kChecks.count(check) > 0) {
            if (sound >= 0)
                d.sound.insert({sound, check});
            else
                d.kit.insert(check);
        }
    }
    return d;
}

const Role* roleOf(int sound) {
    if (sound < 0 || sound >= kSounds) return nullptr;
    const Role& r = kRoles[sound];
    return (r.minCentroid > 0 || r.maxCentroid > 0) ? &r : nullptr;
}

bool KitResult::silentKit() const {
    return std::all_of(sounds.begin(), sounds.end(), [](const SoundResult& s) { return s.unused; });
}

bool clearlyDifferent(const HitMeasures& a, const HitMeasures& b) {
    if (a.silent || b.silent) return a.silent != b.silent;
    const auto relative = [](double x, double y) { return std::fabs(x - y) / std::max(1e-9, std::min(x, y)); };
    return relative(a.centroidHz, b.centroidHz) >= 0.15 || relative(a.decaySeconds, b.decaySeconds) >= 0.25 ||
           std::fabs(a.loudness - b.loudness) >= 2.0;
}

void checkKit(KitResult& kit) {
    if (kit.deviations.allowLines > kMaxAllowLines)
        fail(kit, -1, "allow",
             format("%.0f \"# allow:\" lines, at most %.0f", kit.deviations.allowLines, kMaxAllowLines));
    std::vector<double> levels;
    for (const SoundResult& s : kit.sounds)
        if (!s.unused && !s.at127.silent) levels.push_back(s.at127.loudness);
    kit.median = median(levels);

    for (int i = 0; i < kSounds; ++i) {
        SoundResult& s = kit.sounds[static_cast<std::size_t>(i)];
        if (!s.finite) fail(kit, i, "finite", "output holds values that are not finite");
        if (s.unused) {
            if (!s.at127.silent || !s.at64.silent)
                fail(kit, i, "silent", format("an unused slot sounds (%.1f dBFS)", s.at127.peakDb));
            continue;
        }
        if (s.at127.silent) {
            fail(kit, i, "audible", "is silent");
            continue;
        }
        if (const Role* role = roleOf(i)) {
            if (outside(s.at127.centroidHz, role->minCentroid, role->maxCentroid))
                fail(kit, i, "centroid",
                     format("%.0f Hz, role ", s.at127.centroidHz) + range(role->minCentroid, role->maxCentroid, "Hz"));
            if (outside(s.at127.decaySeconds, role->minDecay, role->maxDecay))
                fail(kit, i, "decay",
                     format("%.3f s, role ", s.at127.decaySeconds) + range(role->minDecay, role->maxDecay, "s"));
        }
        if (std::fabs(s.at127.loudness - kit.median) > kSpreadLu)
            fail(kit, i, "loudness",
                 format("%.1f LUFS, %+.1f LU from the kit's median", s.at127.loudness, s.at127.loudness - kit.median));
    }
    if (kit.silentKit()) return;

    for (int i : kMainSounds) {
        const SoundResult& s = kit.sounds[static_cast<std::size_t>(i)];
        if (s.unused || s.at127.silent) continue;
        if (s.velocityDrop() < kVelocityDropLu)
            fail(kit, i, "velocity",
                 format("velocity 64 only %.1f LU below 127 (needs %.0f)", s.velocityDrop(), kVelocityDropLu));
    }

    const SoundResult& low = kit.sounds[6];
    const SoundResult& high = kit.sounds[7];
    if (!low.unused && !high.unused && !low.at127.silent && !high.at127.silent &&
        pitchOf(low.at127) >= pitchOf(high.at127))
        fail(kit, -1, "toms",
             format("low tom %.0f Hz is not below the high tom's %.0f Hz", pitchOf(low.at127), pitchOf(high.at127)));

    if (kit.chokes && kit.chokeResidualDb > kSilentPeakDb)
        fail(kit, -1, "choke",
             format("the open hat still sounds at %.1f dBFS after the closed hat", kit.chokeResidualDb));
    if (!kit.grooveFinite) fail(kit, -1, "groove-peak", "the groove holds values that are not finite");
    if (kit.groovePeakDb >= kGroovePeakDb)
        fail(kit, -1, "groove-peak",
             format("the groove at velocity 127 peaks at %.2f dBFS (limit %.0f)", kit.groovePeakDb, kGroovePeakDb));
}

void checkAcrossKits(std::vector<KitResult>& kits) {
    std::vector<double> medians;
    for (const KitResult& k : kits)
        if (!k.silentKit()) medians.push_back(k.median);
    const double overall = median(medians);
    for (KitResult& k : kits) {
        if (k.silentKit()) continue;
        if (std::fabs(k.median - overall) > kMedianToleranceLu)
            fail(k, -1, "median",
                 format("kit median %.1f LUFS is %+.1f LU from the median of all kits", k.median, k.median - overall));
    }

    for (std::size_t a = 0; a < kits.size(); ++a) {
        for (std::size_t b = a + 1; b < kits.size(); ++b) {
            KitResult& x = kits[a];
            KitResult& y = kits[b];
            if (!x.values.empty() && x.values == y.values) {
                fail(x, -1, "identical", "holds the same values as \"" + y.name + "\"");
                fail(y, -1, "identical", "holds the same values as \"" + x.name + "\"");
            }
            int audible = 0, different = 0;
            for (std::size_t s = 0; s < kSounds; ++s) {
                const HitMeasures& p = x.sounds[s].at127;
                const HitMeasures& q = y.sounds[s].at127;
                if (p.silent && q.silent) continue;
                ++audible;
                if (clearlyDifferent(p, q)) ++different;
            }
            const int needed = std::min(kDistinctSounds, audible);
            if (different < needed) {
                const std::string detail = "only " + std::to_string(different) + " sounds differ clearly from \"";
                fail(x, -1, "distinct", detail + y.name + "\"");
                fail(y, -1, "distinct", detail + x.name + "\"");
            }
        }
    }
}

}  // namespace kettrix::kitcheck
