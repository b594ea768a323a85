#include "DesktopShell.h"

#include "Shell.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>

namespace ModAPI {
namespace {

void showMessageBox(const QString& title, const QString& text) {
  MakeMessageBox(title, text, MessageBoxOwner())->exec();
}

std::function<void(const QStringList&)> shellLogger(const QString& path) {
  return [path](const QStringList& fields) {
    QFile log(path);
    if (log.open(QIODevice::Append | QIODevice::Text)) log.write(fields.join('\t').toUtf8() + '\n');
  };
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text,
                                            QWidget* owner) {
  auto box =
      std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
  // Texts carry names from the catalogue: "<b>" in one is no markup.
  box->setTextFormat(Qt::PlainText);
  return box;
}

QWidget* MessageBoxOwner() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowType() == Qt::Window) return window;
  }
  return nullptr;
}

// "qt_zh_CN" loads the catalogues of every module with it.
bool InstallChineseToolkitTexts() {
  auto* texts = new QTranslator(qApp);
  if (texts->load(QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return QCoreApplication::installTranslator(texts);
  delete texts;
  return false;
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
