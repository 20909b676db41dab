#pragma once
// The look of the editor in one place: a dark graphite panel, light grey
// labels, cyan for what is lit or active, one typeface in three sizes.

#include "Painter.h"

namespace kettrix::artwork::style {

// Window and panels.
inline constexpr Colour kWindowTop{45, 49, 55};
inline constexpr Colour kWindowBottom{35, 38, 43};
inline constexpr Colour kPanel{31, 34, 39};
inline constexpr Colour kScreen{14, 17, 20};
inline constexpr Colour kGrid{28, 35, 41};
inline constexpr Colour kGridMajor{38, 48, 56};
inline constexpr Colour kEngraveDark{19, 21, 24};
inline constexpr Colour kEngraveLight{50, 55, 62};

// Accents: the cyan of the sound names and the softer cyan of the envelopes.
inline constexpr Colour kAccent{83, 211, 246};
inline constexpr Colour kAccentSoft{112, 179, 221};
inline constexpr Colour kAccentDeep{28, 84, 106};

// Text.
inline constexpr Colour kLabel{196, 202, 210};
inline constexpr Colour kLabelDim{158, 166, 175};
inline constexpr Colour kValueText{218, 230, 238};

// Control faces.
inline constexpr Colour kFaceTop{70, 76, 84};
inline constexpr Colour kFaceBottom{47, 51, 57};
inline constexpr Colour kFaceEdge{15, 17, 20};
inline constexpr Colour kLedOff{54, 63, 71};
inline constexpr Colour kTrack{56, 62, 70};
inline constexpr Colour kFieldFace{17, 20, 24};
inline constexpr Colour kFieldEdge{66, 73, 81};
inline constexpr Colour kTabOffTop{46, 50, 56};
inline constexpr Colour kTabOffBottom{37, 41, 46};
inline constexpr Colour kSoundTabSelected{47, 53, 60};

// Piano keys.
inline constexpr Colour kWhiteKeyTop{206, 211, 216};
inline constexpr Colour kWhiteKeyBottom{178, 184, 190};
inline constexpr Colour kBlackKey{24, 26, 29};
inline constexpr Colour kKeyGap{86, 92, 99};

inline TextStyle title() { return {Weight::Bold, 10.0, kAccent}; }
inline TextStyle group() { return {Weight::Bold, 9.0, kAccentSoft}; }
inline TextStyle label() { return {Weight::Bold, 9.0, kLabel}; }
inline TextStyle value() { return {Weight::Bold, 9.0, kValueText}; }
inline TextStyle brand() { return {Weight::Bold, 18.0, {226, 232, 238}}; }

}  // namespace kettrix::artwork::style
