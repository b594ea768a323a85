#include "CannotRun.h"

#include "TerminalText.h"

#include <cstdio>

namespace CannotRun {

QString noDisplay() {
  return QStringLiteral(
      "找不到可以显示窗口的图形界面（DISPLAY 或 WAYLAND_DISPLAY 未设置，或连接不上），"
      "无法打开窗口。请在图形桌面中启动本程序；通过 ssh 登录时可用 ssh -X 转发显示。"
      "不打开窗口也能查询：courier-query --lookup 快递公司 单号…");
}

QString asRootWithSandbox() {
  return QStringLiteral(
      "不能以 root 身份运行：浏览器引擎在 root 身份下无法使用它的沙箱，而没有沙箱时，"
      "网页一旦攻破引擎就拥有了 root 的全部权限。请以普通用户身份运行本程序。"
      "确需以 root 运行时（例如在容器中），请设置环境变量 QTWEBENGINE_DISABLE_SANDBOX=1，"
      "引擎将不受沙箱保护。");
}

QString line(const QString& message) {
  return QStringLiteral("courier-query：") + message;
}

void report(const QString& message) {
  const QByteArray bytes = (line(TerminalText::shownLines(message)) + QLatin1Char('\n')).toUtf8();
  std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace CannotRun
