#include "SystemMenu.h"

#include "Messages.h"
#include "Subclass.h"
#include "Window.h"
#include "WindowManager.h"

#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace ModAPI {
namespace {

quint32 showMenu(const std::vector<MenuItem>& items, int x, int y, HWND owner) {
  QMenu menu(WindowWidget(owner));
  for (const MenuItem& item : items) {
    if (item.text.isEmpty()) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(item.text);
    action->setEnabled(item.enabled);
    action->setData(item.command);
  }
  const QAction* chosen = menu.exec(QPoint(x, y));
  return chosen ? chosen->data().toUInt() : 0;
}

}  // namespace

HMENU GetSystemMenu(HWND window, bool) {
  const QWidget* widget = WindowWidget(window);
  const bool hasMenu = quint32(GetWindowLongA(window, GWL_STYLE)) & WS_SYSMENU;
  return widget && widget->isWindow() && hasMenu ? HMENU{window.value} : HMENU{};
}

std::vector<MenuItem> SystemMenuItems(HMENU menu) {
  const HWND window{menu.value};
  const QWidget* widget = WindowWidget(window);
  if (!menu || !widget) return {};
  const quint32 style = quint32(GetWindowLongA(window, GWL_STYLE));
  const bool maximised = widget->isMaximized();
  const bool minimised = widget->isMinimized();
  return {
      {QStringLiteral("还原"), SC_RESTORE, maximised || minimised},
      {QStringLiteral("移动"), SC_MOVE, !maximised && KeyboardMoveAvailable()},
      {QStringLiteral("大小"), SC_SIZE,
       (style & WS_THICKFRAME) && !maximised && KeyboardMoveAvailable()},
      {QStringLiteral("最小化"), SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !minimised},
      {QStringLiteral("最大化"), SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !maximised},
      {QString(), 0, false},
      {QStringLiteral("关闭"), SC_CLOSE, true},
  };
}

qint32 TrackPopupMenu(HMENU menu, unsigned flags, int x, int y, int, HWND owner, const RECT*) {
  const std::vector<MenuItem> items = SystemMenuItems(menu);
  if (items.empty()) return 0;
  const quint32 command = PopupMenuSource()(items, x, y, owner);
  return flags & TPM_RETURNCMD ? qint32(command) : command != 0;
}

PopupMenu& PopupMenuSource() {
  static PopupMenu source = showMenu;
  return source;
}

void InstallSystemMenuKey(QWidget* window) {
  for (const QKeyCombination keys :
       {Qt::ALT | Qt::Key_Space, Qt::ALT | Qt::SHIFT | Qt::Key_Space}) {
    auto* key = new QShortcut(QKeySequence(keys), window);
    QObject::connect(key, &QShortcut::activated, window, [window] {
      SendMessageA(WindowHandle(window), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    });
  }
}

// Dismissing the menu sends nothing.
qint32 ShowSystemMenuFromKeyboard(HWND window) {
  const HMENU menu = GetSystemMenu(window, false);
  RECT outer;
  if (!menu || !GetWindowRect(window, &outer)) return 0;
  const qint32 command =
      TrackPopupMenu(menu, TPM_RETURNCMD, outer.left, outer.top, 0, window, nullptr);
  if (command) SendMessageA(window, WM_SYSCOMMAND, quint32(command), 0);
  return 1;
}

}  // namespace ModAPI
