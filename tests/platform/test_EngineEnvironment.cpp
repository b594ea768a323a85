// What the program reads and sets for the browser engine and the toolkit
// before either starts: the engine's switches, its sandbox, the quiet
// default and the toolkit's fatal errors (in child processes of the test).
#include "Diagnostics.h"
#include "EngineEnvironment.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

TEST(EngineSwitches, NamedWithOneOrTwoDashesAndAnyValue) {
  const struct {
    const char* switches;
    bool named;
  } cases[] = {
      {"--no-sandbox", true},
      {"-no-sandbox", true},
      {"--no-sandbox=1", true},
      {"  --disable-gpu\t--no-sandbox ", true},
      {"", false},
      {"no-sandbox", false},
      {"--no-sandboxes", false},
      {"--js-flags=--no-sandbox", false},
      {"--disable-gpu", false},
  };
  for (const auto& [switches, named] : cases)
    EXPECT_EQ(ModAPI::HasEngineSwitch(switches, "no-sandbox"), named) << switches;
}

// Restores the variables a test changes.
class EngineVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames)
      saved_[name] = qgetenv(name), set_[name] = qEnvironmentVariableIsSet(name);
    for (const char* name : kNames) qunsetenv(name);
  }
  void TearDown() override {
    for (const char* name : kNames) {
      if (set_[name])
        qputenv(name, saved_[name]);
      else
        qunsetenv(name);
    }
  }

 private:
  static constexpr const char* kNames[] = {"QTWEBENGINE_CHROMIUM_FLAGS",
                                           "QTWEBENGINE_DISABLE_SANDBOX", "COURIER_QUERY_DEBUG"};
  std::map<std::string, QByteArray> saved_;
  std::map<std::string, bool> set_;
};

TEST_F(EngineVariables, TheEngineLogsFatalErrorsOnlyUnlessALevelIsChosen) {
  ModAPI::QuietEngineLog();
  EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--log-level=3");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  ModAPI::QuietEngineLog();
  EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--disable-gpu --log-level=3");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--enable-logging -log-level=0");
  ModAPI::QuietEngineLog();
  EXPECT_EQ(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), "--enable-logging -log-level=0");
}

// As the engine reads them: the variable counts when set, whatever it holds.
TEST_F(EngineVariables, TheSandboxIsOffByEitherOfTheEnginesWays) {
  EXPECT_FALSE(ModAPI::EngineSandboxSwitchedOff());
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandboxing");
  EXPECT_FALSE(ModAPI::EngineSandboxSwitchedOff());
  for (const char* value : {"1", "0", ""}) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", value);
    EXPECT_TRUE(ModAPI::EngineSandboxSwitchedOff()) << '"' << value << '"';
  }
  qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox");
  EXPECT_TRUE(ModAPI::EngineSandboxSwitchedOff());
}

TEST_F(EngineVariables, DiagnosticsAreWantedForAnyValueButEmptyOrZero) {
  EXPECT_FALSE(ModAPI::DiagnosticsWanted());
  for (const char* value : {"", "0"}) {
    qputenv("COURIER_QUERY_DEBUG", value);
    EXPECT_FALSE(ModAPI::DiagnosticsWanted()) << '"' << value << '"';
  }
  for (const char* value : {"1", "yes"}) {
    qputenv("COURIER_QUERY_DEBUG", value);
    EXPECT_TRUE(ModAPI::DiagnosticsWanted()) << value;
  }
}

void Say(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

using EngineVariablesDeathTest = EngineVariables;

// The program's own lines get through; the toolkit's messages do not, but
// for a fatal error, which still ends the process.
TEST_F(EngineVariablesDeathTest, QuietDropsTheToolkitsMessagesButFatalErrors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ModAPI::InstallQuietDiagnostics();
        qDebug("debug");
        qInfo("info");
        qWarning("warning");
        qCritical("critical");
        Say("ours\n");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^ours\n$");
  EXPECT_DEATH(
      {
        ModAPI::InstallQuietDiagnostics();
        qFatal("fatal");
      },
      "fatal");
  qputenv("COURIER_QUERY_DEBUG", "1");
  EXPECT_EXIT(
      {
        ModAPI::InstallQuietDiagnostics();
        qWarning("warning");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "warning");
}

TEST_F(EngineVariablesDeathTest, AnExplainedFatalErrorEndsWithTheExplanationAndTheStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ModAPI::InstallQuietDiagnostics();
        const ModAPI::FatalErrorExplained explained(QStringLiteral("no display here"), 2);
        qWarning("warning");
        qFatal("the toolkit's own words");
      },
      ::testing::ExitedWithCode(2), "^no display here\n$");
  qputenv("COURIER_QUERY_DEBUG", "1");
  EXPECT_EXIT(
      {
        ModAPI::InstallQuietDiagnostics();
        const ModAPI::FatalErrorExplained explained(QStringLiteral("no display here"), 2);
        qFatal("the toolkit's own words");
      },
      ::testing::ExitedWithCode(2), "the toolkit's own words\nno display here\n$");
  // Once it is gone, a fatal error is the toolkit's again.
  qunsetenv("COURIER_QUERY_DEBUG");
  EXPECT_DEATH(
      {
        { const ModAPI::FatalErrorExplained explained(QStringLiteral("no display here"), 2); }
        qFatal("later");
      },
      "later");
}

}  // namespace
