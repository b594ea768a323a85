// The browser engine over a QWebEnginePage that has no view, built into the
// module that WebBrowser loads when the engine starts.
//
// Frame documents report through the console: a user script, run in every
// frame in a world of its own, logs a line that starts with this browser's
// secret marker when its document has loaded. The page cannot forge the line
// (it never sees the marker) nor silence it (each world has its own console).
// The top-level document reports through the engine's load signals; its
// element collection is read in one script call before the signal goes out.
#include "BrowserEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <functional>
#include <utility>

// The engine's own set-up of a shared OpenGL context for a program that
// loads it after its application object exists (exported, not in a public
// header).
namespace QtWebEngineCore {
Q_DECL_IMPORT void initialize();
}

namespace ModAPI {

namespace {

constexpr quint32 kScriptWorld = QWebEngineScript::ApplicationWorld;

// Logged by every document as it is created ("top") or, for frames, once it
// has loaded ("frame"); `%1` is the marker.
constexpr char kReportScript[] = R"((() => {
  const report = kind => console.log('%1 ' + kind + ' ' + location.href);
  if (window === window.top) {
    report('top');
  } else if (document.readyState === 'complete') {
    report('frame');
  } else {
    window.addEventListener('load', () => report('frame'), {once: true});
  }
})())";

// One round trip for the whole collection: an element without id is "", one
// with an id is [id, innerText]. The collection tests false, hence `===`.
constexpr char kCollectScript[] = R"((() => {
  const all = document.all;
  if (all === undefined) return '[]';
  return JSON.stringify(Array.from(all, e => e.id ? [e.id, e.innerText ?? ''] : ''));
})())";

// The engine gives LF line breaks; callers expect CR LF. A CR already in the
// text is kept as it is.
QString WithCrLf(QString text) {
  return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QList<HtmlElement> ParseCollection(const QVariant& result) {
  const QJsonArray entries = QJsonDocument::fromJson(result.toString().toUtf8()).array();
  QList<HtmlElement> elements;
  elements.reserve(entries.size());
  for (const QJsonValue& entry : entries) {
    const QJsonArray pair = entry.toArray();
    elements.append({pair.at(0).toString(), WithCrLf(pair.at(1).toString())});
  }
  return elements;
}

// The addresses the engine turns into a document or an error page. Others it
// may ignore without a word (an empty host, script addresses), which would
// leave the caller waiting; they complete at once with nothing instead.
bool IsLoadable(const QUrl& url) {
  if (!url.isValid()) return false;
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
    return !url.host().isEmpty();
  return url == QUrl(QStringLiteral("about:blank"));
}

// Whether the engine only scrolls the current document for `to`: the same
// address but for another fragment.
bool IsFragmentMove(const QUrl& from, const QUrl& to) {
  return to.hasFragment() && from != to &&
         from.adjusted(QUrl::RemoveFragment) == to.adjusted(QUrl::RemoveFragment);
}

void HardenSettings(QWebEngineSettings* settings) {
  settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
  settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
  settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
  settings->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
  settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
  settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
  settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
  settings->setAttribute(QWebEngineSettings::WebGLEnabled, false);
  settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
  settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
  settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
  settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
}

// A page nobody sees: it opens no windows, shows no dialogs, passes the marked
// console lines on and tells which address the top-level document now goes
// to (the address asked for, a redirect or the page's own navigation).
class HiddenPage : public QWebEnginePage {
 public:
  struct Listener {
    std::function<void(const QString& kind, const QString& url)> onReport;
    std::function<void(const QUrl& url)> onMainFrameNavigation;
  };

  HiddenPage(QObject* parent, QWebEngineProfile* profile, QString marker, Listener listener)
      : QWebEnginePage(profile, parent),
        marker_(std::move(marker)),
        listener_(std::move(listener)) {}

 protected:
  QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
    return false;
  }
  QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
    return {};
  }

  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (isMainFrame) listener_.onMainFrameNavigation(url);
    return true;
  }

  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                const QString&) override {
    if (!message.startsWith(marker_)) return;
    const QString kind = message.section(QLatin1Char(' '), 1, 1);
    listener_.onReport(kind, message.section(QLatin1Char(' '), 2));
  }

 private:
  const QString marker_;
  const Listener listener_;
};

// Tells the current top-level load from abandoned ones. The engine merges a
// load that replaces an unfinished one into it (one start, one end) but may
// still end the page being left once the next load is under way; an end
// counts only while a completion is due and when it is for the address the
// top-level document now goes to. A result that comes back after a newer
// Navigate is dropped by its serial.
class Engine : public BrowserEngine {
 public:
  Engine(QObject* owner, BrowserObject topLevel, Completion complete);
  ~Engine() override;

  void Navigate(const QUrl& url) override;
  const QList<HtmlElement>& All() const override { return all_; }

