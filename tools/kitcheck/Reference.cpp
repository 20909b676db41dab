#include "Reference.h"

#include "Targets.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

namespace kettrix::kitcheck {

namespace {

namespace fs = std::filesystem;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : s) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else if (!word.empty()) {
            out.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) out.push_back(word);
    return out;
}

// The text of the first <tag>...</tag> in [from, to), entities decoded.
std::string element(const std::string& xml, const std::string& tag, std::size_t from = 0,
                    std::size_t to = std::string::npos) {
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    const std::size_t start = xml.find(open, from);
    if (start == std::string::npos || start >= to) return {};
    const std::size_t end = xml.find(close, start);
    if (end == std::string::npos || end > to) return {};
    std::string text = xml.substr(start + open.size(), end - start - open.size());
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : kEntities)
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    return text;
}

// The [start, end) spans of every <tag>...</tag> in [from, to).
std::vector<std::pair<std::size_t, std::size_t>> blocks(const std::string& xml, const std::string& tag,
                                                        std::size_t from = 0, std::size_t to = std::string::npos) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    for (std::size_t at = xml.find(open, from); at != std::string::npos && at < to; at = xml.find(open, at + 1)) {
        const std::size_t end = xml.find(close, at);
        if (end == std::string::npos || end > to) break;
        out.emplace_back(at, end + close.size());
    }
    return out;
}

double number(const std::string& text, double fallback) {
    try {
        return text.empty() ? fallback : std::stod(text);
    } catch (const std::exception&) {
        return fallback;
    }
}

bool contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

std::optional<HitMeasures> measureFile(const fs::path& path, double gain) {
    std::vector<double> left, right;
    double rate = 0.0;
    if (!readAudio(path.string(), left, right, rate)) return std::nullopt;
    for (double& v : left) v *= gain;
    for (double& v : right) v *= gain;
    HitMeasures m = measureHit(left, right, rate);
    if (m.silent) return std::nullopt;
    return m;
}

std::string fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A measure of the reference tables: its value for a hit (and the softer
// hit where it compares velocities), or nothing where it does not apply.
struct Measure {
    const char* name;
    int decimals;
    std::function<std::optional<double>(const HitMeasures& loud, const HitMeasures* soft)> value;
    bool pitched = false;  // kick, toms only
};

const std::vector<Measure>& measures() {
    using M = const HitMeasures&;
    using S = const HitMeasures*;
    static const std::vector<Measure> kMeasures = {
        {"centroid Hz", 0, [](M m, S) { return m.centroidHz; }},
        {"centroid 0-30 ms Hz", 0, [](M m, S) { return m.windowCentroidHz[0]; }},
        {"centroid 30-150 ms Hz", 0,
         [](M m, S) { return m.windowCentroidHz[1] > 0 ? std::optional(m.windowCentroidHz[1]) : std::nullopt; }},
        {"centroid 0.15-1 s Hz", 0,
         [](M m, S) { return m.windowCentroidHz[2] > 0 ? std::optional(m.windowCentroidHz[2]) : std::nullopt; }},
        {"power < 100 Hz %", 1, [](M m, S) { return 100.0 * m.shareBelow100; }},
        {"power 120-400 Hz %", 1, [](M m, S) { return 100.0 * m.share120To400; }},
        {"power > 10 kHz %", 1, [](M m, S) { return 100.0 * m.shareAbove10k; }},
        {"power > 15 kHz %", 1, [](M m, S) { return 100.0 * m.shareAbove15k; }},
        {"decay -40 dB s", 2, [](M m, S) { return m.decay40Seconds; }},
        {"decay -60 dB s", 2, [](M m, S) { return m.decaySeconds; }},
        {"tail dB", 1, [](M m, S) { return m.tailDb; }},
        {"onset step dB", 1, [](M m, S) { return m.onsetStepDb; }},
        {"sweep semitones", 1,
         [](M m, S) { return m.settledPitchHz > 0 ? std::optional(m.sweepSemitones) : std::nullopt; }, true},
        {"sweep at 40 ms semitones", 1,
         [](M m, S) { return m.settledPitchHz > 0 ? std::optional(m.sweepAt40msSemitones) : std::nullopt; }, true},
        {"sweep time s", 3, [](M m, S) { return m.settledPitchHz > 0 ? std::optional(m.sweepSeconds) : std::nullopt; },
         true},
        {"settled pitch Hz", 1,
         [](M m, S) { return m.settledPitchHz > 0 ? std::optional(m.settledPitchHz) : std::nullopt; }, true},
        {"velocity drop LU", 1,
         [](M m, S soft) { return soft ? std::optional(m.loudness - soft->loudness) : std::nullopt; }},
        {"velocity tone semitones", 1,
         [](M m, S soft) { return soft ? std::optional(semitones(m.centroidHz, soft->centroidHz)) : std::nullopt; }},
    };
    return kMeasures;
}

std::string cell(const Range& r, int decimals) {
    if (r.count == 0) return "-";
    return fixed(r.p10, decimals) + " / " + fixed(r.median, decimals) + " / " + fixed(r.p90, decimals) + " (" +
           std::to_string(r.count) + ")";
}

}  // namespace

