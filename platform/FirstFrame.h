// The moment a window's first frame is on the screen: the program starts its
// slow background work after it, and the start-up benchmark times up to it.
#pragma once

#include <functional>

class QWidget;

namespace ModAPI {

// Runs `action` once, from the event loop, after `window` has painted its
// first frame and handed it to the window system. Nothing runs when the
// window goes before that. Of several actions waiting for one window, the
// one added last runs first.
void AfterFirstFrame(QWidget* window, std::function<void()> action);

// With the environment variable COURIER_QUERY_REPORT_FIRST_FRAME set, writes
// the line "first frame" to the standard output once `window`'s first frame
// is on the screen; without it does nothing.
void ReportFirstFrameIfAsked(QWidget* window);

}  // namespace ModAPI
