// The lookup's parts that need no browser: the command line, the numbers from
// standard input, finding the courier, the answers and their two outputs.
// The whole-program tests run lookups through the real browser.
#include "Arguments.h"
#include "Lookup.h"
#include "NumberFormats.h"
#include "StandardOutput.h"
#include "TerminalText.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using Arguments::Mode;
using Lookup::Status;

TEST(LookupArguments, OnlyALeadingOptionLeavesTheWindow) {
  for (const QStringList& window :
       {QStringList{}, QStringList{"申通快递"}, QStringList{"申通快递", "--lookup"},
        QStringList{"--lookupp", "x"}, QStringList{"-platform", "xcb"}}) {
    EXPECT_EQ(Arguments::parse(window).mode, Mode::Window) << window.join(' ').toStdString();
  }
}

TEST(LookupArguments, CourierNumbersAndOptionsInAnyOrder) {
  const auto request = Arguments::parse({"--lookup", "顺丰速运", "SF1", "--json", "-", "SF2"});
  EXPECT_EQ(request.mode, Mode::Lookup);
  EXPECT_TRUE(request.json);
  EXPECT_EQ(request.courier, "顺丰速运");
  EXPECT_EQ(request.numbers, (QStringList{"SF1", "-", "SF2"}));

  const auto jsonFirst = Arguments::parse({"--json", "--lookup", "shunfeng", "SF1"});
  EXPECT_EQ(jsonFirst.mode, Mode::Lookup);
  EXPECT_TRUE(jsonFirst.json);
  EXPECT_FALSE(Arguments::parse({"--lookup", "shunfeng", "SF1"}).json);
}

TEST(LookupArguments, NumbersAfterTheEndOfOptionsMayLookLikeOptions) {
  const auto request = Arguments::parse({"--lookup", "--", "shunfeng", "--json", "-5"});
  EXPECT_EQ(request.mode, Mode::Lookup);
  EXPECT_FALSE(request.json);
  EXPECT_EQ(request.courier, "shunfeng");
  EXPECT_EQ(request.numbers, (QStringList{"--json", "-5"}));
}

// The value is the next argument or follows "=", and is clamped to 1..16,
// whatever its size; its own argument is never a number.
TEST(LookupArguments, JobsAreClampedToTheirBounds) {
  EXPECT_EQ(Arguments::parse({"--lookup", "shunfeng", "SF1"}).jobs, Arguments::kDefaultJobs);
  const struct {
    QStringList jobs;
    int expected;
  } cases[] = {
      {{"--jobs", "8"}, 8},
      {{"--jobs=1"}, 1},
      {{"--jobs", "0"}, 1},
      {{"--jobs", "-3"}, 1},
      {{"--jobs", "17"}, 16},
      {{"--jobs=+16"}, 16},
      {{"--jobs", "99999999999999999999999"}, 16},
      {{"--jobs", "2", "--jobs", "5"}, 5},
  };
  for (const auto& [jobs, expected] : cases) {
    const auto request = Arguments::parse(jobs + QStringList{"--lookup", "shunfeng", "SF1"});
    EXPECT_EQ(request.mode, Mode::Lookup) << jobs.join(' ').toStdString();
    EXPECT_EQ(request.jobs, expected) << jobs.join(' ').toStdString();
    EXPECT_EQ(request.numbers, QStringList{"SF1"}) << jobs.join(' ').toStdString();
  }
}

TEST(LookupArguments, HelpWinsThenTheVersion) {
  EXPECT_EQ(Arguments::parse({"--help"}).mode, Mode::Help);
  EXPECT_EQ(Arguments::parse({"-h"}).mode, Mode::Help);
  EXPECT_EQ(Arguments::parse({"--version"}).mode, Mode::Version);
  EXPECT_EQ(Arguments::parse({"--lookup", "--bad", "--version", "--help"}).mode, Mode::Help);
  EXPECT_EQ(Arguments::parse({"--lookup", "x", "--version"}).mode, Mode::Version);
  EXPECT_TRUE(Arguments::helpText().startsWith(Arguments::usageText()));
  EXPECT_TRUE(Arguments::versionText().startsWith("courier-query "));
}

