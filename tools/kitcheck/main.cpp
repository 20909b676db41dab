// kettrix-kitcheck --plugin <Kettrix4 library> [--kits <dir>] [--out <dir>]
//                  [--only <slot,...>] [--no-wav] [--known "<kit>:<check>"]...
//                  [--targets] [--reference <dir>]
//
// Plays every sound of every factory kit through the plug-in, as a host
// does, at velocities 127, 64 and 30, at 127 again right at the kit's load
// and at 127 in hosts running at 48 and 96 kHz, and writes under the output
// directory (default "kitcheck"):
//   hits/<kit>/<sound>-v127.wav, -v64.wav   each hit (unless --no-wav)
//   grooves/<kit>.wav                       two bars of a groove, velocity 127
//   sheets/<kit>.png                        spectrograms of the ten sounds
//   report.md, report.csv                   measures, checks and targets
//   measures.csv                            every measure of every sound
//   reference.md                            with --reference
// With --kits the kit texts of that directory are loaded as program chunks
// (and compared with the plug-in's own factory programs); their "# allow:"
// lines declare deliberate deviations. Without it the plug-in's programs are
// measured as they are. --known lets a listed failure pass (it is still
// reported). The targets (Targets.h) are always measured and reported; with
// --targets a missed one fails the run like a check. --reference measures
// the drum recordings of a folder of Hydrogen kits with the same code and
// prints their ranges per role beside the kits'. Exit status: 0 when every
// check passes, 1 when one fails, 2 when the run itself fails.
#include "KitChecks.h"
#include "KitHost.h"
#include "Measures.h"
#include "PluginLibrary.h"
#include "Reference.h"
#include "Report.h"
#include "Sheet.h"
#include "Targets.h"
#include "WavWriter.h"
#include "kit/KitState.h"
#include "kit/KitText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kettrix;
using namespace kettrix::kitcheck;
namespace fs = std::filesystem;

constexpr double kRate = 44100.0;
constexpr double kMaxHitSeconds = 6.0;
constexpr int kPerSound = 132;
constexpr int kOffsetVolume = 102;
constexpr int kOffsetKeyLo = 120;
constexpr int kOffsetChoke = 128;
constexpr int kSoloIndex = 1351;

struct Options {
    std::string plugin;
    std::string kitDir;
    fs::path out = "kitcheck";
    std::set<int> only;
    bool wav = true;
    std::vector<std::string> known;  // "<kit>:<check>"
    bool targets = false;
    std::string referenceDir;
};

struct KitSource {
    int slot = 0;
    std::string name;
    std::string text;  // empty when the plug-in's program is measured
    std::vector<std::uint8_t> chunk;
};

// The channels (all the same length) as a 32-bit float WAV file; false on
// an I/O error.
bool writeWav(const fs::path& path, const std::vector<std::vector<double>>& channels) {
    const std::size_t frames = channels.front().size();
    std::vector<float> interleaved(frames * channels.size());
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels.size(); ++c)
            interleaved[i * channels.size() + c] = static_cast<float>(channels[c][i]);
    try {
        tools::WavWriter writer(path.string(), static_cast<int>(channels.size()), static_cast<std::uint32_t>(kRate));
        writer.write(interleaved.data(), frames);
        writer.finish();
        return true;
    } catch (const tools::WavWriteError&) {
        return false;
    }
}

std::string slug(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto ch = static_cast<unsigned char>(c);
        if (std::isalnum(ch))
            out += static_cast<char>(std::tolower(ch));
        else if (!out.empty() && out.back() != '-')
            out += '-';
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out.empty() ? "unnamed" : out;
}

std::string numbered(int n, const std::string& name) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d-", n);
    return prefix + slug(name);
}

bool onlyDashes(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c == '-'; });
}

int usage(const char* why) {
    std::cerr << "kettrix-kitcheck: " << why
              << "\nusage: kettrix-kitcheck --plugin <library> [--kits <dir>] [--out <dir>] [--only <slot,...>] "
                 "[--no-wav] [--known \"<kit>:<check>\"]... [--targets] [--reference <dir>]\n";
    return 2;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--plugin" && hasValue) {
            o.plugin = argv[++i];
        } else if (arg == "--kits" && hasValue) {
            o.kitDir = argv[++i];
        } else if (arg == "--out" && hasValue) {
            o.out = argv[++i];
        } else if (arg == "--only" && hasValue) {
            std::istringstream list(argv[++i]);
            std::string slot;
            while (std::getline(list, slot, ',')) o.only.insert(std::stoi(slot));
        } else if (arg == "--no-wav") {
            o.wav = false;
        } else if (arg == "--known" && hasValue) {
            o.known.push_back(argv[++i]);
        } else if (arg == "--targets") {
            o.targets = true;
        } else if (arg == "--reference" && hasValue) {
            o.referenceDir = argv[++i];
        } else {
            return false;
        }
    }
    return !o.plugin.empty();
}

