#include "TrackingData.h"

#include <gtest/gtest.h>

using namespace TrackingService;

namespace {

ShipmentEvent soundEvent() {
  return {"shunfeng", "SF1001", {"2026-12-05 14:32", "上海市 浦东新区", "已签收"}, "e-1"};
}

TEST(TrackingData, EventFaultNamesTheFieldAndWhatIsWrong) {
  struct Case {
    const char* what;
    void (*change)(ShipmentEvent&);
    const char* field;
    const char* message;
  };
  const Case cases[] = {
      {"empty code", [](ShipmentEvent& e) { e.code.clear(); }, "com", "bad courier code (empty)"},
      {"overlong number", [](ShipmentEvent& e) { e.number.assign(65, '1'); }, "nu",
       "bad tracking number (over 64 bytes)"},
      {"tab in number", [](ShipmentEvent& e) { e.number = "SF\t1"; }, "nu", "control character"},
      {"month 13", [](ShipmentEvent& e) { e.event.time = "2026-13-01 08:00"; }, "time",
       "bad time \"2026-13-01 08:00\", expected YYYY-MM-DD HH:MM"},
      {"30 February", [](ShipmentEvent& e) { e.event.time = "2026-02-30 08:00"; }, "time",
       "bad time"},
      {"hour 24", [](ShipmentEvent& e) { e.event.time = "2026-12-01 24:00"; }, "time", "bad time"},
      {"one-digit hour", [](ShipmentEvent& e) { e.event.time = "2026-12-01 8:00"; }, "time",
       "bad time"},
      {"seconds", [](ShipmentEvent& e) { e.event.time = "2026-12-01 08:00:00"; }, "time",
       "bad time"},
      {"empty place", [](ShipmentEvent& e) { e.event.place.clear(); }, "place",
       "bad place (empty)"},
      {"GBK place", [](ShipmentEvent& e) { e.event.place = "\xB1\xB1\xBE\xA9"; }, "place",
       "bad place (not UTF-8"},
      {"overlong status", [](ShipmentEvent& e) { e.event.status.assign(1001, 'x'); }, "status",
       "bad status (over 1000 bytes)"},
      {"overlong id", [](ShipmentEvent& e) { e.id.assign(129, 'x'); }, "id", "bad id (over 128"},
      {"control in id", [](ShipmentEvent& e) { e.id = "a\x01"; }, "id", "bad id (not UTF-8"},
  };
  for (const auto& c : cases) {
    auto event = soundEvent();
    c.change(event);
    const auto fault = eventFault(event);
    ASSERT_TRUE(fault) << c.what;
    EXPECT_EQ(fault->field, c.field) << c.what;
    EXPECT_NE(fault->message.find(c.message), std::string::npos)
        << c.what << ": " << fault->message;
  }
}

TEST(TrackingData, SoundEventsAtTheLimits) {
  auto event = soundEvent();
  EXPECT_FALSE(eventFault(event));
  event.id.clear();  // no id
  event.code.assign(kMaxKeyBytes, 'c');
  event.number = "EA1 2&3 #%+";
  event.event.time = "2028-02-29 23:59";
  event.event.place.assign(kMaxTextBytes, 'p');
  event.event.status = "\xF0\x9F\x93\xA6 已签收";
  EXPECT_FALSE(eventFault(event));
}

TEST(TrackingData, PrintableUtf8) {
  struct Case {
    const char* bytes;
    bool printable;
    const char* exercises;
  };
  const Case cases[] = {
      {"AB&123 #%+", true, "ASCII punctuation and space"},
      {"上海市", true, "three-byte sequences"},
      {"\xF0\x9F\x93\xA6", true, "four-byte sequence"},
      {"\x7F", false, "DEL"},
      {"a\tb", false, "tab"},
      {"\xC2\x85", false, "C1 control"},
      {"\xC0\xAF", false, "overlong slash"},
      {"\xED\xA0\x80", false, "surrogate"},
      {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
      {"\xE4\xB8", false, "truncated sequence"},
      {"\xB8\xAD", false, "stray continuation bytes (GBK)"},
  };
  for (const auto& c : cases) EXPECT_EQ(isPrintableUtf8(c.bytes), c.printable) << c.exercises;
}

}  // namespace
