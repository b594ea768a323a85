// For other files of the platform layer only: the message hook tells the
// pointer shapes which window's pointer message is being handled.
#pragma once

#include <QPoint>

class QWidget;

namespace ModAPI {

// Around the handling of a pointer move or press at `position` (screen
// pixels) on a hooked window: SetCursor calls in between go to `window`;
// when there was none, the window shows the arrow afterwards.
// A press is remembered as the latest press.
void BeginPointerMessage(QWidget* window, QPoint position, bool press);
void EndPointerMessage();
// Where the pointer was at the latest such message, and at the latest
// press: a move the window does itself starts from the press.
QPoint PointerMessagePosition();
QPoint PointerPressPosition();

}  // namespace ModAPI