int roleFromName(const std::string& instrumentName) {
    const std::string n = lower(instrumentName);
    const std::vector<std::string> w = words(n);
    const auto has = [&](const char* word) { return std::find(w.begin(), w.end(), word) != w.end(); };
    if (contains(n, "hat") || has("hh") || contains(n, "hihat")) {
        if (contains(n, "semi") || has("pedal") || has("pd") || contains(n, "swish") || contains(n, "choke") ||
            has("side") || contains(n, "ohh"))
            return -1;
        if (has("open") || has("opened") || has("op")) return 5;
        if (has("closed") || has("close") || has("cl")) return 4;
        return -1;
    }
    if (has("kick") || contains(n, "bass drum") || contains(n, "bassdrum") || has("bd")) return 0;
    if (contains(n, "snare")) return contains(n, "roll") ? -1 : 2;
    if (contains(n, "clap")) return 3;
    if (contains(n, "tom")) {
        if (contains(n, "floor") || contains(n, "low") || has("lo")) return 6;
        if (contains(n, "hi") || has("mid")) return 7;
        return -1;
    }
    if (contains(n, "crash")) return contains(n, "ride") ? -1 : 8;
    if (contains(n, "ride")) return contains(n, "bell") || contains(n, "cup") ? -1 : 9;
    for (const char* perc : {"cowbell", "stick", "clave", "woodblock", "tambourine", "agogo", "rim"})
        if (contains(n, perc)) return 1;
    return -1;
}

Drumkit parseDrumkit(const std::string& xml) {
    Drumkit kit;
    kit.name = element(xml, "name");
    for (const auto& [start, end] : blocks(xml, "instrument")) {
        DrumkitInstrument instrument;
        instrument.name = element(xml, "name", start, end);
        for (const auto& [ls, le] : blocks(xml, "layer", start, end)) {
            DrumkitLayer layer;
            layer.file = element(xml, "filename", ls, le);
            layer.min = number(element(xml, "min", ls, le), 0.0);
            layer.max = number(element(xml, "max", ls, le), 1.0);
            layer.gain = number(element(xml, "gain", ls, le), 1.0);
            if (!layer.file.empty()) instrument.layers.push_back(layer);
        }
        // The older format: one sample named in the instrument itself.
        if (instrument.layers.empty()) {
            const std::string file = element(xml, "filename", start, end);
            if (!file.empty()) instrument.layers.push_back({file, 0.0, 1.0, 1.0});
        }
        kit.instruments.push_back(std::move(instrument));
    }
    return kit;
}

bool readAudio(const std::string& path, std::vector<double>& left, std::vector<double>& right, double& rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return false;
    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<double> frames(static_cast<std::size_t>(info.frames) * channels);
    const sf_count_t read = sf_readf_double(file, frames.data(), info.frames);
    sf_close(file);
    if (read <= 0 || channels == 0) return false;
    left.resize(static_cast<std::size_t>(read));
    right.resize(static_cast<std::size_t>(read));
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = frames[i * channels];
        right[i] = frames[i * channels + (channels > 1 ? 1 : 0)];
    }
    rate = info.samplerate;
    return rate > 0;
}

