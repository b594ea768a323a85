#include "DesktopShell.h"

#include "Shell.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTranslator>
#include <QVBoxLayout>

#include <vector>

namespace ModAPI {
namespace {

// The window's other controls are disabled while the box shows, so the
// keyboard stays in it; the cover takes the pointer from the rest.
std::vector<QPointer<QWidget>> disableControls(QWidget* window) {
  std::vector<QPointer<QWidget>> disabled;
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow() && child->isEnabled()) {
      child->setEnabled(false);
      disabled.emplace_back(child);
    }
  }
  return disabled;
}

// A message box drawn inside its owner, centred over it, with its title on
// top: a compositor places a separate window where it likes.
void showInside(QWidget* owner, const QString& title, const QString& text) {
  const std::vector<QPointer<QWidget>> disabled = disableControls(owner);
  const QPointer<QWidget> cover = new QWidget(owner);
  cover->setGeometry(owner->rect());
  auto* panel = new QFrame(cover);
  panel->setFrameShape(QFrame::Box);
  panel->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(panel);
  auto* heading = new QLabel(title, panel);
  heading->setTextFormat(Qt::PlainText);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  QMessageBox* box = MakeMessageBox(title, text, panel).release();
  box->setWindowFlags(Qt::Widget);
  layout->addWidget(box);
  cover->show();
  panel->adjustSize();
  panel->move(cover->rect().center() - panel->rect().center());
  box->button(QMessageBox::Ok)->setFocus();
  box->exec();
  for (const QPointer<QWidget>& control : disabled) {
    if (control) control->setEnabled(true);
  }
  delete cover.data();
}

// On Wayland the program cannot place a window of its own: a box there is
// drawn inside the window it belongs to.
void showMessageBox(const QString& title, const QString& text) {
  QWidget* owner = MessageBoxOwner();
  if (owner && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    showInside(owner, title, text);
    return;
  }
  MakeMessageBox(title, text, owner)->exec();
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
