#pragma once

#include <QString>

class QWidget;

namespace tlm {

// What a screen reader says for a control: its accessible name, else its buddy label, else a button's
// own text (without "&" and a closing colon or "…").
QString spokenName(QWidget* control);
// A control the user types into, picks from or presses, made by the program (named, not one of Qt's
// inner parts).
bool isInput(const QWidget* control);
// Gives every input of the window without a spoken name one: the caption at its left or above it
// (a label, or a radio button or check box that stands for the line), else the button right after
// it, its tool tip or placeholder, a grid the window's title; a button showing only "…" is named
// after the field it chooses for.
void nameInputs(QWidget* window);

} // namespace tlm
