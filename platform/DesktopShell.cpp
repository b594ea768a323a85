#include "DesktopShell.h"

#include "Shell.h"

#include <QFile>
#include <QMessageBox>
#include <QStringList>

namespace ModAPI {
namespace {

void showMessageBox(const QString& title, const QString& text) {
  MakeMessageBox(title, text)->exec();
}

std::function<void(const QStringList&)> shellLogger(const QString& path) {
  return [path](const QStringList& fields) {
    QFile log(path);
    if (log.open(QIODevice::Append | QIODevice::Text)) log.write(fields.join('\t').toUtf8() + '\n');
  };
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
  // Texts carry names from the catalogue: "<b>" in one is no markup.
  box->setTextFormat(Qt::PlainText);
  return box;
}

void InstallDesktopShell() {
  const QString logPath = qEnvironmentVariable("COURIER_QUERY_SHELL_LOG");
  if (logPath.isEmpty()) {
    Shell().messageBox = showMessageBox;
    return;
  }
  const auto log = shellLogger(logPath);
  Shell().messageBox = [log](const QString& title, const QString& text) {
    log({QStringLiteral("messagebox"), title, text});
  };
  Shell().openAddressMinimized = [log](const QString& address) {
    log({QStringLiteral("open"), address});
  };
}

}  // namespace ModAPI
