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
// Every Navigate has a time limit, and the page goes through the phases
// that docs/browser.md draws: loading, emptying after a time-out, waiting
// for the emptying, replacing a renderer caught in a script that never ends.
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
#include <optional>
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
  qint64 pid = 0;  // the renderer asked
  bool given = false;
};

// How long a renderer has to answer the trivial script before it counts as
// hung, whatever the time limit: a live renderer on a busy machine can take
// a good part of a second, and ending it costs the load under way a fresh
// start.
constexpr std::chrono::milliseconds kRendererAnswerTime{3000};

// How often the renderer is asked while a top-level load waits for its
// document. The document being left runs its exit handlers (pagehide,
// unload) in that renderer as the next one arrives, and holds it for as long
// as they run.
constexpr std::chrono::milliseconds kRendererWatchInterval{500};

// How long a load waits at most for the end of the page's emptying after a
// time-out (and at most a quarter of the time limit).
constexpr std::chrono::milliseconds kEmptyingWait{1000};

// Logged by every document as it is created ("top") or, for frames, once it
// has loaded ("frame"); `%1` is the marker. The top-level document also logs
// its element collection ("collected") as the page is shown, in the same
// task as its load event and after the page's own load handlers, so that
// nothing the page queues from them (a script that never ends) can run
// first. `%2` is the collection script, `%3` the longest collection logged.
constexpr char kReportScript[] = R"((() => {
  const report = (kind, text) => console.log('%1 ' + kind + ' ' + text);
  if (window === window.top) {
    report('top', location.href);
    window.addEventListener('pageshow', () => {
      const all = %2;
      if (all.length <= %3) report('collected', all);
    }, {once: true});
  } else if (document.readyState === 'complete') {
    report('frame', location.href);
  } else {
    window.addEventListener('load', () => report('frame', location.href), {once: true});
  }
})())";

// A longer collection (in UTF-16 units) is read by a script call instead:
// a console line carries it whole, but copied in every process it passes.
constexpr int kLongestLoggedCollection = 4 * 1024 * 1024;

// One round trip for the whole collection: an element without id is "", one
// with an id is [id, innerText]. The collection tests false, hence `===`.
// `%1` is a JSON array holding the id whose elements' text is read, compared
// by upper case; an empty array reads every element's. Each element's
// innerText holds all text below it, so reading them all costs the square of
// a deep document's size.
constexpr char kCollectScript[] = R"((() => {
  const all = document.all;
  if (all === undefined) return '[]';
  const [wanted] = %1;
  const read = wanted === undefined ? () => true
      : (upper => id => id.toUpperCase() === upper)(wanted.toUpperCase());
  return JSON.stringify(Array.from(all, e => e.id ? [e.id, read(e.id) ? e.innerText ?? '' : ''] : ''));
})())";

// The collection script reading the text of elements whose id is `textId`,
// or of every element with an id when it is empty. The id goes in as JSON,
// in one substitution, so that nothing in it is taken for script or for a
// placeholder.
QString collectScript(const QString& textId) {
  const QJsonArray wanted = textId.isEmpty() ? QJsonArray() : QJsonArray{textId};
  return QString::fromLatin1(kCollectScript)
      .arg(QString::fromUtf8(QJsonDocument(wanted).toJson(QJsonDocument::Compact)));
}

