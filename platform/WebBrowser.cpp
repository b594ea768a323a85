#include "WebBrowser.h"

#include "BrowserEngine.h"
#include "Shell.h"

#include <QLibrary>
#include <QMessageLogContext>
#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace ModAPI {
namespace {

// Loaded after the application started, the engine warns that it should
// have been set up before the application, and its own late set-up (see
// BrowserEngine.cpp) warns that it sets an attribute too late. Both are
// expected here.
constexpr const char* kLateStartWarnings[] = {
    "Qt WebEngine seems to be initialized from a plugin.",
    "Attribute Qt::AA_ShareOpenGLContexts must be set before QCoreApplication is created."};

QtMessageHandler& otherMessages() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

void dropLateStartWarnings(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
  for (const char* warning : kLateStartWarnings) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String(warning))) return;
  }
  otherMessages()(type, context, message);
}

// The engine from its module beside the program; nothing when the module
// cannot be loaded. The module stays loaded for the rest of the process.
std::unique_ptr<BrowserEngine> loadEngine(QObject* owner, BrowserObject topLevel,
                                          BrowserEngine::Completion complete) {
  QLibrary module(AppPath() + QLatin1Char('/') + QLatin1String(kBrowserEngineModule));
  otherMessages() = qInstallMessageHandler(dropLateStartWarnings);
  const auto create =
      reinterpret_cast<CreateBrowserEngine>(module.resolve("cq_CreateBrowserEngine"));
  std::unique_ptr<BrowserEngine> engine(create ? create(owner, topLevel, std::move(complete))
                                               : nullptr);
  qInstallMessageHandler(otherMessages());
  return engine;
}

}  // namespace

WebBrowser::WebBrowser(QObject* parent) : QObject(parent) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::DeferStart() {
  deferred_ = !started_;
}

void WebBrowser::Start() {
  deferred_ = false;
  if (!started_) {
    started_ = true;
    engine_ = loadEngine(this, TopLevelObject(),
                         [this](BrowserObject pDisp, const QString& url, const LoadStatus& status) {
                           emit DocumentComplete(pDisp, url, status);
                         });
    if (engine_) {
      engine_->setTimeLimit(timeLimit_);
      engine_->setTextReadFor(textReadFor_);
    }
  }
  if (waiting_) Navigate(*std::exchange(waiting_, std::nullopt));
}

void WebBrowser::setTimeLimit(std::chrono::milliseconds limit) {
  timeLimit_ = std::min(limit, kLongestTimeLimit);
  if (engine_) engine_->setTimeLimit(timeLimit_);
}

void WebBrowser::setTextReadFor(const QString& id) {
  textReadFor_ = id;
  if (engine_) engine_->setTextReadFor(textReadFor_);
}

void WebBrowser::Navigate(const QString& address) {
  if (deferred_) {
    waiting_ = address;
    return;
  }
  Start();
  if (engine_) return engine_->Navigate(QUrl(address));
  // Without an engine nothing loads: every address completes as one the
  // engine would not load, and only the latest one.
  const quint64 serial = ++unloadedSerial_;
  QMetaObject::invokeMethod(
      this,
      [this, serial, address] {
        if (serial == unloadedSerial_)
          emit DocumentComplete(TopLevelObject(), address, {LoadStatus::NoDocument});
      },
      Qt::QueuedConnection);
}

BrowserObject WebBrowser::TopLevelObject() const {
  return reinterpret_cast<BrowserObject>(this);
}

const QList<HtmlElement>& WebBrowser::All() const {
  static const QList<HtmlElement> none;
  return engine_ ? engine_->All() : none;
}

}  // namespace ModAPI
