// What the skin tests read of a skin object's parts, and how GoogleTest
// prints the parts' enumerations.
#pragma once

#include "VBDirectUI.h"

#include <array>
#include <ostream>

// The five surfaces of a skinned window: WorkDC, FrameDC, then the pictures
// "main.bmp", "SysButton.bmp" and "bkg.jpg".
inline std::array<ModAPI::HDC, 5> surfacesOf(const VBDirectUI& skin) {
  const SkinPictures& pictures = skin.description().pictures();
  return {skin.painter().workDC(), skin.painter().frameDC(), pictures.MainDC.get(),
          pictures.ButtonDC.get(), pictures.BackDC.get()};
}

inline const SkinRect& rectOf(const VBDirectUI& skin, CaptionButtonId id) {
  return skin.geometry().button(id).Rect;
}

// The centre of a caption button.
inline QPoint centreOf(const VBDirectUI& skin, CaptionButtonId id) {
  const SkinRect& r = rectOf(skin, id);
  return {r.Left + r.Width / 2, r.Top + r.Height / 2};
}

inline void PrintTo(CaptionButtonId id, std::ostream* os) {
  static const char* const names[] = {"Close", "Maximise", "Minimise", "Help"};
  *os << names[size_t(id)];
}

inline void PrintTo(Area area, std::ostream* os) {
  *os << "Area " << qint32(area);
}

inline void PrintTo(ButtonState state, std::ostream* os) {
  *os << "ButtonState " << qint32(state);
}

inline void PrintTo(const ButtonLook& look, std::ostream* os) {
  *os << "{Fade " << look.Fade << ", State " << qint32(look.State) << "}";
}
