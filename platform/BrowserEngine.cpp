// The browser engine over a QWebEnginePage that has no view, built into the
// module that WebBrowser loads when the engine starts.
//
// Frame documents report through the console: a user script, run in every
// frame in a world of its own, logs a line that starts with this browser's
// secret marker when its document has loaded. The page cannot forge the line
// (it never sees the marker) nor silence it (each world has its own console).
// The top-level document reports through the engine's load signals; its
// element collection is read in one script call before the signal goes out.
//
// Every Navigate has a time limit. A load still under way when it runs out
// is stopped and completes as timed out; then the page is emptied (whatever
// its scripts still do ends with it) and may not move on by itself any more.
// A renderer caught in a script that never ends takes no new
// document, so before each load and when the time runs out a trivial script
// asks whether it still answers; one that stays silent for seconds is ended,
// and a load it was holding up is made again in a fresh renderer. Whenever
// the renderer goes, ended here or dying by itself, the load under way still
// completes: the engine reports at most the end of the load the renderer
// held, and may drop one still on its way to the target without a word.
// The engine reports the end of the page's emptying (and of a load stopped
// with it) later, and such an end would also end a load started before it,
// which then never reports its own: a Navigate waits for it, a short while at
// most.
#include "BrowserEngine.h"
#include "Process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QTimer>
#include <QUuid>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <algorithm>
#include <functional>
#include <memory>
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

// Whether the renderer answered the probe. A type of this file's own: the
// engine's library exports its copies of the standard library's shared
// pointer machinery for `bool` (built without type information), and those
// would stand in for ours.
struct ProbeAnswer {
  bool given = false;
};

// How long a renderer has to answer the trivial script before it counts as
// hung, whatever the time limit: a live renderer on a busy machine can take
// a good part of a second, and ending it costs the load under way a fresh
// start.
constexpr std::chrono::milliseconds kRendererAnswerTime{3000};

// How long a load waits at most for the end of the page's emptying after a
// time-out (and at most a quarter of the time limit).
constexpr std::chrono::milliseconds kEmptyingWait{1000};

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
bool IsBlank(const QUrl& url) {
  return url == QUrl(QStringLiteral("about:blank"));
}

bool IsLoadable(const QUrl& url) {
  if (!url.isValid()) return false;
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
    return !url.host().isEmpty();
  return IsBlank(url);
}

// The end of loading the empty page itself. The end of a load stopped just
// before it may also carry the empty page's address, but says it stopped.
bool EmptyPageEnded(const QWebEngineLoadingInfo& info) {
  return IsBlank(info.url()) && (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                                 info.status() == QWebEngineLoadingInfo::LoadFailedStatus);
}

// How a load that brought no document ended, from the engine's error.
LoadStatus FailedLoadStatus(const QWebEngineLoadingInfo& info) {
  switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
      return {LoadStatus::HttpError, info.errorCode()};
    case QWebEngineLoadingInfo::ConnectionErrorDomain:
    case QWebEngineLoadingInfo::CertificateErrorDomain:
    case QWebEngineLoadingInfo::HttpErrorDomain:
    case QWebEngineLoadingInfo::FtpErrorDomain:
    case QWebEngineLoadingInfo::DnsErrorDomain:
      return {LoadStatus::Unreachable};
    default:  // stopped: a download, a renderer that died
      return {LoadStatus::NoDocument};
  }
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
// console lines on and asks its owner whether a navigation may go ahead.
class HiddenPage : public QWebEnginePage {
 public:
  struct Listener {
    std::function<void(const QString& kind, const QString& url)> onReport;
    std::function<bool(const QUrl& url, bool isMainFrame)> acceptNavigation;
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
    return listener_.acceptNavigation(url, isMainFrame);
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
// Navigate, or after the time ran out, is dropped.
class Engine : public BrowserEngine {
 public:
  Engine(QObject* owner, BrowserObject topLevel, Completion complete);
  ~Engine() override;

  void Navigate(const QUrl& url) override;
  void SetTimeLimit(std::chrono::milliseconds limit) override { timeLimit_ = limit; }
  const QList<HtmlElement>& All() const override { return all_; }

