#include "EventsBody.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cmath>

namespace TrackingService {
namespace {

constexpr std::array<const char*, 5> kRequired = {"com", "nu", "time", "place", "status"};
constexpr const char* kId = "id";
// The largest whole number a JSON number holds exactly.
constexpr double kMostExactInteger = 9007199254740992.0;

// What a field must be, for the error answers.
std::string ruleFor(std::string_view field) {
  if (field == "com" || field == "nu") {
    return "应为 1 到 " + std::to_string(kMaxKeyBytes) + " 字节的文本，不含控制字符";
  }
  if (field == "time") return "应为 YYYY-MM-DD HH:MM 格式的真实时间";
  if (field == "id") return "应为至多 " + std::to_string(kMaxIdBytes) + " 字节的文本或整数";
  return "应为 1 到 " + std::to_string(kMaxTextBytes) + " 字节的文本，不含控制字符";
}

struct Fault {
  std::string field;
  std::string message;
};

std::optional<std::string> idOf(const QJsonValue& value) {
  if (value.isString()) return value.toString().toStdString();
  const double number = value.toDouble();
  if (!value.isDouble() || std::trunc(number) != number || std::fabs(number) > kMostExactInteger) {
    return std::nullopt;
  }
  return std::to_string(static_cast<long long>(number));
}

// Reads one event object into `event`; the fault when it is not a sound one.
std::optional<Fault> readEvent(const QJsonValue& value, ShipmentEvent& event) {
  if (!value.isObject()) return Fault{{}, "应为 JSON 对象"};
  const QJsonObject object = value.toObject();
  for (auto member = object.begin(); member != object.end(); ++member) {
    const QString key = member.key();
    if (key != kId && std::find(kRequired.begin(), kRequired.end(), key) == kRequired.end()) {
      return Fault{key.toStdString(), "未知的字段 " + key.toStdString()};
    }
  }
  std::array<std::string, kRequired.size()> fields;
  for (std::size_t i = 0; i < kRequired.size(); ++i) {
    const QJsonValue member = object.value(kRequired[i]);
    if (member.isUndefined()) return Fault{kRequired[i], std::string("缺少字段 ") + kRequired[i]};
    if (!member.isString())
      return Fault{kRequired[i], std::string("字段 ") + kRequired[i] + " 应为字符串"};
    fields[i] = member.toString().toStdString();
  }
  event = {fields[0], fields[1], {fields[2], fields[3], fields[4]}, {}};
  if (object.contains(kId)) {
    const auto id = idOf(object.value(kId));
    if (!id) return Fault{kId, std::string("字段 id ") + ruleFor(kId)};
    event.id = *id;
  }
  if (const auto fault = eventFault(event)) {
    return Fault{std::string(fault->field),
                 "字段 " + std::string(fault->field) + " " + ruleFor(fault->field)};
  }
  return std::nullopt;
}

EventsBody faulty(std::string message, int index = -1, std::string field = {}) {
  EventsBody body;
  body.fault = std::move(message);
  body.index = index;
  body.field = std::move(field);
  return body;
}

std::string compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace

EventsBody parseEventsBody(std::string_view body) {
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(body.data(), qsizetype(body.size())), &error);
  if (error.error != QJsonParseError::NoError) {
    return faulty("请求体不是有效的 JSON（第 " + std::to_string(error.offset) + " 字节附近：" +
                  error.errorString().toStdString() + "）");
  }
  if (!document.isArray() && !document.isObject())
    return faulty("请求体应为一个事件对象或事件数组");
  const bool many = document.isArray();
  const QJsonArray values = many ? document.array() : QJsonArray{document.object()};
  if (values.isEmpty()) return faulty("事件数组是空的");
  EventsBody result;
  result.events.resize(std::size_t(values.size()));
  for (qsizetype i = 0; i < values.size(); ++i) {
    if (auto fault = readEvent(values[i], result.events[std::size_t(i)])) {
      const std::string which = many ? "第 " + std::to_string(i + 1) + " 个事件" : "事件";
      return faulty(which + "：" + fault->message, many ? int(i) : -1, fault->field);
    }
  }
  return result;
}

std::string errorAnswer(const EventsBody& body) {
  QJsonObject answer{{"error", QString::fromStdString(body.fault)}};
  if (body.index >= 0) answer["index"] = body.index;
  if (!body.field.empty()) answer["field"] = QString::fromStdString(body.field);
  return compact(answer);
}

std::string errorAnswer(std::string_view message) {
  return compact({{"error", QString::fromUtf8(message.data(), qsizetype(message.size()))}});
}

std::string storedAnswer(const EventStore::Stored& stored) {
  return compact({{"added", qint64(stored.added)}, {"known", qint64(stored.known)}});
}

}  // namespace TrackingService
