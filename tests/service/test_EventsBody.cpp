#include "EventsBody.h"

#include <gtest/gtest.h>

using namespace TrackingService;

namespace {

constexpr const char* kEvent =
    R"({"com":"jd","nu":"JD 7&8","time":"2026-12-01 08:00","place":"北京市","status":"已揽收")";

TEST(EventsBody, OneEventOrAnArray) {
  const auto one = parseEventsBody(std::string(kEvent) + ",\"id\":\"e-1\"}");
  ASSERT_EQ(one.fault, "");
  ASSERT_EQ(one.events.size(), 1u);
  EXPECT_EQ(one.events[0].code, "jd");
  EXPECT_EQ(one.events[0].number, "JD 7&8");
  EXPECT_EQ(one.events[0].event.time, "2026-12-01 08:00");
  EXPECT_EQ(one.events[0].event.place, "北京市");
  EXPECT_EQ(one.events[0].event.status, "已揽收");
  EXPECT_EQ(one.events[0].id, "e-1");

  const auto many = parseEventsBody(std::string(" [") + kEvent + "}, " + kEvent +
                                    ",\"id\":9007199254740992}, " + kEvent + ",\"id\":-3}]\n");
  ASSERT_EQ(many.fault, "");
  ASSERT_EQ(many.events.size(), 3u);
  EXPECT_EQ(many.events[0].id, "");
  EXPECT_EQ(many.events[1].id, "9007199254740992");
  EXPECT_EQ(many.events[2].id, "-3");
}

TEST(EventsBody, FaultsNameTheEventAndTheField) {
  const std::string event = kEvent;
  const struct {
    std::string body;
    const char* fault;
    int index;
    const char* field;
  } cases[] = {
      {"", "请求体不是有效的 JSON", -1, ""},
      {event, "请求体不是有效的 JSON", -1, ""},
      {event + "} x", "请求体不是有效的 JSON", -1, ""},
      {"\"text\"", "请求体", -1, ""},
      {"[]", "事件数组是空的", -1, ""},
      {"[" + event + "}, 5]", "第 2 个事件：应为 JSON 对象", 1, ""},
      {R"({"com":"jd"})", "事件：缺少字段 nu", -1, "nu"},
      {"[" + event + "}," + event + ",\"Id\":1}]", "第 2 个事件：未知的字段 Id", 1, "Id"},
      {R"({"com":"jd","nu":5,"time":"2026-12-01 08:00","place":"p","status":"s"})",
       "事件：字段 nu 应为字符串", -1, "nu"},
      {event + ",\"id\":1.5}", "事件：字段 id 应为至多 128 字节的文本或整数", -1, "id"},
      {event + ",\"id\":true}", "事件：字段 id", -1, "id"},
      {event + ",\"id\":1e300}", "事件：字段 id", -1, "id"},
      {R"({"com":"jd","nu":"JD1","time":"2026-12-01 8:00","place":"p","status":"s"})",
       "事件：字段 time 应为 YYYY-MM-DD HH:MM 格式的真实时间", -1, "time"},
      {R"({"com":"","nu":"JD1","time":"2026-12-01 08:00","place":"p","status":"s"})",
       "事件：字段 com 应为 1 到 64 字节的文本", -1, "com"},
      {R"({"com":"jd","nu":"JD1","time":"2026-12-01 08:00","place":"p\u0007","status":"s"})",
       "事件：字段 place 应为 1 到 1000 字节的文本，不含控制字符", -1, "place"},
      {"{\"com\":\"jd\xFF\"}", "请求体不是有效的 JSON", -1, ""},
  };
  for (const auto& c : cases) {
    const auto parsed = parseEventsBody(c.body);
    EXPECT_TRUE(parsed.events.empty()) << c.body;
    EXPECT_NE(parsed.fault, "") << c.body;
    EXPECT_EQ(parsed.fault.find(c.fault), 0u) << c.body << ": " << parsed.fault;
    EXPECT_EQ(parsed.index, c.index) << c.body;
    EXPECT_EQ(parsed.field, c.field) << c.body;
  }
}

TEST(EventsBody, Answers) {
  EXPECT_EQ(storedAnswer({3, 1, {}}), R"({"added":3,"known":1})");
  EXPECT_EQ(errorAnswer("请求体太大"), R"({"error":"请求体太大"})");
  EventsBody body;
  body.fault = "第 2 个事件：缺少字段 nu";
  body.index = 1;
  body.field = "nu";
  EXPECT_EQ(errorAnswer(body), R"({"error":"第 2 个事件：缺少字段 nu","field":"nu","index":1})");
}

}  // namespace
