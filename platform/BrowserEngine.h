// The browser engine behind WebBrowser. It is built into a module of its own
// that WebBrowser loads from the program's folder when the engine starts: the
// engine's libraries alone take longer to load than the window needs to
// appear, so the program does not link them.
#pragma once

#include "WebBrowser.h"

#include <QUrl>

#include <chrono>
#include <functional>

namespace ModAPI {

// The module's path under the program's folder. A folder of its own keeps it
// out of the places the system searches for shared libraries.
inline constexpr char kBrowserEngineModule[] = "engine/libcq-browser-engine.so";

class BrowserEngine {
 public:
  // Reports a finished document: its browser object's identity, its address
  // and how its load ended.
  using Completion =
      std::function<void(BrowserObject pDisp, const QString& url, const LoadStatus& status)>;

  virtual ~BrowserEngine() = default;
  // As WebBrowser::Navigate, WebBrowser::setTimeLimit, WebBrowser::All and
  // WebBrowser::setTextReadFor.
  virtual void Navigate(const QUrl& url) = 0;
  virtual void setTimeLimit(std::chrono::milliseconds limit) = 0;
  virtual const QList<HtmlElement>& All() const = 0;
  virtual void setTextReadFor(const QString& id) = 0;
};

// The module's entry point, exported unmangled: a new engine whose page is a
// child of `owner`, that reports every finished document through `complete`
// and names the top-level one `topLevel`. The caller owns it.
extern "C" BrowserEngine* cq_CreateBrowserEngine(QObject* owner, BrowserObject topLevel,
                                                 BrowserEngine::Completion complete);
using CreateBrowserEngine = decltype(&cq_CreateBrowserEngine);

}  // namespace ModAPI
