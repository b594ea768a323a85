// Keyboard input as a user types it.
#pragma once

#include <QString>

class QWindow;

// Types `text` into `window` one key at a time (Latin-1 characters).
void typeText(QWindow* window, const QString& text);
