// Handles of the platform layer: small typed values that name an object held
// in one of the layer's tables. The value 0 names no object; every function
// that takes a handle treats 0, and a handle whose object is gone, as "nothing
// there" and does no harm.
#pragma once

#include <QtGlobal>

namespace ModAPI {

template <typename Tag>
struct Handle {
  quint32 value = 0;

  explicit operator bool() const { return value != 0; }
  friend bool operator==(Handle, Handle) = default;
};

using HWND = Handle<struct WindowTag>;     // a top-level widget
using HDC = Handle<struct DcTag>;          // a drawing surface (device context)
using HBITMAP = Handle<struct BitmapTag>;  // an image, owned by the surface it is selected into
using HRGN = Handle<struct RegionTag>;     // a region, owned by its window once set on it
using HCURSOR = Handle<struct CursorTag>;  // a shared pointer shape
using HICON = Handle<struct IconTag>;      // a window icon

}  // namespace ModAPI