// The engine gives LF line breaks; callers expect CR LF. A CR already in the
// text is kept as it is.
QString withCrLf(QString text) {
  return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QList<HtmlElement> parseCollection(const QVariant& result) {
  const QJsonArray entries = QJsonDocument::fromJson(result.toString().toUtf8()).array();
  QList<HtmlElement> elements;
  elements.reserve(entries.size());
  for (const QJsonValue& entry : entries) {
    const QJsonArray pair = entry.toArray();
    elements.append({pair.at(0).toString(), withCrLf(pair.at(1).toString())});
  }
  return elements;
}

// The addresses the engine turns into a document or an error page. Others it
// may ignore without a word (an empty host, script addresses), which would
// leave the caller waiting; they complete at once with nothing instead.
bool isBlank(const QUrl& url) {
  return url == QUrl(QStringLiteral("about:blank"));
}

bool isLoadable(const QUrl& url) {
  if (!url.isValid()) return false;
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
    return !url.host().isEmpty();
  return isBlank(url);
}

// The end of loading the empty page itself. The end of a load stopped just
// before it may also carry the empty page's address, but says it stopped.
bool emptyPageEnded(const QWebEngineLoadingInfo& info) {
  return isBlank(info.url()) && (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                                 info.status() == QWebEngineLoadingInfo::LoadFailedStatus);
}

// A failed end that names no error: no network or HTTP failure, the engine
// gave up on the document.
bool endedWithoutCause(const QWebEngineLoadingInfo& info) {
  return info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
         info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain && info.errorCode() == 0;
}

// The engine's network error for a chain of 20 redirects or a loop.
constexpr int kTooManyRedirects = -310;

// How a load that brought no document ended, from the engine's error.
LoadStatus failedLoadStatus(const QWebEngineLoadingInfo& info) {
  switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
      return {LoadStatus::HttpError, info.errorCode()};
    case QWebEngineLoadingInfo::HttpErrorDomain:
      if (info.errorCode() == kTooManyRedirects) return {LoadStatus::TooManyRedirects};
      return {LoadStatus::Unreachable};
    case QWebEngineLoadingInfo::ConnectionErrorDomain:
    case QWebEngineLoadingInfo::CertificateErrorDomain:
    case QWebEngineLoadingInfo::FtpErrorDomain:
    case QWebEngineLoadingInfo::DnsErrorDomain:
      return {LoadStatus::Unreachable};
    default:  // stopped: a download, a renderer that died
      return {LoadStatus::NoDocument};
  }
}

// Whether the engine only scrolls the current document for `to`: the same
// address but for another fragment.
bool isFragmentMove(const QUrl& from, const QUrl& to) {
  return to.hasFragment() && from != to &&
         from.adjusted(QUrl::RemoveFragment) == to.adjusted(QUrl::RemoveFragment);
}

void hardenSettings(QWebEngineSettings* settings) {
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
    listener_.onReport(kind, message.section(QLatin1Char(' '), 2, -1));
  }

 private:
  const QString marker_;
  const Listener listener_;
};

// What the page is doing, as docs/browser.md draws it. Every change of phase
// goes through Engine::enter, from the event that causes it (Next).
enum class Phase {
  Idle,               // no load under way that the engine answers for
  Loading,            // a Navigate's load (and what the page moves on to) counts
  Emptying,           // the time ran out; the page goes to the empty page
  WaitingToStart,     // a Navigate came while emptying; its load waits for the end
  ReplacingRenderer,  // a hung renderer was ended; its termination is still to come
};

enum class Event { Navigate, TimeUp, Emptied, RendererHung, RendererGone };

// The phase that follows `event`. `timeRunning` tells whether the current
// Navigate's time still runs when the renderer goes.
Phase Next(Phase phase, Event event, bool timeRunning) {
  switch (event) {
    case Event::Navigate:
      if (phase == Phase::Emptying) return Phase::WaitingToStart;
      return phase == Phase::Idle ? Phase::Loading : phase;
    case Event::TimeUp:
      return phase == Phase::ReplacingRenderer ? phase : Phase::Emptying;
    case Event::Emptied:
      if (phase == Phase::WaitingToStart) return Phase::Loading;
      return phase == Phase::Emptying ? Phase::Idle : phase;
    case Event::RendererHung:
      return Phase::ReplacingRenderer;
    case Event::RendererGone:
      return timeRunning ? Phase::Loading : Phase::Idle;
  }
  return phase;
}

// One Navigate's load. Callbacks carry the record's id and count only while
// it is still the current one; the id changes with every Navigate, and also
// when a Navigate's results so far must no longer count (its time ran out,
// its renderer went).
struct LoadRecord {
  quint64 id = 0;
  QUrl target;                  // where the top-level document now goes
  bool timeRunning = false;     // the page may still load and move on
  bool completionDue = false;   // the end of the current load will be reported
  bool completionOwed = false;  // a completion for it has yet to go out
  // Frames count once a new top-level document exists during a load; until
  // then they belong to the page being left.
  bool framesBelongToTarget = false;
  // The target's document exists: a load that ends at its current address
  // ends there, though the document changed its address (history, fragment)
  // without a navigation of its own.
  bool documentCreated = false;
  std::optional<QString> collected;  // the target document's, as it was shown
  // The load ended as failed without a cause before its document's
  // collection came; the collection may still be on its way (awaitCollection).
  bool awaitingCollection = false;
  bool retried = false;  // its renderer died once already
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
  void setTimeLimit(std::chrono::milliseconds limit) override { timeLimit_ = limit; }
  const QList<HtmlElement>& All() const override { return all_; }
  void setTextReadFor(const QString& id) override;