TEST(LookupArguments, UsageErrorsSayWhatIsWrong) {
  const struct {
    QStringList arguments;
    QString error;
  } cases[] = {
      {{"--lookup"}, "缺少快递公司"},
      {{
           "--lookup",
           "--",
       },
       "缺少快递公司"},
      {{"--json", "shunfeng", "SF1"}, "--json 只能与 --lookup 一起使用"},
      {{"--lookup", "shunfeng", "--jsno", "SF1"}, "未知的选项 --jsno"},
      {{"--jobs", "4", "shunfeng", "SF1"}, "--jobs 只能与 --lookup 一起使用"},
      {{"--lookup", "shunfeng", "SF1", "--jobs"}, "--jobs 后面缺少同时查询的单号个数"},
      {{"--lookup", "--jobs", "四", "shunfeng"}, "--jobs 的值“四”不是整数"},
      {{"--lookup", "--jobs=", "shunfeng"}, "--jobs 的值“”不是整数"},
      {{"--lookup", "--jobs", "2.5", "shunfeng"}, "--jobs 的值“2.5”不是整数"},
  };
  for (const auto& [arguments, error] : cases) {
    const auto request = Arguments::parse(arguments);
    EXPECT_EQ(request.mode, Mode::UsageError) << arguments.join(' ').toStdString();
    EXPECT_EQ(request.error, error) << arguments.join(' ').toStdString();
  }
  // A courier without numbers is for the program to judge, once standard
  // input has been read.
  EXPECT_EQ(Arguments::parse({"--lookup", "shunfeng"}).mode, Mode::Lookup);
}

