#include "WebBrowser.h"

#include "BrowserEngine.h"
#include "Shell.h"

#include <QLibrary>
#include <QMetaObject>

#include <utility>

namespace ModAPI {
namespace {

// The engine from its module beside the program; nothing when the module
// cannot be loaded. The module stays loaded for the rest of the process.
std::unique_ptr<BrowserEngine> LoadEngine(QObject* owner, BrowserObject topLevel,
                                          BrowserEngine::Completion complete) {
  QLibrary module(AppPath() + QLatin1Char('/') + QLatin1String(kBrowserEngineModule));
  const auto create =
      reinterpret_cast<CreateBrowserEngine>(module.resolve("cq_CreateBrowserEngine"));
  if (!create) return nullptr;
  return std::unique_ptr<BrowserEngine>(create(owner, topLevel, std::move(complete)));
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
    engine_ = LoadEngine(this, TopLevelObject(), [this](BrowserObject pDisp, const QString& url) {
      emit DocumentComplete(pDisp, url);
    });
  }
  if (waiting_) Navigate(*std::exchange(waiting_, std::nullopt));
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
        if (serial == unloadedSerial_) emit DocumentComplete(TopLevelObject(), address);
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