 private:
  void enter(Event event);
  void installReportScript();
  bool acceptNavigation(const QUrl& url, bool isMainFrame);
  void onLoadingChanged(const QWebEngineLoadingInfo& info);
  bool endsTarget(const QWebEngineLoadingInfo& info) const;
  void onReport(const QString& kind, const QString& text);
  void onCollected(const QString& collection);
  void awaitCollection(const QWebEngineLoadingInfo& info);
  void completeCollected(const QUrl& url);
  void onTimeUp();
  void startLoad(const QUrl& url);
  void onEmptied();
  void checkRenderer();
  void watchRenderer();
  void onRendererGone();
  void loadAgain();
  void collectAndComplete(const QUrl& url);
  void completeEmpty(const QUrl& url, LoadStatus status);
  void completeLoad(quint64 id, const QUrl& url, QList<HtmlElement> elements, LoadStatus status);
  void invalidate() { load_.id = ++lastLoadId_; }

  QObject* const owner_;
  const BrowserObject topLevel_;
  const Completion complete_;
  const QString marker_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
  QWebEngineProfile profile_;  // off the record: nothing reaches the disk
  HiddenPage* page_;
  Phase phase_ = Phase::Idle;
  LoadRecord load_;
  quint64 lastLoadId_ = 0;
  BrowserObject lastFrame_ = 0;
  QList<HtmlElement> all_;
  QString collectScript_ = collectScript({});
  std::chrono::milliseconds timeLimit_ = WebBrowser::kDefaultTimeLimit;
  QTimer timeUp_;
  QTimer emptyingBound_;                // how long a load waits at most for the emptying
  QTimer rendererWatch_;                // asks the renderer while the next document is to come
  std::shared_ptr<ProbeAnswer> probe_;  // the latest question to the renderer
};

Engine::Engine(QObject* owner, BrowserObject topLevel, Completion complete)
    : owner_(owner),
      topLevel_(topLevel),
      complete_(std::move(complete)),
      page_(
          new HiddenPage(owner, &profile_, marker_,
                         {[this](const QString& kind, const QString& url) { onReport(kind, url); },
                          [this](const QUrl& url, bool isMainFrame) {
                            return acceptNavigation(url, isMainFrame);
                          }})) {
  hardenSettings(page_->settings());
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
                   [this](const QWebEngineLoadingInfo& info) { onLoadingChanged(info); });
  QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, [this] { onRendererGone(); });
  timeUp_.setSingleShot(true);
  QObject::connect(&timeUp_, &QTimer::timeout, [this] { onTimeUp(); });
  emptyingBound_.setSingleShot(true);
  QObject::connect(&emptyingBound_, &QTimer::timeout, [this] { onEmptied(); });
  rendererWatch_.setInterval(kRendererWatchInterval);
  QObject::connect(&rendererWatch_, &QTimer::timeout, [this] { watchRenderer(); });
  installReportScript();
}

// The page is a child of the browser object (where the tests find it) but
// must go before its profile, which the browser object's children outlive.
// Script calls still under way are answered empty as it goes: they must not
// complete anything, and no load may start.
Engine::~Engine() {
  invalidate();
  phase_ = Phase::Idle;
  delete page_;
}

// The one place the phase changes, with what entering the new phase does.
void Engine::enter(Event event) {
  const Phase from = phase_;
  phase_ = Next(from, event, load_.timeRunning && load_.completionOwed);
  if (phase_ == Phase::Emptying && from != Phase::Emptying) {
    // The end may not come at all when the engine folds this load into the
    // stopped one.
    emptyingBound_.start(std::min(kEmptyingWait, timeLimit_ / 4));
    page_->load(QUrl(QStringLiteral("about:blank")));
  } else if (phase_ != Phase::Emptying && phase_ != Phase::WaitingToStart) {
    emptyingBound_.stop();
  }
  if (from == Phase::WaitingToStart && phase_ == Phase::Loading && event == Event::Emptied)
    startLoad(load_.target);
}

// Documents created from now on collect as `id` asks.
void Engine::setTextReadFor(const QString& id) {
  collectScript_ = collectScript(id);
  for (const QWebEngineScript& script : page_->scripts().find(QStringLiteral("report")))
    page_->scripts().remove(script);
  installReportScript();
}

