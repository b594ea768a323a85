// What assistive technology (a screen reader) learns of a top-level window:
// a window named by its title, whose children are its controls and, before
// them, the buttons it paints on its own frame. Those have no widget of their
// own; they read like push buttons and can be pressed like them.
#pragma once

#include "Gdi.h"
#include "Handles.h"

#include <QString>

namespace ModAPI {

// The buttons a window paints on its frame, in reading order (left to right).
class PaintedButtons {
 public:
  virtual int paintedButtonCount() const = 0;
  virtual QString paintedButtonName(int place) const = 0;
  // In client pixels; right and bottom lie just outside.
  virtual RECT paintedButtonRect(int place) const = 0;
  virtual bool paintedButtonShown(int place) const = 0;
  // Does what a click on the button does.
  virtual void pressPaintedButton(int place) = 0;

 protected:
  ~PaintedButtons() = default;
};

// Makes `buttons` the painted buttons of `window`, or takes them away
// (nullptr). The caller keeps them alive until it takes them away.
void SetPaintedButtons(HWND window, PaintedButtons* buttons);

// Makes every plain top-level widget a window with its title and painted
// buttons for assistive technology. Call before its interface is first
// asked for; SetPaintedButtons calls it too. Idempotent.
void InstallAccessibleWindows();

}  // namespace ModAPI