bool readKitTexts(const std::string& dir, std::vector<KitSource>& kits) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".kit") files.push_back(it->path());
    if (error) {
        std::cerr << "cannot read the kit folder " << dir << ": " << error.message() << "\n";
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const auto parsed = kit::parseKitText(text.str(), path.filename().string());
        if (!parsed.ok) {
            std::cerr << parsed.error << "\n";
            return false;
        }
        KitSource source;
        source.slot = static_cast<int>(kits.size());
        source.name = parsed.kit.kitName;
        source.text = text.str();
        source.chunk = kit::encodeStateChunk(parsed.kit.state);
        kits.push_back(std::move(source));
    }
    return true;
}

std::vector<KitSource> programKits(KitHost& host) {
    std::vector<KitSource> kits;
    for (int slot = 0; slot < host.programCount(); ++slot) {
        const std::string name = host.programName(slot);
        if (name == "-") break;  // the slots after the factory kits
        kits.push_back({slot, name, {}, {}});
    }
    return kits;
}

// Two bars of sixteenths at 120 BPM, every note at velocity 127, on the
// kit's own keys: the densest stacking a plain groove gives (kick, crash,
// snare and hats together).
std::vector<NoteEvent> groove(const std::array<int, kSounds>& keys) {
    static const char* const kLanes[kSounds][2] = {
        {"x...x...x...x..x", "x...x...x.x.x..."},  // kick
        {"...x.......x....", "...x.......x..x."},  // perc
        {"....x.......x...", "....x.......x..x"},  // snare
        {"................", "............x..."},  // clap
        {"x.x.x.x.x.x.x...", "x.x.x.x........."},  // closed hat
        {"..............x.", "................"},  // open hat
        {"................", ".............x.x"},  // low tom
        {"................", "............x.x."},  // high tom
        {"x...............", "................"},  // crash
        {"................", "x.x.x.x.x.x....."},  // ride
    };
    const double step = 0.125 * kRate;
    std::vector<NoteEvent> events;
    for (int s = 0; s < kSounds; ++s) {
        for (int bar = 0; bar < 2; ++bar) {
            for (int i = 0; i < 16; ++i) {
                if (kLanes[s][bar][i] != 'x') continue;
                const auto at = static_cast<std::int64_t>((bar * 16 + i) * step);
                const auto key = static_cast<std::uint8_t>(keys[static_cast<std::size_t>(s)]);
                events.push_back({at, 0x90, key, 127});
                events.push_back({at + static_cast<std::int64_t>(step / 2), 0x80, key, 0});
            }
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const NoteEvent& a, const NoteEvent& b) { return a.frame < b.frame; });
    return events;
}

double peakDb(const std::vector<double>& l, const std::vector<double>& r, std::size_t from) {
    double peak = 0.0;
    for (std::size_t i = from; i < l.size(); ++i) peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    return 20.0 * std::log10(peak + 1e-12);
}

void load(KitHost& host, const KitSource& source, bool settle) {
    if (source.chunk.empty())
        host.selectProgram(source.slot, settle);
    else
        host.loadStateChunk(source.chunk, settle);
}

std::vector<double> monoOf(const Rendered& out) {
    std::vector<double> mono(out.left.size());
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5 * (out.left[i] + out.right[i]);
    return mono;
}

// The hits the targets compare with the settled 44.1 kHz one at velocity
// 127: each sound right after its kit is loaded over the settled default
// values (what a host's first bar after a program change plays), and each
// sound in hosts at other rates (the folded power from the 96 kHz one).
void measureLoadAndRates(KitHost& host, KitHost& host48k, KitHost& host96k, const KitSource& source,
                         const std::array<int, kSounds>& keys, const std::array<MonoHit, kSounds>& at44k,
                         KitResult& kit) {
    const auto playing = [&](int s) {
        const SoundResult& sound = kit.sounds[static_cast<std::size_t>(s)];
        return !sound.unused && !sound.at127.silent;
    };
    static const std::vector<std::uint8_t> defaults = kit::encodeStateChunk(kit::KitState::defaults());
    for (int s = 0; s < kSounds; ++s) {
        if (!playing(s)) continue;
        host.loadStateChunk(defaults);
        load(host, source, false);
        host.setParameter(kSoloIndex + s, 1.0f);
        const Rendered out = host.hit(keys[static_cast<std::size_t>(s)], 127, kMaxHitSeconds);
        kit.sounds[static_cast<std::size_t>(s)].atLoad = measureHit(out.left, out.right, kRate);
        host.setParameter(kSoloIndex + s, 0.0f);
    }
    for (KitHost* other : {&host48k, &host96k}) {
        load(*other, source, true);
        for (int s = 0; s < kSounds; ++s) {
            if (!playing(s)) continue;
            SoundResult& sound = kit.sounds[static_cast<std::size_t>(s)];
            other->setParameter(kSoloIndex + s, 1.0f);
            const Rendered out = other->hit(keys[static_cast<std::size_t>(s)], 127, kMaxHitSeconds);
            sound.finite = sound.finite && out.finite;
            (other == &host48k ? sound.at48k : sound.at96k) = measureHit(out.left, out.right, other->sampleRate());
            if (other == &host96k)
                sound.foldedDb =
                    foldedPowerDb(at44k[static_cast<std::size_t>(s)].samples, kRate, monoOf(out), other->sampleRate());
            other->setParameter(kSoloIndex + s, 0.0f);
        }
    }
}

