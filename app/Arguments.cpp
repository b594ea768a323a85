#include "Arguments.h"

#include <algorithm>
#include <optional>
#include <variant>

namespace Arguments {
namespace {

const QString kHelp = QStringLiteral("--help");
const QString kShortHelp = QStringLiteral("-h");
const QString kVersion = QStringLiteral("--version");
const QString kLookup = QStringLiteral("--lookup");
const QString kJson = QStringLiteral("--json");
const QString kJobs = QStringLiteral("--jobs");
const QString kJobsWithValue = kJobs + QLatin1Char('=');
const QString kEndOfOptions = QStringLiteral("--");

bool isJobs(const QString& argument) {
  return argument == kJobs || argument.startsWith(kJobsWithValue);
}

bool isOption(const QString& argument) {
  return argument == kHelp || argument == kShortHelp || argument == kVersion ||
         argument == kLookup || argument == kJson || isJobs(argument);
}

// A whole number, with or without its sign, clamped to 1..16; one too long
// for any integer type is still beyond the bounds. Nothing for other text.
std::optional<int> clampedJobs(const QString& text) {
  const bool negative = text.startsWith(QLatin1Char('-'));
  const QStringView digits = QStringView(text).sliced(negative || text.startsWith('+') ? 1 : 0);
  const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
  if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit)) return {};
  if (negative) return kFewestJobs;
  bool fits = false;
  const qulonglong jobs = digits.toULongLong(&fits);
  return fits ? int(std::clamp<qulonglong>(jobs, kFewestJobs, kMostJobs)) : kMostJobs;
}

// The number of jobs "--jobs N" or "--jobs=N" at arguments[i] asks for, or
// the usage error; `i` moves past a value in the next argument.
std::variant<int, QString> jobsAt(const QStringList& arguments, qsizetype& i) {
  const QString& argument = arguments[i];
  if (argument == kJobs && i + 1 == arguments.size())
    return QStringLiteral("--jobs 后面缺少同时查询的单号个数");
  const QString value = argument == kJobs ? arguments[++i] : argument.mid(kJobsWithValue.size());
  if (const auto jobs = clampedJobs(value)) return *jobs;
  return QStringLiteral("--jobs 的值“") + value + QStringLiteral("”不是整数");
}

// A lone "-" is a number (standard input), not an option.
bool looksLikeOption(const QString& argument) {
  return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

Request UsageError(const QString& error) {
  return {.mode = Mode::UsageError, .error = error};
}

}  // namespace

Request parse(const QStringList& arguments) {
  if (arguments.isEmpty() || !isOption(arguments.first())) return {};
  bool help = false, version = false, lookup = false, json = false;
  int jobs = kDefaultJobs;
  std::optional<QString> unknown, badJobs;
  QStringList positional;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == kEndOfOptions) {
      positional += arguments.mid(i + 1);
      break;
    }
    help |= argument == kHelp || argument == kShortHelp;
    version |= argument == kVersion;
    lookup |= argument == kLookup;
    json |= argument == kJson;
    if (isJobs(argument)) {
      const auto value = jobsAt(arguments, i);
      if (std::holds_alternative<int>(value))
        jobs = std::get<int>(value);
      else if (!badJobs)
        badJobs = std::get<QString>(value);
    } else if (!looksLikeOption(argument))
      positional += argument;
    else if (!isOption(argument) && !unknown)
      unknown = argument;
  }
  if (help) return {.mode = Mode::Help};
  if (version) return {.mode = Mode::Version};
  if (unknown) return UsageError(QStringLiteral("未知的选项 ") + *unknown);
  if (badJobs) return UsageError(*badJobs);
  if (!lookup)
    return UsageError((json ? kJson : kJobs) + QStringLiteral(" 只能与 --lookup 一起使用"));
  if (positional.isEmpty()) return UsageError(QStringLiteral("缺少快递公司"));
  const QString courier = positional.takeFirst();
  return {
      .mode = Mode::Lookup, .json = json, .jobs = jobs, .courier = courier, .numbers = positional};
}

QString usageText() {
  return QStringLiteral(
      "用法：\n"
      "  courier-query [快递公司名称]\n"
      "  courier-query --lookup [--json] [--jobs N] 快递公司|auto 单号...\n"
      "  courier-query --help\n"
      "  courier-query --version\n");
}

