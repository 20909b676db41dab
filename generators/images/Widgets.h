#pragma once
// The pieces the control images and the backgrounds are built from. Each
// draws at the given place into the current frame of a canvas.

#include "Painter.h"

#include <string_view>

namespace kettrix::artwork {

// A round knob of size x size pixels whose indicator points at angle degrees
// (0 = up, clockwise positive; the travel is -135 to +135). The lit arc
// around it runs from the start of the travel to the indicator.
void drawKnob(const Canvas& c, int size, double angle);

// A raised button face with a dark edge.
void drawButtonFace(const Canvas& c, double x, double y, double w, double h, bool lit);

// An indicator lamp: a rounded bar or dot, dark when off, glowing cyan when on.
void drawLamp(const Canvas& c, double x, double y, double w, double h, bool lit);

// A tab of a tab row. Unselected tabs are raised and grey; the selected tab
// takes the colour of what it opens (selectedFill) and a cyan edge and text.
void drawTab(const Canvas& c, double x, double y, double w, double h, std::string_view text, bool selected,
             Colour selectedFill);

// The recessed field a selector shows its value in, with an optional menu
// mark on the right.
void drawField(const Canvas& c, double x, double y, double w, double h, bool menuMark);

// Writes a value into a field: centred, or left-aligned after an inset.
// Fails the run when the text does not fit the width.
void drawFieldText(const Canvas& c, std::string_view text, double x, double y, double w, double h, bool centred);

// The value style, or its regular weight when the bold text is wider than
// room. Fails the run when neither fits.
TextStyle fittingValueStyle(const Canvas& c, std::string_view text, double room);

// A small triangle pointing left (-1) or right (+1), centred at (cx, cy).
void drawArrow(const Canvas& c, double cx, double cy, int direction, double size, Colour colour);

}  // namespace kettrix::artwork