KitResult measureKit(KitHost& host, KitHost& host48k, KitHost& host96k, const KitSource& source, const Options& options,
                     bool& writeFailed) {
    KitResult kit;
    kit.slot = source.slot;
    kit.name = source.name;
    kit.fileStem = numbered(source.slot, source.name);
    kit.deviations = parseDeviations(source.text);

    if (!source.chunk.empty()) {
        host.selectProgram(source.slot);
        if (host.stateChunk() != source.chunk)
            kit.failures.push_back("factory-program: the plug-in's program " + std::to_string(source.slot) +
                                   " is not this kit text");
        if (!host.loadStateChunk(source.chunk)) kit.failures.push_back("load: the plug-in refused the kit's chunk");
    } else {
        host.selectProgram(source.slot);
    }
    kit::KitState state;
    const auto chunk = host.stateChunk();
    kit::decodeStateChunk(chunk, 0, state);
    kit.values.assign(state.values.begin(), state.values.end());

    std::array<int, kSounds> keys{};
    std::array<MonoHit, kSounds> sheet;
    const fs::path hitDir = options.out / "hits" / kit.fileStem;
    if (options.wav) fs::create_directories(hitDir);
    for (int s = 0; s < kSounds; ++s) {
        SoundResult& sound = kit.sounds[static_cast<std::size_t>(s)];
        sound.name = state.names[static_cast<std::size_t>(s)];
        // "Empty" is the blank kit: every slot is meant to stay silent.
        sound.unused = onlyDashes(sound.name) || kit.name == "Empty";
        keys[static_cast<std::size_t>(s)] =
            static_cast<int>(state.values[static_cast<std::size_t>(s * kPerSound + kOffsetKeyLo)]);
        // Solo isolates the sound from others its key also starts.
        host.setParameter(kSoloIndex + s, 1.0f);
        for (int velocity : {127, 64, 30}) {
            const Rendered out = host.hit(keys[static_cast<std::size_t>(s)], velocity, kMaxHitSeconds);
            sound.finite = sound.finite && out.finite;
            HitMeasures m = measureHit(out.left, out.right, kRate);
            (velocity == 127 ? sound.at127 : velocity == 64 ? sound.at64 : sound.at30) = m;
            if (velocity == 127 && !m.silent) {
                sheet[static_cast<std::size_t>(s)].samples = monoOf(out);
            }
            if (options.wav && velocity != 30) {
                const fs::path wav = hitDir / (numbered(s + 1, sound.name) + "-v" + std::to_string(velocity) + ".wav");
                if (!writeWav(wav, {out.left, out.right})) writeFailed = true;
            }
        }
        host.setParameter(kSoloIndex + s, 0.0f);
    }
    if (!writeKitSheet((options.out / "sheets" / (kit.fileStem + ".png")).string(), sheet, kRate)) writeFailed = true;

    const Rendered grooveOut = host.render(groove(keys), static_cast<std::int64_t>(4 * kRate),
                                           static_cast<std::int64_t>((4 + kMaxHitSeconds) * kRate));
    kit.groovePeakDb = 20.0 * std::log10(grooveOut.peakAllOutputs + 1e-12);
    if (kit.groovePeakDb < -200) kit.groovePeakDb = -240;
    kit.grooveFinite = grooveOut.finite;
    if (!writeWav(options.out / "grooves" / (kit.fileStem + ".wav"), {grooveOut.left, grooveOut.right}))
        writeFailed = true;

    // Choke: the closed hat, turned all the way down, played 0.1 s into the
    // open hat must leave nothing of it.
    kit.chokes = state.values[static_cast<std::size_t>(4 * kPerSound + kOffsetChoke)] == 6.0 && !kit.sounds[4].unused &&
                 !kit.sounds[5].unused;
    if (kit.chokes) {
        host.setParameter(4 * kPerSound + kOffsetVolume, 0.0f);
        const auto open = static_cast<std::uint8_t>(keys[5]);
        const auto closed = static_cast<std::uint8_t>(keys[4]);
        const auto cut = static_cast<std::int64_t>(0.1 * kRate);
        const Rendered out = host.render({{0, 0x90, open, 127},
                                          {cut, 0x90, closed, 127},
                                          {cut + 2205, 0x80, open, 0},
                                          {cut + 2205, 0x80, closed, 0}},
                                         0, static_cast<std::int64_t>(kMaxHitSeconds * kRate));
        kit.chokeResidualDb = peakDb(out.left, out.right, static_cast<std::size_t>(cut + 0.05 * kRate));
        if (kit.chokeResidualDb < -200) kit.chokeResidualDb = -240;
    }
    measureLoadAndRates(host, host48k, host96k, source, keys, sheet, kit);
    checkKit(kit);
    checkTargets(kit);
    return kit;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return usage("missing or unknown arguments");
    try {
        KitHost host(options.plugin, kRate);
        KitHost host48k(options.plugin, 48000.0), host96k(options.plugin, 96000.0);
        std::vector<KitSource> sources;
        if (!options.kitDir.empty()) {
            if (!readKitTexts(options.kitDir, sources)) return 2;
        } else {
            sources = programKits(host);
        }
        for (const char* sub : {"sheets", "grooves"}) fs::create_directories(options.out / sub);
        std::vector<KitResult> kits;
        bool writeFailed = false;
        for (const KitSource& source : sources) {
            if (!options.only.empty() && options.only.count(source.slot) == 0) continue;
            kits.push_back(measureKit(host, host48k, host96k, source, options, writeFailed));
            const KitResult& k = kits.back();
            std::printf("%-14s median %6.1f LUFS  groove peak %6.2f dBFS  %zu failed, %zu targets missed\n",
                        k.name.c_str(), k.median, k.groovePeakDb, k.failures.size(), k.targetFailures.size());
        }
        checkAcrossKits(kits);
        checkTargetsAcrossKits(kits);

        int failed = 0;
        std::set<std::string> knownSeen;
        for (KitResult& k : kits) {
            for (const std::string& line : k.failures) {
                const std::string check = line.substr(0, line.find(':'));
                const std::string key = k.name + ":" + check;
                const bool known = std::find(options.known.begin(), options.known.end(), key) != options.known.end();
                if (known) knownSeen.insert(key);
                std::printf("%s %s: %s\n", known ? "KNOWN" : "FAIL ", k.name.c_str(), line.c_str());
                if (!known) ++failed;
            }
        }
        for (const std::string& key : options.known)
            if (knownSeen.count(key) == 0) std::printf("note: known failure \"%s\" no longer occurs\n", key.c_str());
        int missed = 0;
        for (const KitResult& k : kits) {
            for (const std::string& line : k.targetFailures)
                std::printf("TARGET %s: %s\n", k.name.c_str(), line.c_str());
            missed += static_cast<int>(k.targetFailures.size());
        }
        if (!writeMarkdownReport((options.out / "report.md").string(), kits) ||
            !writeCsvReport((options.out / "report.csv").string(), kits) ||
            !writeMeasuresCsv((options.out / "measures.csv").string(), kits))
            writeFailed = true;
        if (!options.referenceDir.empty()) {
            std::vector<RecordedSound> recordings;
            std::string error;
            if (!measureRecordings(options.referenceDir, recordings, error)) {
                std::cerr << "kettrix-kitcheck: " << error << "\n";
                return 2;
            }
            const std::string table = "# Drum recordings beside the factory kits\n\n" +
                                      std::to_string(recordings.size()) + " recorded sounds from " +
                                      options.referenceDir + ".\n\n" + referenceTable(recordings, kits);
            std::printf("\n%s", table.c_str());
            std::ofstream file(options.out / "reference.md");
            file << table;
            if (!file) writeFailed = true;
        }
        if (writeFailed) {
            std::cerr << "kettrix-kitcheck: some output files could not be written\n";
            return 2;
        }
        std::printf("%d failed checks in %zu kits; %d targets missed%s\n", failed, kits.size(), missed,
                    options.targets ? "" : " (reported only: --targets makes them count)");
        if (options.targets) failed += missed;
        return failed == 0 ? 0 : 1;
    } catch (const render::PluginLoadError& e) {
        std::cerr << "kettrix-kitcheck: " << e.what() << "\n";
        return 2;
    }
}