 private:
  void InstallReportScript();
  bool AcceptNavigation(const QUrl& url, bool isMainFrame);
  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnReport(const QString& kind, const QString& url);
  void OnTimeUp();
  void StartLoad(const QUrl& url);
  void Emptied();
  void CheckRenderer();
  void ReplaceRenderer(qint64 pid);
  void OnRendererGone();
  void LoadAgain();
  void CollectAndComplete(const QUrl& url);
  void CompleteEmpty(const QUrl& url, LoadStatus status);
  void Complete(quint64 serial, const QUrl& url, QList<HtmlElement> elements, LoadStatus status);

  QObject* const owner_;
  const BrowserObject topLevel_;
  const Completion complete_;
  const QString marker_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
  QWebEngineProfile profile_;  // off the record: nothing reaches the disk
  HiddenPage* page_;
  QUrl target_;
  bool completionDue_ = false;   // the end of the current load will be reported
  bool completionOwed_ = false;  // a completion for the current load has yet to go out
  quint64 serial_ = 0;
  // Frames count once a new top-level document exists during a load; until
  // then they belong to the page being left.
  bool framesBelongToTarget_ = false;
  BrowserObject lastFrame_ = 0;
  QList<HtmlElement> all_;
  std::chrono::milliseconds timeLimit_ = WebBrowser::kDefaultTimeLimit;
  QTimer timeUp_;
  bool withinTimeLimit_ = false;
  bool endingRenderer_ = false;    // ended by ReplaceRenderer, its termination still to come
  bool emptying_ = false;          // the end of emptying the page has not come yet
  bool startWhenEmptied_ = false;  // the current Navigate's load waits for it
  QTimer emptyingBound_;           // how long it waits at most
};

Engine::Engine(QObject* owner, BrowserObject topLevel, Completion complete)
    : owner_(owner),
      topLevel_(topLevel),
      complete_(std::move(complete)),
      page_(
          new HiddenPage(owner, &profile_, marker_,
                         {[this](const QString& kind, const QString& url) { OnReport(kind, url); },
                          [this](const QUrl& url, bool isMainFrame) {
                            return AcceptNavigation(url, isMainFrame);
                          }})) {
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
  QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, [this] { OnRendererGone(); });
  timeUp_.setSingleShot(true);
  QObject::connect(&timeUp_, &QTimer::timeout, [this] { OnTimeUp(); });
  emptyingBound_.setSingleShot(true);
  QObject::connect(&emptyingBound_, &QTimer::timeout, [this] { Emptied(); });
  InstallReportScript();
}

// The page is a child of the browser object (where the tests find it) but
// must go before its profile, which the browser object's children outlive.
// Script calls still under way are answered empty as it goes: they must not
// complete anything, and no load may start.
Engine::~Engine() {
  ++serial_;
  emptying_ = false;
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
  withinTimeLimit_ = true;
  timeUp_.start(timeLimit_);
  completionOwed_ = true;
  completionDue_ = IsLoadable(url);
  startWhenEmptied_ = false;
  if (!completionDue_) {
    CompleteEmpty(url, {LoadStatus::NoDocument});
    return;
  }
  CheckRenderer();
  if (emptying_)
    startWhenEmptied_ = true;
  else
    StartLoad(url);
}

void Engine::StartLoad(const QUrl& url) {
  const bool sameDocument = IsFragmentMove(page_->url(), url);
  page_->load(url);
  // Moving to another fragment of the document keeps it and ends no load.
  if (sameDocument) {
    completionDue_ = false;
    CollectAndComplete(url);
  }
}

// The load that waited starts now. A renderer ended meanwhile may not have
// gone yet: the load is then made again in a fresh one, as any load is
// whose renderer was ended.
void Engine::Emptied() {
  emptying_ = false;
  emptyingBound_.stop();
  if (std::exchange(startWhenEmptied_, false)) StartLoad(target_);
}

// The top-level document goes where it is sent, to a redirect's target or
// where the page sends itself, but only to addresses the browser loads. A
// frame may load anything the engine allows. Once the time is up nothing
// moves but to the empty page.
bool Engine::AcceptNavigation(const QUrl& url, bool isMainFrame) {
  if (!withinTimeLimit_) return isMainFrame && IsBlank(url);
  if (!isMainFrame) return true;
  if (!IsLoadable(url)) return false;
  target_ = url;
  return true;
}

void Engine::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  if (emptying_ && EmptyPageEnded(info)) return Emptied();
  if (!withinTimeLimit_) return;
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    completionDue_ = true;  // also a load the page starts by itself
    completionOwed_ = true;
    return;
  }
  // An end while the renderer is being ended is its doing: OnRendererGone
  // answers for the load.
  if (!completionDue_ || endingRenderer_ || info.url() != target_) return;
  completionDue_ = false;
  if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
    CollectAndComplete(info.url());
  else
    CompleteEmpty(info.url(), FailedLoadStatus(info));
}

