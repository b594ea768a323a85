#include "WindowManager.h"

#include "Window.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace ModAPI {
namespace {

constexpr char kWindowClass[] = "courier-query";

xcb_connection_t* x11Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, false, quint16(strlen(name)), name);
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window a property of type WINDOW names, none when it is missing.
xcb_window_t windowProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, false, window, name, XCB_ATOM_WINDOW, 0, 1);
  const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(connection, cookie, nullptr), &std::free);
  if (!reply || xcb_get_property_value_length(reply.get()) != sizeof(xcb_window_t)) return 0;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

// The check window names itself: a stale property left by a window manager
// that has ended names a window that is gone (or no longer names itself).
bool x11WindowManagerRuns(xcb_connection_t* connection) {
  const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
  if (check == XCB_ATOM_NONE) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_window_t child = windowProperty(connection, root, check);
  return child && windowProperty(connection, child, check) == child;
}

// A compositing manager owns the selection _NET_WM_CM_S<screen>; the first
// screen's, as everything here uses the first screen's root.
bool x11CompositorRuns(xcb_connection_t* connection) {
  const xcb_get_selection_owner_cookie_t cookie =
      xcb_get_selection_owner(connection, Atom(connection, "_NET_WM_CM_S0"));
  const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
      xcb_get_selection_owner_reply(connection, cookie, nullptr), &std::free);
  return reply && reply->owner != XCB_NONE;
}

// _NET_WM_MOVERESIZE's directions: the eight sizes clockwise from the top
// left corner, then the move.
quint32 moveResizeDirection(Qt::Edges edges) {
  constexpr std::pair<Qt::Edges::Int, quint32> kDirections[] = {
      {Qt::TopEdge | Qt::LeftEdge, 0},     {Qt::TopEdge, 1},
      {Qt::TopEdge | Qt::RightEdge, 2},    {Qt::RightEdge, 3},
      {Qt::BottomEdge | Qt::RightEdge, 4}, {Qt::BottomEdge, 5},
      {Qt::BottomEdge | Qt::LeftEdge, 6},  {Qt::LeftEdge, 7},
  };
  for (const auto& [side, direction] : kDirections) {
    if (edges == Qt::Edges(side)) return direction;
  }
  return 8;
}

}  // namespace

bool StartX11MoveResize(QWindow* window, QPoint pressedAt, Qt::Edges edges, MoveBy by) {
  xcb_connection_t* connection = x11Connection();
  if (!window || !connection || !x11WindowManagerRuns(connection)) return false;
  const QPoint point = pressedAt * window->devicePixelRatio();
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = xcb_window_t(window->winId());
  message.type = Atom(connection, "_NET_WM_MOVERESIZE");
  message.data.data32[0] = quint32(point.x());
  message.data.data32[1] = quint32(point.y());
  constexpr quint32 kSizeKeyboard = 9, kMoveKeyboard = 10;
  message.data.data32[2] = by == MoveBy::Pointer ? moveResizeDirection(edges)
                           : edges               ? kSizeKeyboard
                                                 : kMoveKeyboard;
  message.data.data32[3] = XCB_BUTTON_INDEX_1;
  message.data.data32[4] = 1;  // from an application
  // The manager grabs the pointer itself; the press's implicit grab is ours.
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  xcb_send_event(connection, false, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
  return true;
}

bool KeyboardMoveAvailable() {
  return QGuiApplication::platformName() == QLatin1String("xcb") && WindowManagerRuns();
}

bool WindowManagerRuns() {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return true;
  xcb_connection_t* connection = x11Connection();
  return connection && x11WindowManagerRuns(connection);
}

bool WindowSystemShapesWindows() {
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return false;
  xcb_connection_t* connection = x11Connection();
  return !connection || !x11CompositorRuns(connection);
}

QByteArray WindowClass() {
  return QByteArray(kWindowClass) + '\0' + kWindowClass + '\0';
}

void ApplyWindowClass(HWND window) {
  QWidget* widget = WindowWidget(window);
  xcb_connection_t* connection = x11Connection();
  if (!widget || !widget->isWindow() || !widget->windowHandle() || !connection) return;
  const QByteArray value = WindowClass();
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(widget->winId()),
                      XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, quint32(value.size()),
                      value.constData());
  xcb_flush(connection);
}

}  // namespace ModAPI
