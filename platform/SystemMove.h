// Moving and resizing a window by the pointer, as the caption and the edges
// of a window do.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class QWidget;

namespace ModAPI {

// Hands the window to the window system's move (no edges) or resize (the
// edges that follow the pointer). Where the window system cannot do it and
// a button is held (`buttonHeld`), the window follows the pointer itself
// until the button comes up, within the size limits its hook answers; the
// pointer's messages in between do not reach the window. With no button
// held (the window menu) an X11 window manager moves or sizes it by the
// keyboard. A maximised window is neither moved nor resized, as on Windows.
void StartSystemMoveResize(QWidget* window, Qt::Edges edges, bool buttonHeld);

// The outer rectangle after the pointer moved by `delta`: moved whole when
// `edges` is empty, otherwise with those edges moved as far as the size stays
// within `least` and `most`.
QRect DraggedRect(const QRect& start, Qt::Edges edges, QPoint delta, QSize least, QSize most);

}  // namespace ModAPI
