// The hidden web browser: a browser engine page that is never shown. It loads
// an address in the background and reports, through the event loop, each
// document that finished loading; for the top-level document it then offers
// the element collection in document order.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace ModAPI {

// One element of the top-level document. `innerText` is the rendered text with
// CR LF line breaks; it is read for elements that carry an id (the only ones a
// caller can look up by id), or only those WebBrowser::setTextReadFor names,
// and is empty for the others.
struct HtmlElement {
  QString id;
  QString innerText;
};

// Identity of a document's browser object: the top level or one of its frames.
using BrowserObject = quintptr;

// How the load of a document ended.
struct LoadStatus {
  enum Outcome {
    Loaded,            // a document loaded; its elements are in the collection
    NoDocument,        // nothing to show: a download, an address not loaded
    Unreachable,       // no answer from the server: refused, unknown host, broken connection
    HttpError,         // the server answered with an error status
    TimedOut,          // the load did not end within the time limit and was stopped
    RendererGone,      // the page's process died, and again when the load was made anew
    TooManyRedirects,  // the server sent the load round in a loop or too long a chain
  };
  Outcome outcome = Loaded;
  int httpStatus = 0;  // for HttpError: the status code

  friend bool operator==(const LoadStatus&, const LoadStatus&) = default;
};

class BrowserEngine;

class WebBrowser : public QObject {
  Q_OBJECT

 public:
  explicit WebBrowser(QObject* parent = nullptr);
  ~WebBrowser() override;

  // The browser engine is slow to start; it starts with the first Navigate,
  // or earlier with Start. After DeferStart it waits for Start: Navigate only
  // keeps the address until then (the last one, as a newer Navigate abandons
  // an older load) and Start loads it. A program calls DeferStart before its
  // window's first frame and Start after it. An engine that cannot start
  // (its module is missing) loads nothing: every address then completes
  // with an empty collection.
  void DeferStart();
  void Start();

  static constexpr std::chrono::milliseconds kDefaultTimeLimit{20000};
  // The longest time limit a timer can count (a signed 32-bit number of
  // milliseconds, about 24.8 days); a longer one is cut to it.
  static constexpr std::chrono::milliseconds kLongestTimeLimit{2147483647};

  // The time a Navigate has to complete its document. A load still under way
  // then is stopped and completes as TimedOut. The page may move on by itself
  // (a refresh, a script) only within that time; afterwards it stays where it
  // is, and a renderer busy in a script that never ends is replaced.
  void setTimeLimit(std::chrono::milliseconds limit);

  // Whose text the collection reads: elements whose id equals `id` but for
  // case (compared by their upper case), the others with an id keep their id
  // and an empty text. An empty id (the default) reads the text of every
  // element with an id. Each element's text holds all text below it, so a
  // caller that looks for one element saves the rest. Counts from the next
  // Navigate on.
  void setTextReadFor(const QString& id);

  // Starts loading `address` and returns at once. A load still under way is
  // abandoned and reports nothing. Only http and https addresses with a host
  // and "about:blank" are loaded; any other address completes at once (through
  // the event loop) with an empty collection. An address that differs from
  // the current one only by its fragment keeps the document and completes
  // with its elements.
  void Navigate(const QString& address);

  // The identity DocumentComplete carries for the top-level document. Frame
  // documents carry identities of their own, each different and never this.
  BrowserObject TopLevelObject() const;

  // The elements of the current top-level document in document order, as
  // they were when its DocumentComplete was sent. Empty after a load that
  // failed (refused, HTTP error status, no such host) or brought no document
  // (a download, an address not loaded): an error page, the engine's or the
  // server's, offers no elements. Documents without markup of their own
  // (plain text, a picture) offer the elements the engine wraps them in.
  const QList<HtmlElement>& All() const;

 signals:
  // A document finished loading: once per frame document and once for the
  // top-level document (after the frames), also when the load failed (with an
  // empty collection then); `status` tells how it ended (always Loaded for
  // frames). A load the page starts by itself (a script or a refresh moving
  // it on) within the time limit completes too. Always delivered through the
  // event loop, never from inside Navigate.
  void DocumentComplete(ModAPI::BrowserObject pDisp, const QString& url,
                        const ModAPI::LoadStatus& status);

 private:
  std::unique_ptr<BrowserEngine> engine_;
  bool started_ = false;
  bool deferred_ = false;
  std::chrono::milliseconds timeLimit_ = kDefaultTimeLimit;
  QString textReadFor_;
  std::optional<QString> waiting_;  // the address a deferred Navigate keeps
  quint64 unloadedSerial_ = 0;      // the latest Navigate without an engine
};

}  // namespace ModAPI
