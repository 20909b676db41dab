// Scripted editor input for kettrix-shot, in editor (logical) pixels at any
// zoom: one event per line,
//   down X Y [right] [shift] [ctrl] [alt]   press (left unless right)
//   drag X Y                                move with the button held
//   up X Y                                  release
//   wheel X Y D                             wheel steps (negative: down)
//   dblclick X Y                            double click
//   move X Y                                move without a button
//   key CODE                                key code at the last position
//   idle N                                  N timer ticks
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"

namespace kettrix::shot {

struct ScriptEvent {
    enum Kind { kDown, kDrag, kUp, kWheel, kDblClick, kMove, kKey, kIdle };
    Kind kind = kIdle;
    int x = 0, y = 0;
    double amount = 0.0;  // wheel steps, key code or tick count
    IMouseMod mod;
    int line = 0;
};

// Reads a script; on a malformed line returns false with `error` naming it.
bool ParseEventScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error);

// Feeds the events to the editor as a window host would, running one timer
// tick after each (and N for idle).
void ReplayEvents(IGraphics& graphics, const std::vector<ScriptEvent>& events);

}  // namespace kettrix::shot
