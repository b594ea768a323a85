// For other files of the platform layer and its tests only: the Qt objects
// behind GDI handles.
#pragma once

#include "Handles.h"

#include <QIcon>
#include <QImage>
#include <QRegion>

#include <optional>

namespace ModAPI {

// Removes the region from the handle table and returns it; nullopt for 0 or
// an unknown handle. Used by SetWindowRgn, which takes the region over.
std::optional<QRegion> TakeRegion(HRGN region);

// The icon an icon handle names; null for 0 or a window without icon.
QIcon IconOf(HICON icon);

// Where a picture's larger version for high-density screens lies:
// "main.bmp" -> "main@2x.bmp".
QString LargerVersionPath(const QString& path);

// The pixels a context draws into, at their density (a copy); null for 0.
QImage SurfacePixels(HDC dc);

}  // namespace ModAPI
