#pragma once
// The editor's images as the artwork tests expect them at 100 %.

#include <vector>

namespace kettrix::artwork::test {

struct TableEntry {
    int id;
    const char* file;
    int width, height, frames;
};

// The editor's image table: id, file name, strip size, frame count.
inline const std::vector<TableEntry>& imageTable() {
    static const std::vector<TableEntry> table = {
        {102, "bg.png", 839, 556, 1},
        {101, "knob.png", 21, 2100, 100},
        {107, "knob-small.png", 29, 2900, 100},
        {138, "slider-y-small.png", 12, 4761, 69},
        {139, "slider-x-small.png", 71, 426, 71},
        {125, "slider-x-small.png", 71, 426, 69},
        {109, "slider-x-small-fx.png", 67, 402, 67},
        {106, "b-snap.png", 18, 36, 2},
        {111, "b-choke.png", 29, 187, 11},
        {116, "b-sound1.png", 75, 106, 2},
        {117, "bg-menu-large.png", 521, 372, 1},
        {118, "bg-menu-item.png", 217, 108, 4},
        {119, "bg-menu-small.png", 287, 372, 1},
        {126, "sound-on.png", 4, 8, 2},
        {105, "button.png", 29, 44, 2},
        {112, "b-mute-part.png", 29, 44, 2},
        {114, "b-mute.png", 36, 36, 2},
        {115, "b-solo.png", 36, 36, 2},
        {128, "b-env-vol.png", 43, 36, 2},
        {129, "b-env-mod.png", 43, 36, 2},
        {130, "b-env-fil.png", 43, 36, 2},
        {132, "b-velocity.png", 47, 36, 2},
        {137, "b-effects.png", 47, 36, 2},
        {136, "b-keyboard.png", 29, 44, 2},
        {134, "wk.png", 14, 322, 7},
        {135, "bk.png", 9, 93, 3},
        {133, "bg-hit.png", 93, 63, 1},
        {127, "bg-velocity.png", 94, 337, 1},
        {142, "b-prev-next.png", 15, 50, 2},
        {143, "b-osc.png", 29, 200, 8},
        {144, "b-filter.png", 91, 221, 13},
        {145, "b-hit.png", 46, 323, 19},
        {146, "b-attack-vol.png", 101, 168, 8},
        {147, "b-attack-mod.png", 101, 168, 8},
        {148, "b-release.png", 101, 168, 8},
        {149, "b-out.png", 29, 102, 6},
        {104, "b-envelope-mode.png", 45, 51, 3},
        {108, "b-noise-type.png", 101, 680, 40},
        {110, "b-effect-type.png", 70, 68, 4},
        {113, "b-lock.png", 122, 51, 3},
        {150, "b-zoom.png", 36, 51, 3},
    };
    return table;
}

}  // namespace kettrix::artwork::test
