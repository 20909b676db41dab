// The built-in demo groove rendered by "kettrix-render --demo".
#pragma once

#include "MidiFile.h"

namespace kettrix::render {

// Four bars of a drum groove at 120 BPM in 4/4 plus a closing crash. It plays
// one note inside each of the instrument's ten default key ranges (six keys
// per sound from note 36), so every sound of the default kit is heard:
// KICK 36, PERC 42, SNARE 48, CLAP 54, CLOSED HH 60, OPEN HH 66, LO TOM 72,
// HIGH TOM 78, CRASH 84, RIDE 90. All notes are on MIDI channel 1.
MidiSequence demoPattern();

}  // namespace kettrix::render
