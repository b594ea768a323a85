// The shared system pointer shapes, loaded by their Windows identifiers.
#pragma once

#include "Handles.h"

namespace ModAPI {

constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_SIZE = 32640;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;
constexpr int IDC_HELP = 32651;

// The handle of a system pointer shape; 0 for an unknown identifier or when
// `instance` is not null (cursors of program resources are not supported).
HCURSOR LoadCursorA(const void* instance, int cursorId);
// Shared shapes own nothing, so destroying one only checks the handle.
int DestroyCursor(HCURSOR cursor);

// Shows `cursor` over the window that gets the pointer's messages (the one
// whose mouse message is being handled, else the last one that had one);
// returns the shape shown before. As on Windows, a hooked window shows its
// own pointer again at its next pointer move or press unless its handler sets
// a shape while handling that message, and its child controls never take the
// shape over: the pointer shows theirs as soon as it enters them.
HCURSOR SetCursor(HCURSOR cursor);
// Removes every application-wide pointer override, so that each window shows
// its own pointer again.
void ResetPointerOverride();

}  // namespace ModAPI
