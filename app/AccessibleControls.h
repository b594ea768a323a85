// The window's controls as assistive technology (a screen reader) sees them.
// The design's controls get their roles here; the courier panel, which paints
// its labels itself, becomes a pane that holds a list with one item per
// label: couriers are list items, the chosen one selected, and headings are
// headings; a courier with the hint mark says so in its description. The
// window and its painted caption buttons are the platform's
// (AccessibleWindow.h).
#pragma once

#include <cstdint>
#include <vector>

class CourierPanel;

// Installs the interfaces; call before the window's controls are first
// asked for them (before the window is created). Idempotent.
void InstallAccessibleControls();

// Tell a listening screen reader that the panel's current courier has the
// focus, and that the chosen courier changed from label `previous`.
void AnnounceCurrentCourier(CourierPanel& panel);
void AnnounceChosenCourier(CourierPanel& panel, int16_t previous);
// ... and that the hint mark came or went on the labels `changed`.
void AnnounceHintChanges(CourierPanel& panel, const std::vector<int16_t>& changed);

// The description of a courier with the hint mark.
inline constexpr char16_t kHintDescription[] = u"符合输入单号的格式";
