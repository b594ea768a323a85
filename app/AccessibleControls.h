// The window's controls as assistive technology (a screen reader) sees them.
// The design's controls get their roles here; the courier panel, which paints
// its labels itself, becomes a pane that holds a list with one item per
// courier, the chosen one selected, and beside the list the headings; a
// courier with the hint mark says so in its description. The status line is
// a status bar, the announcer a notification. The
// window and its painted caption buttons are the platform's
// (AccessibleWindow.h).
#pragma once

#include <cstdint>
#include <vector>

class CourierPanel;

// Installs the interfaces; call before the window's controls are first
// asked for them (before the window is created). Idempotent.
void installAccessibleControls();

// Tell a listening screen reader that the panel's current courier has the
// focus, and that the chosen courier changed from label `previous` to label
// `current`.
void announceCurrentCourier(CourierPanel& panel);
void announceChosenCourier(CourierPanel& panel, int16_t previous, int16_t current);
// ... and that the hint mark came or went on the labels `changed`.
void announceHintChanges(CourierPanel& panel, const std::vector<int16_t>& changed);

// The description of a courier with the hint mark.
inline constexpr char16_t kHintDescription[] = u"符合输入单号的格式";