TEST(LookupNumbers, OneNumberPerLineExactlyAsWritten) {
  const struct {
    const char* what;
    QByteArray input;
    QStringList numbers;
  } cases[] = {
      {"nothing", "", {}},
      {"LF ends", "SF1\nSF2\n", {"SF1", "SF2"}},
      {"no end on the last line", "SF1\nSF2", {"SF1", "SF2"}},
      {"CR LF ends", "SF1\r\nSF2\r\n", {"SF1", "SF2"}},
      {"CR ends", "SF1\rSF2\r", {"SF1", "SF2"}},
      {"mixed ends", "SF1\r\nSF2\rSF3\nSF4", {"SF1", "SF2", "SF3", "SF4"}},
      {"blanks kept", " SF1 \n\tSF2\r\n", {" SF1 ", "\tSF2"}},
      {"empty lines are empty numbers", "SF1\n\n\r\nSF2\n", {"SF1", "", "", "SF2"}},
      {"a lone line end", "\n", {""}},
      {"byte-order mark dropped", "\xEF\xBB\xBFSF1\r\n", {"SF1"}},
      {"only the leading mark",
       "\xEF\xBB\xBF\xEF\xBB\xBFSF1\n\xEF\xBB\xBFSF2",
       {QChar(QChar::ByteOrderMark) + QStringLiteral("SF1"),
        QChar(QChar::ByteOrderMark) + QStringLiteral("SF2")}},
      {"invalid UTF-8 stays visible", "SF\xFF\n", {"SF\uFFFD"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lookup::numbersFromLines(c.input), c.numbers) << c.what;
}

TEST(LookupCourier, ByDisplayNameElseByCode) {
  const QString catalogue = QStringLiteral(
      "顺丰速运=shunfeng,DHL=dhlcn,无代码%B,DHL=敦豪,B2=快递B%Z,zhongtong=同名,zhongtong2=同名");
  const struct {
    QString wanted;
    std::optional<Lookup::Courier> courier;
  } cases[] = {
      {"顺丰速运", Lookup::Courier{"顺丰速运", "shunfeng"}},
      {"shunfeng", Lookup::Courier{"顺丰速运", "shunfeng"}},
      {"快递B", Lookup::Courier{"快递B", "B2"}},
      // A display name wins over another courier's code.
      {"DHL", Lookup::Courier{"DHL", "dhlcn"}},
      {"敦豪", Lookup::Courier{"敦豪", "DHL"}},
      // Of two couriers with one name, the last, as in the window.
      {"同名", Lookup::Courier{"同名", "zhongtong2"}},
      {"zhongtong", Lookup::Courier{"同名", "zhongtong"}},
      {"Shunfeng", std::nullopt},
      {" 顺丰速运", std::nullopt},
      {"", std::nullopt},
      // Headings and first-block items without a code cannot be chosen.
      {"B", std::nullopt},
      {"Z", std::nullopt},
      {"无代码", std::nullopt},
  };
  for (const auto& [wanted, courier] : cases) {
    const auto found = Lookup::findCourier(wanted, catalogue);
    ASSERT_EQ(found.has_value(), courier.has_value()) << wanted.toStdString();
    if (!found) continue;
    EXPECT_EQ(found->name, courier->name) << wanted.toStdString();
    EXPECT_EQ(found->code, courier->code) << wanted.toStdString();
  }
  EXPECT_FALSE(Lookup::findCourier("顺丰速运", QString()));
}

// `auto`: each number with the one catalogue courier its format matches.
const QString kAutoCatalogue =
    QStringLiteral("顺丰速运=shunfeng,EMS=ems,邮政包裹=youzhengguonei,旧名=yunda,韵达快递=yunda");
const QByteArray kAutoFormats =
    "shunfeng SF\\d{13}\n"
    "ghost    GH\\d{13}\n"  // no courier of the catalogue has this code
    "ems      E[A-Z]\\d{9}[A-Z]{2} s10\n"
    "youzhengguonei [CE][A-Z]\\d{9}[A-Z]{2} s10\n"
    "yunda    43\\d{11}\n";

Lookup::AutoCouriers resolveAuto(const QStringList& numbers) {
  const NumberFormats::Loaded formats = NumberFormats::parse(kAutoFormats);
  EXPECT_EQ(formats.problem, "");
  return Lookup::resolveAuto(numbers, formats.table, kAutoCatalogue);
}

TEST(LookupAuto, EachNumberWithItsOwnCourierAndSentAsWritten) {
  const auto resolved = resolveAuto({"sf 2122544101995", "4326073091939", "SF8641151637005"});
  EXPECT_EQ(resolved.error, "");
  const struct {
    QString name, code, number;
  } expected[] = {
      {"顺丰速运", "shunfeng", "sf 2122544101995"},
      // Of two couriers with one code, the last, as the window's hint marks.
      {"韵达快递", "yunda", "4326073091939"},
      {"顺丰速运", "shunfeng", "SF8641151637005"},
  };
  ASSERT_EQ(resolved.items.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(resolved.items[i].courier.name, expected[i].name);
    EXPECT_EQ(resolved.items[i].courier.code, expected[i].code);
    EXPECT_EQ(resolved.items[i].number, expected[i].number);
  }
}

// One number without its one courier stops them all, and the error names
// every such number: none is looked up with a guess.
TEST(LookupAuto, NoneOrSeveralMatchingLooksNothingUp) {
  const auto resolved =
      resolveAuto({"SF2122544101995", "EJ974711152CN", "", "GH2122544101995", "EJ974711153CN"});
  EXPECT_TRUE(resolved.items.empty());
  EXPECT_EQ(
      resolved.error,
      "无法按单号格式确定快递公司，请在 --lookup 后写出快递公司：\n"
      "  单号“EJ974711152CN”与多家快递公司的单号格式相符：EMS（ems）、邮政包裹（youzhengguonei）\n"
      "  单号“”与哪家快递公司的单号格式都不相符\n"
      "  单号“GH2122544101995”与哪家快递公司的单号格式都不相符\n"
      "  单号“EJ974711153CN”与哪家快递公司的单号格式都不相符");
}

// The error goes to a terminal: a number with controls in it can neither
// act on it nor break the error's lines.
TEST(LookupAuto, TheNumbersNamedShowTheirControlCharacters) {
  const auto resolved = resolveAuto({"\x1b]0;x\x07\n\u202e1"});
  EXPECT_EQ(resolved.error,
            "无法按单号格式确定快递公司，请在 --lookup 后写出快递公司：\n"
            "  单号“\\x1b]0;x\\x07\\x0a\\u202e1”与哪家快递公司的单号格式都不相符");
}

TEST(LookupAuto, ALongListNamesTheFirstTenAndCountsTheRest) {
  QStringList numbers(12, QStringLiteral("1"));
  numbers[0] = QString(10000, 'A');
  const auto resolved = resolveAuto(numbers);
  EXPECT_TRUE(resolved.items.empty());
  const QStringList lines = resolved.error.split('\n');
  ASSERT_EQ(lines.size(), 12);
  EXPECT_EQ(lines[1], "  单号“" + QString(40, 'A') + "…”与哪家快递公司的单号格式都不相符");
  EXPECT_EQ(lines[11], "  另有 2 个单号同样无法确定");
}

const Lookup::Courier kShunfeng{"顺丰速运", "shunfeng"};
const QString kNoResult = QStringLiteral("查询不到结果，请您确认输入的是 顺丰速运 订单号！");

Lookup::Answer answer(std::optional<QString> result, ModAPI::LoadStatus status,
                      ServiceAddress::Service service = {}) {
  return Lookup::fromCompletion(kShunfeng, "SF1", {std::move(result), status, service});
}

TEST(LookupAnswer, TheTextTheWindowShows) {
  using LS = ModAPI::LoadStatus;
  // The engine gives CR LF; the result area doubles each CR and shows a
  // lone LF as nothing.
  const auto found = answer(QStringLiteral("A\r\n\r\n\nB"), {});
  EXPECT_EQ(found.status, Status::Found);
  EXPECT_EQ(found.text, "A\n\nB");
  EXPECT_EQ(found.cause, "");

  const struct {
    const char* what;
    std::optional<QString> result;
    LS load;
    Status status;
    QString cause;
  } cases[] = {
      {"no result element", std::nullopt, {}, Status::NoResult, "页面中没有查询结果"},
      {"an empty one", QString(), {}, Status::NoResult, "页面中没有查询结果"},
      {"one with the loading text",
       QStringLiteral("正在加载。。。"),
       {},
       Status::NoResult,
       "页面中没有查询结果"},
      {"nothing loaded", std::nullopt, {LS::NoDocument}, Status::NoResult, "页面中没有查询结果"},
      {"refused", std::nullopt, {LS::Unreachable}, Status::Unreachable, "无法连接查询服务"},
      {"server error",
       std::nullopt,
       {LS::HttpError, 503},
       Status::Unreachable,
       "查询服务出错（HTTP 503）"},
      {"client error",
       std::nullopt,
       {LS::HttpError, 400},
       Status::NoResult,
       "查询服务出错（HTTP 400）"},
      {"time up", std::nullopt, {LS::TimedOut}, Status::Timeout, "查询超时"},
      // Failures of the page, not an answer about the number.
      {"page died", std::nullopt, {LS::RendererGone}, Status::Unreachable, "查询页面意外关闭"},
      {"redirect loop",
       std::nullopt,
       {LS::TooManyRedirects},
       Status::Unreachable,
       "查询服务重定向过多"},
  };
  for (const auto& c : cases) {
    const auto a = answer(c.result, c.load);
    EXPECT_EQ(a.status, c.status) << c.what;
    EXPECT_EQ(a.text, kNoResult) << c.what;
    EXPECT_EQ(a.cause, c.cause) << c.what;
  }

  // The cause names the service that could not be reached; a service whose
  // address cannot be used was never asked, whatever the empty page loaded.
  const auto unreachable = answer(std::nullopt, {LS::Unreachable}, {"http://[::1]:9", {}, {}});
  EXPECT_EQ(unreachable.status, Status::Unreachable);
  EXPECT_EQ(unreachable.cause, "无法连接查询服务 [::1]:9");
  const auto badAddress = answer(std::nullopt, {}, {"ftp://h", {}, "查询服务地址“ftp://h”无效"});
  EXPECT_EQ(badAddress.status, Status::Unreachable);
  EXPECT_EQ(badAddress.text, kNoResult);
  EXPECT_EQ(badAddress.cause, "查询服务地址“ftp://h”无效");

  const auto refused = Lookup::refused(kShunfeng, "ＳＦ１");
  EXPECT_EQ(refused.status, Status::InvalidNumber);
  EXPECT_EQ(refused.text, "请输入正确的 顺丰速运 订单号！");
  EXPECT_EQ(refused.cause, "");
}

TEST(LookupOutput, ReadableBlocks) {
  EXPECT_EQ(Lookup::asText(answer(QStringLiteral("2026-12-05  上海  已签收\r\n\r\n\n"
                                                 "2026-12-04  杭州  运输中"),
                                  {})),
            "顺丰速运 SF1：已查到\n"
            "  2026-12-05  上海  已签收\n"
            "\n"
            "  2026-12-04  杭州  运输中\n"
            "\n");
  EXPECT_EQ(Lookup::asText(answer(std::nullopt, {ModAPI::LoadStatus::TimedOut})),
            "顺丰速运 SF1：查询超时\n"
            "  " +
                kNoResult.toUtf8() + "\n\n");
  EXPECT_EQ(Lookup::asText(Lookup::refused(kShunfeng, "")),
            "顺丰速运 ：单号无效\n"
            "  请输入正确的 顺丰速运 订单号！\n\n");
}

// Each table row notes what it exercises.
TEST(LookupTerminalText, WhatATerminalWouldActOnIsShownAsEscapes) {
  const struct {
    const char* what;
    QString text, shown;
  } cases[] = {
      {"plain text and CJK", "SF1 已签收", "SF1 已签收"},
      {"clear screen", "\x1b[2J", "\\x1b[2J"},
      {"window title ended by BEL", "\x1b]0;t\x07", "\\x1b]0;t\\x07"},
      {"NUL and DEL", QString(QChar(0)) + "\x7f", "\\x00\\x7f"},
      {"8-bit CSI and NEL, both C1", "\u009b2J\u0085", "\\x9b2J\\x85"},
      {"first and last C1", "\u0080\u009f", "\\x80\\x9f"},
      {"next to C1, shown", "\u007e\u00a0", "\u007e\u00a0"},
      {"line breaks on one line", "a\nb\rc", "a\\x0ab\\x0dc"},
      {"tab kept", "a\tb", "a\tb"},
      {"embeddings and overrides", "\u202a\u202b\u202c\u202d\u202e",
       "\\u202a\\u202b\\u202c\\u202d\\u202e"},
      {"isolates", "\u2066\u2067\u2068\u2069", "\\u2066\\u2067\\u2068\\u2069"},
      {"marks around them, shown", "\u2029\u200f\u206a", "\u2029\u200f\u206a"},
      {"backslashes kept", "C:\\x1b", "C:\\x1b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TerminalText::shown(c.text), c.shown) << c.what;
    EXPECT_EQ(TerminalText::shown(c.shown), c.shown) << c.what << ": shown twice";
  }
  EXPECT_EQ(TerminalText::shownLines(u"a\x1b\n\nb\r\n"), "a\\x1b\n\nb\\x0d\n");
}

TEST(LookupOutput, ReadableBlocksShowControlCharactersAsEscapes) {
  Lookup::Answer found = answer(QStringLiteral("\x1b[2J\u202e1\r\n\x9b"), {});
  found.number = QStringLiteral("SF\x1b\n1");
  EXPECT_EQ(Lookup::asText(found),
            "顺丰速运 SF\\x1b\\x0a1：已查到\n"
            "  \\x1b[2J\\u202e1\n"
            "  \\x9b\n"
            "\n");
}

// JSON readers read the escapes back as the text; the raw characters would
// act on a terminal or end the line for readers that split at U+2028.
TEST(LookupOutput, JsonLinesEscapeWhatWouldActOnATerminalOrEndALine) {
  const QString text =
      QStringLiteral("\x1b[2J\x7f\u009b\u0085\u2028\u2029\u202e\u2066\\\u0085\"已签收");
  const QByteArray line = Lookup::asJson(answer(text, {}));
  for (const char* raw : {"\x1b", "\x7f", "\xc2\x9b", "\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9",
                          "\xe2\x80\xae", "\xe2\x81\xa6"})
    EXPECT_FALSE(line.contains(raw)) << QByteArray(raw).toHex().toStdString();
  EXPECT_TRUE(line.contains("\\u2028\\u2029\\u202e")) << line.toStdString();
  EXPECT_EQ(QString::fromUtf8(line).split(QChar::LineSeparator).size(), 1);
  EXPECT_EQ(QJsonDocument::fromJson(line).object()["text"].toString(), text);
}

TEST(LookupOutput, OneJsonObjectPerLine) {
  const QByteArray line = Lookup::asJson(answer(QStringLiteral("A\r\n\r\n\"B\"\t"), {}));
  ASSERT_TRUE(line.endsWith('\n'));
  EXPECT_EQ(line.count('\n'), 1);
  EXPECT_TRUE(line.contains("顺丰速运"));  // UTF-8, not escaped
  const QJsonObject object = QJsonDocument::fromJson(line).object();
  EXPECT_EQ(object.size(), 6);
  EXPECT_EQ(object["courier"].toString(), "顺丰速运");
  EXPECT_EQ(object["code"].toString(), "shunfeng");
  EXPECT_EQ(object["number"].toString(), "SF1");
  EXPECT_EQ(object["status"].toString(), "found");
  EXPECT_EQ(object["text"].toString(), "A\n\n\"B\"\t");
  EXPECT_EQ(object["cause"].toString(), "");

  const QJsonObject refused =
      QJsonDocument::fromJson(Lookup::asJson(Lookup::refused(kShunfeng, "１"))).object();
  EXPECT_EQ(refused["status"].toString(), "invalid-number");
  EXPECT_EQ(refused["number"].toString(), "１");
}

// Real descriptors: /dev/full, pipes, a closed descriptor.
class LookupOutputWrites : public ::testing::Test {
 protected:
  // As in the program, a closed pipe is an error of the write.
  void SetUp() override { previous_ = std::signal(SIGPIPE, SIG_IGN); }
  void TearDown() override { std::signal(SIGPIPE, previous_); }

 private:
  void (*previous_)(int) = nullptr;
};

TEST_F(LookupOutputWrites, EachFailureComesBackWithItsCause) {
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_NE(full, -1);
  EXPECT_EQ(StandardOutput::writable(full), 0);
  EXPECT_EQ(StandardOutput::writeAll(full, "答"), ENOSPC);
  close(full);
  EXPECT_EQ(StandardOutput::failureCause(ENOSPC), "磁盘空间已满");

  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  close(ends[0]);
  EXPECT_EQ(StandardOutput::writeAll(ends[1], "答"), EPIPE);
  close(ends[1]);
  // Unknown errors are named by their number, in Chinese words.
  EXPECT_EQ(StandardOutput::failureCause(EXDEV), QStringLiteral("写入出错，错误号 %1").arg(EXDEV));
}

TEST_F(LookupOutputWrites, AClosedOrReadOnlyDescriptorIsNotWritable) {
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  EXPECT_EQ(StandardOutput::writable(ends[0]), EBADF);
  EXPECT_EQ(StandardOutput::writable(ends[1]), 0);
  close(ends[0]);
  close(ends[1]);
  EXPECT_EQ(StandardOutput::writable(ends[1]), EBADF);
  EXPECT_EQ(StandardOutput::writeAll(ends[1], "答"), EBADF);
  EXPECT_EQ(StandardOutput::closeChecked(ends[1]), EBADF);
}

// A pipe another program made non-blocking fills up: the write waits for
// the reader instead of failing with EAGAIN, and every byte arrives.
TEST_F(LookupOutputWrites, AFullNonBlockingPipeIsWaitedFor) {
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
  const QByteArray answer(1 << 20, 'x');  // many times a pipe's buffer
  QByteArray received;
  std::thread reader([&] {
    pollfd readable{ends[0], POLLIN, 0};
    char buffer[4096];
    while (received.size() < answer.size() && poll(&readable, 1, 10000) == 1) {
      const ssize_t got = read(ends[0], buffer, sizeof buffer);
      if (got > 0) received.append(buffer, got);
    }
  });
  EXPECT_EQ(StandardOutput::writeAll(ends[1], answer), 0);
  reader.join();
  EXPECT_EQ(received.size(), answer.size());
  EXPECT_EQ(StandardOutput::closeChecked(ends[1]), 0);
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
