// bare-page: the least a program does to load addresses one after another in
// a browser engine page that is never shown and read each one's result
// element, the engine's own baseline for the lookup benchmark. The addresses
// come one per line on standard input; each gets one line on standard output,
// the result's text on one line (empty when the page has none).
#include <QFile>
#include <QGuiApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <cstdio>

namespace {

constexpr char kReadResult[] = "document.getElementById('queryResult2')?.innerText ?? ''";

void WriteLine(const QString& text) {
  const QByteArray line = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8();
  std::printf("%s\n", line.constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QGuiApplication app(argc, argv);
  QFile input;
  QList<QByteArray> addresses;
  if (input.open(stdin, QIODevice::ReadOnly)) addresses = input.readAll().split('\n');
  addresses.removeAll(QByteArray());
  if (addresses.isEmpty()) return 0;

  QWebEngineProfile profile;  // off the record, as the program's
  QWebEnginePage page(&profile);
  qsizetype loaded = 0;
  QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool) {
    page.runJavaScript(QString::fromLatin1(kReadResult), [&](const QVariant& text) {
      WriteLine(text.toString());
      if (++loaded == addresses.size()) return app.quit();
      page.load(QUrl(QString::fromUtf8(addresses[loaded])));
    });
  });
  page.load(QUrl(QString::fromUtf8(addresses.first())));
  return app.exec();
}