void Engine::installReportScript() {
  QWebEngineScript script;
  script.setName(QStringLiteral("report"));
  // One substitution: a later one would take a placeholder in the collection
  // script's id for its own.
  script.setSourceCode(
      QString::fromLatin1(kReportScript)
          .arg(marker_, collectScript_, QString::number(kLongestLoggedCollection)));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(kScriptWorld);
  script.setRunsOnSubFrames(true);
  page_->scripts().insert(script);
}

void Engine::Navigate(const QUrl& url) {
  load_ = LoadRecord{};
  load_.id = ++lastLoadId_;
  load_.target = url;
  load_.timeRunning = load_.completionOwed = true;
  load_.completionDue = isLoadable(url);
  timeUp_.start(timeLimit_);
  if (!load_.completionDue) {
    completeEmpty(url, {LoadStatus::NoDocument});
    return;
  }
  checkRenderer();
  enter(Event::Navigate);
  if (phase_ != Phase::WaitingToStart) startLoad(url);
}

void Engine::startLoad(const QUrl& url) {
  const bool sameDocument = isFragmentMove(page_->url(), url);
  page_->load(url);
  // Moving to another fragment of the document keeps it and ends no load.
  if (sameDocument) {
    load_.completionDue = false;
    collectAndComplete(url);
  }
}

// The end of the page's emptying, or the end of waiting for it.
void Engine::onEmptied() {
  enter(Event::Emptied);
}

// The top-level document goes where it is sent, to a redirect's target or
// where the page sends itself, but only to addresses the browser loads. A
// frame may load anything the engine allows. Once the time is up nothing
// moves but to the empty page.
bool Engine::acceptNavigation(const QUrl& url, bool isMainFrame) {
  if (!load_.timeRunning) return isMainFrame && isBlank(url);
  if (!isMainFrame) return true;
  if (!isLoadable(url)) return false;
  rendererWatch_.start();
  load_.target = url;
  load_.documentCreated = false;
  load_.collected.reset();
  load_.awaitingCollection = false;
  return true;
}

void Engine::onLoadingChanged(const QWebEngineLoadingInfo& info) {
  if ((phase_ == Phase::Emptying || phase_ == Phase::WaitingToStart) && emptyPageEnded(info))
    return onEmptied();
  if (!load_.timeRunning) return;
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    load_.completionDue = true;  // also a load the page starts by itself
    load_.completionOwed = true;
    return;
  }
  // An end while the renderer is being ended is its doing: onRendererGone
  // answers for the load.
  if (!load_.completionDue || phase_ == Phase::ReplacingRenderer || !endsTarget(info)) return;
  if (endedWithoutCause(info) && !load_.collected) return awaitCollection(info);
  load_.completionDue = false;
  if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus)
    completeEmpty(info.url(), failedLoadStatus(info));
  else if (load_.collected)
    completeCollected(info.url());
  else
    collectAndComplete(info.url());
}

// The target document has loaded and logged its collection. The load's end
// normally follows at once and completes with it; a renderer that a script
// of the page hung meanwhile never reports that end, and the load completes
// with the collection when a live renderer would long have reported it.
void Engine::onCollected(const QString& collection) {
  if (!load_.documentCreated || !load_.completionDue) return;
  load_.collected = collection;
  if (load_.awaitingCollection) return completeCollected(page_->url());
  const quint64 id = load_.id;
  QTimer::singleShot(kRendererAnswerTime, owner_, [this, id] {
    if (id == load_.id && load_.completionDue && load_.collected &&
        phase_ != Phase::ReplacingRenderer)
      completeCollected(page_->url());
  });
}

// A script of the page that hangs the renderer as the page is shown can make
// the engine end the load as failed, without a cause, before the reports the
// document made (its creation, its collection) have arrived: they come on
// another channel. The load completes with the collection when it comes,
// and as it ended (a download, a load stopped) when a live renderer would
// long have delivered it.
void Engine::awaitCollection(const QWebEngineLoadingInfo& info) {
  load_.awaitingCollection = true;
  const quint64 id = load_.id;
  const QUrl url = info.url();
  const LoadStatus status = failedLoadStatus(info);
  QTimer::singleShot(kRendererAnswerTime, owner_, [this, id, url, status] {
    if (id != load_.id || !load_.completionDue || !load_.awaitingCollection ||
        phase_ == Phase::ReplacingRenderer)
      return;
    load_.completionDue = false;
    completeLoad(id, url, {}, status);
  });
}

void Engine::completeCollected(const QUrl& url) {
  load_.completionDue = false;
  completeLoad(load_.id, url, parseCollection(*std::exchange(load_.collected, std::nullopt)),
               {LoadStatus::Loaded});
}

