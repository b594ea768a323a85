#include "LookupProgram.h"

#include "CannotRun.h"
#include "EngineEnvironment.h"
#include "Lookup.h"
#include "Module1.h"
#include "NumberFormats.h"
#include "ServiceAddress.h"
#include "Shell.h"
#include "StandardOutput.h"
#include "TerminalText.h"
#include "mTextUTF.h"

#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace LookupProgram {
namespace {

static_assert(kOutputClosed == 128 + SIGPIPE);

const QString kResults = QStringLiteral("结果");
const QString kNothingLookedUp = QStringLiteral("，一个单号也没有查询");
const QString kRestNotLookedUp = QStringLiteral("，其余的单号不再查询");

const QString kMendTheAddress =
    QStringLiteral("。一个单号也没有查询；请改正查询服务的地址（写法见 courier-query --help）");

int nothingLookedUp(const QString& why) {
  CannotRun::report(why);
  return CannotRun::kExitStatus;
}

int UsageError(const QString& error) {
  const QByteArray text = (CannotRun::line(TerminalText::shownLines(error)) + QLatin1Char('\n') +
                           Arguments::usageText())
                              .toUtf8();
  std::fwrite(text.constData(), 1, text.size(), stderr);
  std::fflush(stderr);
  return kUsageError;
}

// The status for output that failed with `error`, said on standard error
// with `consequence` unless the reader closed the pipe: that is the
// reader's choice, and quiet, as in every program in a pipe.
int outputLost(const QString& what, int error, const QString& consequence) {
  if (error == EPIPE) return kOutputClosed;
  CannotRun::report(QStringLiteral("无法写出") + what + QStringLiteral("（") +
                    StandardOutput::failureCause(error) + QStringLiteral("）") + consequence);
  return kOutputFailed;
}

// Help and version: the text in one checked write.
int print(const QString& text) {
  const int error = StandardOutput::writeAll(STDOUT_FILENO, text.toUtf8());
  return error ? outputLost(QStringLiteral("到标准输出"), error, QString()) : 0;
}

// The numbers in order, each "-" replaced by the lines of standard input.
QStringList expandStandardInput(const QStringList& numbers) {
  QStringList expanded;
  for (const QString& number : numbers) {
    if (number != Arguments::kStandardInput) {
      expanded += number;
      continue;
    }
    QFile input;
    if (input.open(stdin, QIODevice::ReadOnly))
      expanded += Lookup::numbersFromLines(input.readAll());
  }
  return expanded;
}

QString CatalogueText() {
  int32_t encoding = mTextUTF::kDetect;
  return mTextUTF::ReadTextFile(Module1::cataloguePath(), encoding);
}

// The numbers with their couriers, or the usage error that keeps every one
// of them from being looked up.
struct Plan {
  std::vector<Lookup::Item> items;
  QString error;
};

Plan autoPlan(const QStringList& numbers, const QString& catalogueText) {
  const NumberFormats::Loaded formats = NumberFormats::read(NumberFormats::filePath());
  if (!formats.problem.isEmpty())
    return {{}, formats.problem + QStringLiteral("，无法按单号格式确定快递公司")};
  Lookup::AutoCouriers resolved = Lookup::resolveAuto(numbers, formats.table, catalogueText);
  return {std::move(resolved.items), resolved.error};
}

Plan planFor(const QString& wanted, const QStringList& numbers) {
  const QString catalogueText = CatalogueText();
  if (wanted == Arguments::kAutoCourier) return autoPlan(numbers, catalogueText);
  const auto courier = Lookup::findCourier(wanted, catalogueText);
  if (!courier)
    return {
        {},
        QStringLiteral("目录中没有快递公司“") + TerminalText::shown(wanted) + QStringLiteral("”")};
  return {Lookup::withCourier(*courier, numbers), {}};
}

// Looks every number up, printing each answer as it comes, and returns the
// exit status once the last one is answered.
int lookUp(QGuiApplication& app, std::vector<Lookup::Item> items, bool json, int jobs) {
  Lookup::Run run(std::move(items), jobs);
  bool allFound = true;
  // Each answer goes out as it comes, so that a reader at the other end of
  // a pipe sees it; one that is lost stops the run: no further number is
  // sent, and the pages still loading are closed with it.
  QObject::connect(&run, &Lookup::Run::answered, [&](const Lookup::Answer& answer) {
    allFound &= answer.status == Lookup::Status::Found;
    const int error = StandardOutput::writeAll(
        STDOUT_FILENO, json ? Lookup::asJson(answer) : Lookup::asText(answer));
    if (error == 0) return;
    run.stop();
    app.exit(outputLost(kResults, error, run.numbersLeft() ? kRestNotLookedUp : QString()));
  });
  QObject::connect(&run, &Lookup::Run::finished, &app, [&] {
    const int error = StandardOutput::closeChecked(STDOUT_FILENO);
    app.exit(error ? outputLost(kResults, error, QString()) : allFound ? kAllFound : kSomeNotFound);
  });
  run.start();
  return app.exec();
}

int runLookups(const Arguments::Request& request, char* programPath) {
  // Before anything opens a file: with standard output closed, the first
  // file opened would become descriptor 1 and receive the answers.
  if (const int error = StandardOutput::writable(STDOUT_FILENO))
    return outputLost(kResults, error, kNothingLookedUp);
  // The lookup shows nothing: the offscreen platform needs no display, and
  // the program's own argument list is not the toolkit's to read.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char* argv[] = {programPath, nullptr};
  QGuiApplication app(argc, argv);

  if (!ModAPI::IsNormalFile(Module1::cataloguePath()))
    return UsageError(Module1::kMissingCatalogueMessage);
  if (!ModAPI::IsReadableFile(Module1::cataloguePath()))
    return nothingLookedUp(Module1::kUnreadableCatalogueMessage);
  const QStringList numbers = expandStandardInput(request.numbers);
  if (numbers.isEmpty()) return UsageError(QStringLiteral("没有要查询的单号"));
  Plan plan = planFor(request.courier, numbers);
  if (!plan.error.isEmpty()) return UsageError(plan.error);
  // Every number would get the same answer from a service that cannot be
  // asked: the run stops before the first, as for a usage error.
  const QString serviceProblem = ServiceAddress::find().problem;
  if (!serviceProblem.isEmpty()) return nothingLookedUp(serviceProblem + kMendTheAddress);
  if (ModAPI::EngineRefusesToStart()) return nothingLookedUp(CannotRun::asRootWithSandbox());
  return lookUp(app, std::move(plan.items), request.json, request.jobs);
}

}  // namespace

int run(const Arguments::Request& request, char* programPath) {
  // A closed pipe comes back from the write as EPIPE, so that the program
  // ends by itself, between two numbers, rather than be ended by the signal.
  std::signal(SIGPIPE, SIG_IGN);
  switch (request.mode) {
    case Arguments::Mode::Help:
      return print(Arguments::helpText());
    case Arguments::Mode::Version:
      return print(Arguments::versionText());
    case Arguments::Mode::Lookup:
      return runLookups(request, programPath);
    case Arguments::Mode::UsageError:
    case Arguments::Mode::Window:
      break;
  }
  return UsageError(request.error);
}

}  // namespace LookupProgram