void Engine::OnReport(const QString& kind, const QString& url) {
  if (!withinTimeLimit_) return;
  if (kind == QLatin1String("top")) {
    framesBelongToTarget_ = completionDue_;
  } else if (kind == QLatin1String("frame") && framesBelongToTarget_) {
    // Frame identities count up from 1; the top level is an object's address.
    complete_(++lastFrame_, url, {LoadStatus::Loaded});
  }
}

void Engine::OnTimeUp() {
  withinTimeLimit_ = false;
  if (completionOwed_) {
    completionDue_ = false;
    page_->triggerAction(QWebEnginePage::Stop);
    Complete(serial_, target_, {}, {LoadStatus::TimedOut});
  }
  ++serial_;  // nothing of this Navigate completes any more
  CheckRenderer();
  emptying_ = true;
  // The end may not come at all when the engine folds this load into the
  // stopped one.
  emptyingBound_.start(std::min(kEmptyingWait, timeLimit_ / 4));
  page_->load(QUrl(QStringLiteral("about:blank")));
}

// Sends the renderer a script that does nothing and ends the renderer when no
// answer has come in time (and it is still the page's renderer).
void Engine::CheckRenderer() {
  const qint64 pid = page_->renderProcessPid();
  if (pid <= 0) return;
  auto answer = std::make_shared<ProbeAnswer>();
  page_->runJavaScript(QStringLiteral("0"), kScriptWorld,
                       [answer](const QVariant&) { answer->given = true; });
  QTimer::singleShot(kRendererAnswerTime, owner_, [this, answer, pid] {
    if (!answer->given && page_->renderProcessPid() == pid) ReplaceRenderer(pid);
  });
}

// Its termination (OnRendererGone) makes the load under way again; the
// engine starts a new renderer for it.
void Engine::ReplaceRenderer(qint64 pid) {
  endingRenderer_ = true;
  EndProcess(pid);
}

// A load under way ends with the renderer, whether or not the engine reports
// it, so the completion is answered for here and whatever the engine still
// reports of that load counts no more. A load held up by a renderer ended
// here is made again in a fresh one; one whose renderer died by itself (out
// of memory, a crash) completes without a document.
void Engine::OnRendererGone() {
  const bool endedHere = std::exchange(endingRenderer_, false);
  // The emptying ends with the renderer; a load waiting for it is made below.
  emptying_ = startWhenEmptied_ = false;
  emptyingBound_.stop();
  if (!withinTimeLimit_ || !completionOwed_) return;
  completionDue_ = false;
  ++serial_;  // a collection the renderer never answered is dropped
  if (endedHere)
    LoadAgain();
  else
    CompleteEmpty(target_, {LoadStatus::NoDocument});
}

void Engine::LoadAgain() {
  const quint64 serial = serial_;
  QMetaObject::invokeMethod(
      owner_,
      [this, serial] {
        if (serial != serial_ || !withinTimeLimit_) return;
        // The engine may merge this load into one it still counts as under
        // way and report no start for it.
        completionDue_ = true;
        page_->load(target_);
      },
      Qt::QueuedConnection);
}

void Engine::CollectAndComplete(const QUrl& url) {
  const quint64 serial = serial_;
  page_->runJavaScript(QString::fromLatin1(kCollectScript), kScriptWorld,
                       [this, serial, url](const QVariant& result) {
                         Complete(serial, url, ParseCollection(result), {LoadStatus::Loaded});
                       });
}

// No document of its own (a failed, stopped or refused load): reported with
// an empty collection, after the caller has returned.
void Engine::CompleteEmpty(const QUrl& url, LoadStatus status) {
  const quint64 serial = serial_;
  QMetaObject::invokeMethod(
      owner_, [this, serial, url, status] { Complete(serial, url, {}, status); },
      Qt::QueuedConnection);
}

void Engine::Complete(quint64 serial, const QUrl& url, QList<HtmlElement> elements,
                      LoadStatus status) {
  if (serial != serial_) return;
  completionOwed_ = completionDue_;  // the page may have moved on meanwhile
  all_ = std::move(elements);
  complete_(topLevel_, url.toString(), status);
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