QString helpText() {
  return usageText() +
         QStringLiteral(
             "\n"
             "不带选项时打开查询窗口；命令行上的文字与目录中某家快递公司的名称相同时，"
             "选中这家快递公司。\n"
             "\n"
             "选项：\n"
             "  --lookup   不打开窗口，用与窗口相同的方式查询单号，每个单号输出一段结果\n"
             "  --json     与 --lookup 一起使用：每个单号输出一行 JSON，键为 courier、code、\n"
             "             number、status、text、cause；status 为 found、no-result、\n"
             "             invalid-number、unreachable 或 timeout\n"
             "  --jobs N   与 --lookup 一起使用：同时查询 N 个单号（默认 4，最少 1，最多 16，\n"
             "             超出的按 1 或 16 算）；结果仍按单号的次序输出，每个单号一有结果、\n"
             "             它前面的单号也都有了结果就输出；--jobs 1 时一个接一个地查询\n"
             "  --         其后的参数都是单号，即使以 - 开头\n"
             "  --help     显示本帮助后退出\n"
             "  --version  显示版本后退出\n"
             "\n"
             "快递公司：目录 MSVBVM60.ocx 中的名称（如 顺丰速运）或代码（如 shunfeng）。\n"
             "写 auto 时，每个单号用单号格式（number-formats.txt）与之相符的那家快递公司查询；\n"
             "有单号与多家或没有一家相符时是用法错误，一个单号也不查询。\n"
             "单号：一个或多个，照原样发送，前后的空格也不去掉。写 - 时从标准输入读取，"
             "每行一个单号\n"
             "（一行以 CR LF、CR 或 LF 结束，空行是一个空单号）。\n"
             "\n"
             "查询服务：\n"
             "  窗口和 --lookup 向同一个查询服务查询，它的地址取以下第一个：\n"
             "    环境变量 COURIER_QUERY_SERVICE；\n"
             "    设置文件 $XDG_CONFIG_HOME/courier-query/courier-query.conf 中的 Service= 项\n"
             "    （XDG_CONFIG_HOME 默认为 ~/.config）；\n"
             "    $XDG_CONFIG_DIRS 的各个目录下 courier-query/courier-query.conf 中的 Service= "
             "项，\n"
             "    按目录的次序（默认只有 /etc/xdg，即整台电脑的设置）；\n"
             "    http://127.0.0.1:8765（本机的查询服务）。\n"
             "  地址以 http:// 或 https:// 开头，含主机名，可带端口和路径。设置文件示例：\n"
             "    Service=http://192.168.1.20:8765\n"
             "  地址无效或设置文件无法读取时，一个单号也不查询；程序从不写设置文件。\n"
             "\n"
             "环境变量：\n"
             "  COURIER_QUERY_SERVICE     查询服务的地址（见上）\n"
             "  COURIER_QUERY_TIMEOUT_MS  每次查询的时限，单位毫秒（默认 20000；\n"
             "                            最大 2147483647，约 24.8 天，更大的值按最大值算）\n"
             "  COURIER_QUERY_DEBUG       设为 1 时在标准错误上显示界面库和浏览器引擎的诊断信息\n"
             "\n"
             "退出状态：\n"
             "  0    每个单号都查到了结果\n"
             "  1    有单号没有查到结果\n"
             "  2    一个单号也没有查询：用法错误（未知的选项或快递公司、没有单号、缺少目录文件，\n"
             "       或 auto 无法为每个单号确定一家快递公司）、查询服务的地址无效、\n"
             "       标准输出已关闭，或以 root 身份运行而浏览器引擎的沙箱没有关闭；\n"
             "       或者结果无法写到标准输出（如磁盘已满），其余的单号不再查询\n"
             "  141  读取结果的程序提前关闭了管道（如 | head），其余的单号不再查询，\n"
             "       标准错误上没有消息\n"
             "\n"
             "结果中终端会执行的控制字符（如 ESC）和改变文字方向的字符以 \\x1b、\\u202e\n"
             "这样的形式显示；--json 中它们写成 JSON 的 \\u 转义，读出的仍是原文。\n");
}

QString versionText() {
  return QStringLiteral("courier-query " COURIER_QUERY_VERSION "\n");
}

}  // namespace Arguments