bool measureRecordings(const std::string& dir, std::vector<RecordedSound>& out, std::string& error) {
    std::vector<fs::path> kitFiles;
    std::error_code code;
    if (fs::exists(fs::path(dir) / "drumkit.xml", code)) kitFiles.push_back(fs::path(dir) / "drumkit.xml");
    for (fs::directory_iterator it(dir, code), end; !code && it != end; it.increment(code))
        if (it->is_directory() && fs::exists(it->path() / "drumkit.xml"))
            kitFiles.push_back(it->path() / "drumkit.xml");
    if (code) {
        error = "cannot read the reference folder " + dir + ": " + code.message();
        return false;
    }
    std::sort(kitFiles.begin(), kitFiles.end());
    constexpr double kSoftVelocity = 30.0 / 127.0;
    for (const fs::path& xmlPath : kitFiles) {
        std::ifstream in(xmlPath, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const Drumkit kit = parseDrumkit(text.str());
        const fs::path folder = xmlPath.parent_path();
        for (const DrumkitInstrument& instrument : kit.instruments) {
            const int role = roleFromName(instrument.name);
            if (role < 0 || instrument.layers.empty()) continue;
            const auto loudest =
                std::max_element(instrument.layers.begin(), instrument.layers.end(),
                                 [](const DrumkitLayer& a, const DrumkitLayer& b) { return a.max < b.max; });
            const auto loud = measureFile(folder / loudest->file, loudest->gain);
            if (!loud) continue;
            RecordedSound sound{kit.name, instrument.name, role, *loud, {}, false};
            for (const DrumkitLayer& layer : instrument.layers) {
                if (&layer == &*loudest || kSoftVelocity < layer.min || kSoftVelocity > layer.max) continue;
                if (const auto soft = measureFile(folder / layer.file, layer.gain)) {
                    sound.soft = *soft;
                    sound.hasSoftLayer = true;
                }
                break;
            }
            out.push_back(std::move(sound));
        }
    }
    if (out.empty()) {
        error = "no drum recordings with a known role under " + dir;
        return false;
    }
    return true;
}

Range rangeOf(std::vector<double> v) {
    Range r;
    r.count = v.size();
    if (v.empty()) return r;
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) {
        const double rank = q * static_cast<double>(v.size() - 1);
        const auto low = static_cast<std::size_t>(std::floor(rank));
        const std::size_t high = std::min(v.size() - 1, low + 1);
        return v[low] + (rank - static_cast<double>(low)) * (v[high] - v[low]);
    };
    r.p10 = at(0.1);
    r.median = at(0.5);
    r.p90 = at(0.9);
    return r;
}

std::string referenceTable(const std::vector<RecordedSound>& recordings, const std::vector<KitResult>& kits) {
    std::ostringstream md;
    md << "| role | measure | recordings p10 / median / p90 (n) | kits p10 / median / p90 (n) |\n|---|---|---|---|\n";
    for (int role = 0; role < kSounds; ++role) {
        for (const Measure& measure : measures()) {
            if (measure.pitched && role != 0 && role != 6 && role != 7) continue;
            std::vector<double> recorded, ours;
            for (const RecordedSound& r : recordings) {
                if (r.role != role) continue;
                if (const auto v = measure.value(r.loud, r.hasSoftLayer ? &r.soft : nullptr)) recorded.push_back(*v);
            }
            for (const KitResult& k : kits) {
                const SoundResult& s = k.sounds[static_cast<std::size_t>(role)];
                if (s.unused || s.at127.silent) continue;
                if (const auto v = measure.value(s.at127, s.at30.silent ? nullptr : &s.at30)) ours.push_back(*v);
            }
            md << "| " << kRoleNames[role] << " | " << measure.name << " | "
               << cell(rangeOf(recorded), measure.decimals) << " | " << cell(rangeOf(ours), measure.decimals) << " |\n";
        }
    }

    // Recorded kits as kits: the first instrument of each role, two kits
    // compared over the roles both hold (at least four).
    std::vector<KitResult> recordedKits;
    for (const RecordedSound& r : recordings) {
        if (recordedKits.empty() || recordedKits.back().name != r.kit) {
            recordedKits.emplace_back();
            recordedKits.back().name = r.kit;
        }
        SoundResult& slot = recordedKits.back().sounds[static_cast<std::size_t>(r.role)];
        if (slot.at127.silent) slot.at127 = r.loud;
    }
    std::vector<double> distances;
    for (std::size_t a = 0; a < recordedKits.size(); ++a) {
        for (std::size_t b = a + 1; b < recordedKits.size(); ++b) {
            KitResult x = recordedKits[a], y = recordedKits[b];
            int shared = 0;
            for (std::size_t s = 0; s < kSounds; ++s) {
                if (x.sounds[s].at127.silent || y.sounds[s].at127.silent) {
                    x.sounds[s].at127 = HitMeasures{};
                    y.sounds[s].at127 = HitMeasures{};
                } else {
                    ++shared;
                }
            }
            if (shared >= 4) distances.push_back(kitDistance(x, y));
        }
    }
    const Range d = rangeOf(distances);
    md << "\nKit distance between two recorded kits (" << d.count << " pairs sharing at least four roles): "
       << (d.count == 0 ? std::string("-")
                        : "least " + fixed(*std::min_element(distances.begin(), distances.end()), 1) + ", p10 " +
                              fixed(d.p10, 1) + ", median " + fixed(d.median, 1) + ", p90 " + fixed(d.p90, 1) +
                              ", most " + fixed(*std::max_element(distances.begin(), distances.end()), 1))
       << ".\n";
    return md.str();
}

}  // namespace kettrix::kitcheck