 private:
  void InstallReportScript();
  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnReport(const QString& kind, const QString& url);
  void CollectAndComplete(const QUrl& url);
  void CompleteEmpty(const QUrl& url);
  void Complete(quint64 serial, const QUrl& url, QList<HtmlElement> elements);

  QObject* const owner_;
  const BrowserObject topLevel_;
  const Completion complete_;
  const QString marker_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
  QWebEngineProfile profile_;  // off the record: nothing reaches the disk
  HiddenPage* page_;
  QUrl target_;
  bool completionDue_ = false;
  quint64 serial_ = 0;
  // Frames count once a new top-level document exists during a load; until
  // then they belong to the page being left.
  bool framesBelongToTarget_ = false;
  BrowserObject lastFrame_ = 0;
  QList<HtmlElement> all_;
};

Engine::Engine(QObject* owner, BrowserObject topLevel, Completion complete)
    : owner_(owner),
      topLevel_(topLevel),
      complete_(std::move(complete)),
      page_(
          new HiddenPage(owner, &profile_, marker_,
                         {[this](const QString& kind, const QString& url) { OnReport(kind, url); },
                          [this](const QUrl& url) { target_ = url; }})) {
  HardenSettings(page_->settings());
  // Without a view the engine would run the page as a background tab, whose
  // timers and tasks it slows down; no window is ever made for it.
  page_->setVisible(true);
  QObject::connect(&profile_, &QWebEngineProfile::downloadRequested,
                   [](QWebEngineDownloadRequest* download) { download->cancel(); });
  QObject::connect(page_, &QWebEnginePage::featurePermissionRequested,
                   [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                     page_->setFeaturePermission(origin, feature,
                                                 QWebEnginePage::PermissionDeniedByUser);
                   });
  QObject::connect(page_, &QWebEnginePage::loadingChanged,
                   [this](const QWebEngineLoadingInfo& info) { OnLoadingChanged(info); });
  InstallReportScript();
}

// The page is a child of the browser object (where the tests find it) but
// must go before its profile, which the browser object's children outlive.
Engine::~Engine() {
  delete page_;
}

void Engine::InstallReportScript() {
  QWebEngineScript script;
  script.setName(QStringLiteral("report"));
  script.setSourceCode(QString::fromLatin1(kReportScript).arg(marker_));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(kScriptWorld);
  script.setRunsOnSubFrames(true);
  page_->scripts().insert(script);
}

void Engine::Navigate(const QUrl& url) {
  ++serial_;
  target_ = url;
  framesBelongToTarget_ = false;
  completionDue_ = IsLoadable(url);
  if (!completionDue_) {
    CompleteEmpty(url);
    return;
  }
  const bool sameDocument = IsFragmentMove(page_->url(), url);
  page_->load(url);
  // Moving to another fragment of the document keeps it and ends no load.
  if (sameDocument) {
    completionDue_ = false;
    CollectAndComplete(url);
  }
}

void Engine::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    completionDue_ = true;  // also a load the page starts by itself
    return;
  }
  if (!completionDue_ || info.url() != target_) return;
  completionDue_ = false;
  if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
    CollectAndComplete(info.url());
  else
    CompleteEmpty(info.url());
}

void Engine::OnReport(const QString& kind, const QString& url) {
  if (kind == QLatin1String("top")) {
    framesBelongToTarget_ = completionDue_;
  } else if (kind == QLatin1String("frame") && framesBelongToTarget_) {
    // Frame identities count up from 1; the top level is an object's address.
    complete_(++lastFrame_, url);
  }
}

void Engine::CollectAndComplete(const QUrl& url) {
  const quint64 serial = serial_;
  page_->runJavaScript(QString::fromLatin1(kCollectScript), kScriptWorld,
                       [this, serial, url](const QVariant& result) {
                         Complete(serial, url, ParseCollection(result));
                       });
}

// No document of its own (a failed, stopped or refused load): reported with
// an empty collection, after the caller has returned.
void Engine::CompleteEmpty(const QUrl& url) {
  const quint64 serial = serial_;
  QMetaObject::invokeMethod(
      owner_, [this, serial, url] { Complete(serial, url, {}); }, Qt::QueuedConnection);
}

void Engine::Complete(quint64 serial, const QUrl& url, QList<HtmlElement> elements) {
  if (serial != serial_) return;
  all_ = std::move(elements);
  complete_(topLevel_, url.toString());
}

}  // namespace

extern "C" BrowserEngine* cq_CreateBrowserEngine(QObject* owner, BrowserObject topLevel,
                                                 BrowserEngine::Completion complete) {
  // Loaded after the application started, the engine has no OpenGL context
  // to share yet (where OpenGL is available it would crash without one); its
  // own set-up for that case makes it. Setting it up before the application
  // starts would make it there, in front of the first frame.
  QtWebEngineCore::initialize();
  return new Engine(owner, topLevel, std::move(complete));
}

}  // namespace ModAPI
