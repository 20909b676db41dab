#include "EventScript.h"

#include <cmath>
#include <sstream>

namespace kettrix::shot {

namespace {

bool ReadInt(std::istringstream& in, int& value) {
    long long v = 0;
    if (!(in >> v) || v < -1000000 || v > 1000000) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseLine(const std::string& text, ScriptEvent& event, std::string& why) {
    std::istringstream in(text);
    std::string word;
    in >> word;
    static const struct {
        const char* name;
        ScriptEvent::Kind kind;
    } kKinds[] = {{"down", ScriptEvent::kDown},   {"drag", ScriptEvent::kDrag},         {"up", ScriptEvent::kUp},
                  {"wheel", ScriptEvent::kWheel}, {"dblclick", ScriptEvent::kDblClick}, {"move", ScriptEvent::kMove},
                  {"key", ScriptEvent::kKey},     {"idle", ScriptEvent::kIdle}};
    bool known = false;
    for (const auto& k : kKinds)
        if (word == k.name) {
            event.kind = k.kind;
            known = true;
        }
    if (!known) {
        why = "unknown event '" + word + "'";
        return false;
    }
    if (event.kind == ScriptEvent::kKey || event.kind == ScriptEvent::kIdle) {
        int n = 0;
        if (!ReadInt(in, n) || n < 0) {
            why = word + " needs a non-negative number";
            return false;
        }
        event.amount = n;
    } else {
        if (!ReadInt(in, event.x) || !ReadInt(in, event.y)) {
            why = word + " needs X and Y";
            return false;
        }
        if (event.kind == ScriptEvent::kWheel) {
            double d = 0.0;
            if (!(in >> d) || !std::isfinite(d)) {
                why = "wheel needs X, Y and D";
                return false;
            }
            event.amount = d;
        }
    }
    event.mod = IMouseMod(event.kind != ScriptEvent::kMove && event.kind != ScriptEvent::kWheel);
    while (in >> word) {
        if (event.kind != ScriptEvent::kDown && event.kind != ScriptEvent::kDblClick) {
            why = "unexpected '" + word + "'";
            return false;
        }
        if (word == "right") {
            event.mod.L = false;
            event.mod.R = true;
        } else if (word == "shift") {
            event.mod.S = true;
        } else if (word == "ctrl") {
            event.mod.C = true;
        } else if (word == "alt") {
            event.mod.A = true;
        } else {
            why = "unknown modifier '" + word + "'";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseEventScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error) {
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        const auto start = text.find_first_not_of(" \t\r");
        if (start == std::string::npos || text[start] == '#') continue;
        ScriptEvent event;
        event.line = line;
        std::string why;
        if (!ParseLine(text.substr(start), event, why)) {
            error = "line " + std::to_string(line) + ": " + why;
            return false;
        }
        events.push_back(event);
    }
    return true;
}

void ReplayEvents(IGraphics& graphics, const std::vector<ScriptEvent>& events) {
    int lastX = 0, lastY = 0;
    IMouseMod held;  // the buttons and modifiers of the last press
    for (const ScriptEvent& e : events) {
        // Scripts are written in editor (logical) pixels; the editor takes
        // input in window pixels, as a window host feeds it.
        const int x = graphics.ToWindow(e.x), y = graphics.ToWindow(e.y);
        switch (e.kind) {
            case ScriptEvent::kDown:
                held = e.mod;
                graphics.OnMouseDown(x, y, e.mod);
                break;
            case ScriptEvent::kDrag:
                graphics.OnMouseDrag(x, y, x - graphics.ToWindow(lastX), y - graphics.ToWindow(lastY), held);
                break;
            case ScriptEvent::kUp:
                graphics.OnMouseUp(x, y, held);
                held = IMouseMod(false);
                break;
            case ScriptEvent::kWheel:
                graphics.OnMouseWheel(x, y, IMouseMod(false), e.amount);
                break;
            case ScriptEvent::kDblClick:
                held = e.mod;
                graphics.OnMouseDblClick(x, y, e.mod);
                break;
            case ScriptEvent::kMove:
                graphics.OnMouseOver(x, y, IMouseMod(false));
                break;
            case ScriptEvent::kKey:
                graphics.OnKeyDown(graphics.ToWindow(lastX), graphics.ToWindow(lastY), static_cast<int>(e.amount));
                break;
            case ScriptEvent::kIdle:
                for (int i = 0; i < static_cast<int>(e.amount); ++i) {
                    graphics.ServiceZoomRequest();
                    graphics.OnTimer();
                }
                break;
        }
        if (e.kind != ScriptEvent::kKey && e.kind != ScriptEvent::kIdle) {
            lastX = e.x;
            lastY = e.y;
        }
        graphics.OnTimer();
    }
}

}  // namespace kettrix::shot