bool Engine::endsTarget(const QWebEngineLoadingInfo& info) const {
  if (info.url() == load_.target) return true;
  return load_.documentCreated && info.url() == page_->url();
}

void Engine::onReport(const QString& kind, const QString& text) {
  if (!load_.timeRunning) return;
  if (kind == QLatin1String("top")) {
    load_.framesBelongToTarget = load_.documentCreated = load_.completionDue;
    load_.collected.reset();
  } else if (kind == QLatin1String("collected")) {
    onCollected(text);
  } else if (kind == QLatin1String("frame") && load_.framesBelongToTarget) {
    // Frame identities count up from 1; the top level is an object's address.
    complete_(++lastFrame_, text, {LoadStatus::Loaded});
  }
}

void Engine::onTimeUp() {
  load_.timeRunning = false;
  if (load_.completionOwed) {
    load_.completionDue = false;
    page_->triggerAction(QWebEnginePage::Stop);
    completeLoad(load_.id, load_.target, {}, {LoadStatus::TimedOut});
  }
  invalidate();  // nothing of this Navigate completes any more
  checkRenderer();
  enter(Event::TimeUp);
}

// Sends the renderer a script that does nothing and ends the renderer when no
// answer has come in time (and it is still the page's renderer). Its
// termination (onRendererGone) makes the load under way again; the engine
// starts a new renderer for it. A question still open is not asked again.
void Engine::checkRenderer() {
  const qint64 pid = page_->renderProcessPid();
  if (pid <= 0 || (probe_ && probe_->pid == pid && !probe_->given)) return;
  auto answer = probe_ = std::make_shared<ProbeAnswer>(ProbeAnswer{pid});
  page_->runJavaScript(QStringLiteral("0"), kScriptWorld,
                       [answer](const QVariant&) { answer->given = true; });
  QTimer::singleShot(kRendererAnswerTime, owner_, [this, answer, pid] {
    if (answer->given || page_->renderProcessPid() != pid) return;
    enter(Event::RendererHung);
    EndProcess(pid);
  });
}

// Until the new top-level document exists, the renderer must keep answering.
void Engine::watchRenderer() {
  if (phase_ != Phase::Loading || !load_.timeRunning || !load_.completionDue ||
      load_.documentCreated)
    return rendererWatch_.stop();
  checkRenderer();
}

// A load under way ends with the renderer, whether or not the engine reports
// it, so the completion is answered for here and whatever the engine still
// reports of that load counts no more. A load held up by a renderer ended
// here is made again in a fresh one; so is, once, one whose renderer died by
// itself (out of memory, a crash). A second death ends the load as such.
void Engine::onRendererGone() {
  const bool endedHere = phase_ == Phase::ReplacingRenderer;
  enter(Event::RendererGone);
  if (phase_ != Phase::Loading) return;
  load_.completionDue = false;
  invalidate();  // a collection the renderer never answered is dropped
  if (endedHere || !std::exchange(load_.retried, true))
    loadAgain();
  else
    completeEmpty(load_.target, {LoadStatus::RendererGone});
}

void Engine::loadAgain() {
  const quint64 id = load_.id;
  QMetaObject::invokeMethod(
      owner_,
      [this, id] {
        if (id != load_.id || !load_.timeRunning) return;
        // The engine may merge this load into one it still counts as under
        // way and report no start for it.
        load_.completionDue = true;
        page_->load(load_.target);
      },
      Qt::QueuedConnection);
}

void Engine::collectAndComplete(const QUrl& url) {
  const quint64 id = load_.id;
  page_->runJavaScript(collectScript_, kScriptWorld, [this, id, url](const QVariant& result) {
    completeLoad(id, url, parseCollection(result), {LoadStatus::Loaded});
  });
}

// No document of its own (a failed, stopped or refused load): reported with
// an empty collection, after the caller has returned.
void Engine::completeEmpty(const QUrl& url, LoadStatus status) {
  const quint64 id = load_.id;
  QMetaObject::invokeMethod(
      owner_, [this, id, url, status] { completeLoad(id, url, {}, status); }, Qt::QueuedConnection);
}

void Engine::completeLoad(quint64 id, const QUrl& url, QList<HtmlElement> elements,
                          LoadStatus status) {
  if (id != load_.id) return;
  load_.completionOwed = load_.completionDue;  // the page may have moved on meanwhile
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
