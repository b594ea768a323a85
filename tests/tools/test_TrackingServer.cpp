#include "ResultPage.h"
#include "TrackingServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace TrackingService;

namespace {

constexpr const char* kData =
    "shunfeng\tSF1001\t2026-12-05 09:00\t广东省 深圳市南山区\t已揽收\n"
    "shunfeng\tSF1001\t2026-12-05 14:32\t上海市 浦东新区\t已签收，签收人：本人\n"
    "shunfeng\tSF1001\t2026-12-05 11:00\t上海转运中心\t已到达\n"
    "yuantong\tAB&123\t2026-12-01 08:00\t北京市\t已揽收\n"
    "yuantong\tYT 12 34\t2026-12-01 08:00\t北京市\t已揽收\n"
    "yuantong\tA+B#1%25\t2026-12-01 08:00\t北京市\t已揽收\n"
    "ems\t<b>1\t2026-12-01 08:00\t<script>x</script>\t\"签收\" & 'ok'\n";

// The real handlers on a free loopback port, served from a thread of the test.
class TrackingServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto loaded = parseTrackingData(kData);
    ASSERT_FALSE(loaded.error);
    shipments_ = std::move(loaded.shipments);
    installHandlers(server_, shipments_);
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  void TearDown() override {
    if (!thread_.joinable()) return;
    // stop() has no effect before the listen loop has begun.
    while (!server_.is_running()) std::this_thread::yield();
    server_.stop();
    thread_.join();
  }

  // Sends targets exactly as written: the tests do their own percent-encoding.
  httplib::Client client() {
    httplib::Client http("127.0.0.1", port_);
    http.set_url_encode(false);
    return http;
  }
  httplib::Result get(const std::string& target) { return client().Get(target); }

  // The text inside the result element, or nothing when there is none.
  static std::optional<std::string> resultElement(const std::string& page) {
    const std::string open = "<pre id=\"queryResult2\">";
    const auto start = page.find(open);
    if (start == std::string::npos) return std::nullopt;
    const auto end = page.find("</pre>", start);
    return page.substr(start + open.size(), end - start - open.size());
  }

  ShipmentTable shipments_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST_F(TrackingServerTest, FoundShipmentListsEventsNewestFirstInUtf8Page) {
  const auto result = get("/chaxun?com=shunfeng&nu=SF1001");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(result->body.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_EQ(resultElement(result->body),
            "2026-12-05 14:32  上海市 浦东新区  已签收，签收人：本人\n"
            "2026-12-05 11:00  上海转运中心  已到达\n"
            "2026-12-05 09:00  广东省 深圳市南山区  已揽收");
  EXPECT_EQ(result->body.find(kResultElementId), result->body.rfind(kResultElementId));
}

TEST_F(TrackingServerTest, UnknownShipmentGetsPageWithoutResultElement) {
  for (const char* target : {"/chaxun?com=shunfeng&nu=SF1002", "/chaxun?com=yuantong&nu=SF1001",
                             "/chaxun?com=SHUNFENG&nu=SF1001", "/chaxun?com=shunfeng&nu=sf1001",
                             // an unescaped "&" splits the number
                             "/chaxun?com=yuantong&nu=AB&123"}) {
    const auto result = get(target);
    ASSERT_TRUE(result) << target;
    EXPECT_EQ(result->status, 200) << target;
    EXPECT_EQ(result->body.find(kResultElementId), std::string::npos) << target;
    EXPECT_NE(result->body.find("没有查到"), std::string::npos) << target;
  }
}

TEST_F(TrackingServerTest, PercentEncodedNumbersAreDecodedBeforeLookup) {
  const struct {
    const char* target;
    const char* number;
  } cases[] = {
      {"/chaxun?com=yuantong&nu=AB%26123", "AB&123"},
      {"/chaxun?com=yuantong&nu=YT%2012%2034", "YT 12 34"},
      {"/chaxun?com=yuantong&nu=YT+12+34", "YT 12 34"},  // form encoding of spaces
      {"/chaxun?com=yuantong&nu=A%2BB%231%2525", "A+B#1%25"},
      {"/chaxun?nu=AB%26123&com=yuan%74ong", "AB&123"},
  };
  for (const auto& c : cases) {
    const auto result = get(c.target);
    ASSERT_TRUE(result) << c.target;
    EXPECT_EQ(result->status, 200) << c.target;
    EXPECT_EQ(resultElement(result->body), "2026-12-01 08:00  北京市  已揽收") << c.target;
    EXPECT_NE(result->body.find(escapeHtml(c.number)), std::string::npos) << c.target;
  }
}

TEST_F(TrackingServerTest, EscapesDataAndEchoedValues) {
  const auto found = get("/chaxun?com=ems&nu=%3Cb%3E1");
  ASSERT_TRUE(found);
  EXPECT_EQ(
      resultElement(found->body),
      "2026-12-01 08:00  &lt;script&gt;x&lt;/script&gt;  &quot;签收&quot; &amp; &#39;ok&#39;");
  EXPECT_NE(found->body.find("&lt;b&gt;1"), std::string::npos);
  EXPECT_EQ(found->body.find("<b>"), std::string::npos);

  const auto unknown = get("/chaxun?com=%22%3E%3Ci%3E&nu=%3C%2Fpre%3E%27");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 200);
  EXPECT_NE(unknown->body.find("&quot;&gt;&lt;i&gt;"), std::string::npos);
  EXPECT_NE(unknown->body.find("&lt;/pre&gt;&#39;"), std::string::npos);
  EXPECT_EQ(unknown->body.find("<i>"), std::string::npos);
}

TEST_F(TrackingServerTest, MalformedQueriesGet400) {
  const std::string longest(kMaxKeyBytes, '7');
  const char* targets[] = {
      "/chaxun",
      "/chaxun?nu=SF1001",
      "/chaxun?com=shunfeng",
      "/chaxun?com=&nu=SF1001",
      "/chaxun?com=shunfeng&nu=",
      "/chaxun?com=shunfeng&nu",
      "/chaxun?com=shunfeng&com=shunfeng&nu=SF1001",
      "/chaxun?com=shunfeng&nu=SF1001&nu=SF1001",
      "/chaxun?com=shunfeng&nu=SF1001%00",
      "/chaxun?com=shunfeng&nu=SF%091001",
      "/chaxun?com=shunfeng&nu=SF1001%0D%0A",
      "/chaxun?com=shunfeng%7F&nu=SF1001",
      "/chaxun?com=shunfeng&nu=%FF%FE",
      "/chaxun?com=shunfeng&nu=SF%zz1001",
      "/chaxun?com=shunfeng&nu=SF1001%4",
      "/chaxun?com=shunfeng&n%u=SF1001",
  };
  for (const char* target : targets) {
    const auto result = get(target);
    ASSERT_TRUE(result) << target;
    EXPECT_EQ(result->status, 400) << target;
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8") << target;
  }
  EXPECT_EQ(get("/chaxun?com=shunfeng&nu=" + longest)->status, 200);
  EXPECT_EQ(get("/chaxun?com=shunfeng&nu=" + longest + "7")->status, 400);
  EXPECT_EQ(get("/chaxun?com=shunfeng&nu=" + std::string(9000, '7'))->status, 414);
}

TEST_F(TrackingServerTest, OtherPathsGet404AndOtherMethods405) {
  auto http = client();
  for (const char* path : {"/", "/chaxun/", "/CHAXUN?com=shunfeng&nu=SF1001", "/chaxun.html"}) {
    EXPECT_EQ(http.Get(path)->status, 404) << path;
  }
  EXPECT_EQ(http.Post("/other")->status, 404);

  const std::string query = "/chaxun?com=shunfeng&nu=SF1001";
  for (const auto& result : {http.Post(query), http.Put(query), http.Delete(query),
                             http.Patch(query), http.Options(query)}) {
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 405);
    EXPECT_EQ(result->get_header_value("Allow"), "GET, HEAD");
  }
  const auto head = http.Head(query);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_TRUE(head->body.empty());
}

// A few kilobytes cost more to compress than to send: every page goes out as
// it is, whatever the client accepts, and HEAD announces its length.
TEST_F(TrackingServerTest, PagesAreSentUncompressed) {
  auto http = client();
  http.set_decompress(false);
  const httplib::Headers acceptsAll = {{"Accept-Encoding", "br, gzip, deflate"}};
  const std::string found = "/chaxun?com=shunfeng&nu=SF1001";
  for (const std::string& target : {found, std::string("/chaxun?com=x"), std::string("/none")}) {
    const auto result = http.Get(target, acceptsAll);
    ASSERT_TRUE(result) << target;
    EXPECT_FALSE(result->has_header("Content-Encoding")) << target;
    EXPECT_NE(result->body.find("<meta charset=\"utf-8\">"), std::string::npos) << target;
    EXPECT_EQ(result->get_header_value("Content-Length"), std::to_string(result->body.size()));
  }
  const auto head = http.Head(found, acceptsAll);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(http.Get(found)->body.size()));
}

TEST(TrackingServerSocket, SendsWithoutDelayAndSharesNoPort) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  configureSocket(socket);
  const auto option = [socket](int level, int name) {
    int value = 0;
    socklen_t size = sizeof value;
    getsockopt(socket, level, name, &value, &size);
    return value != 0;
  };
  EXPECT_TRUE(option(IPPROTO_TCP, TCP_NODELAY));
  EXPECT_TRUE(option(SOL_SOCKET, SO_REUSEADDR));
  EXPECT_FALSE(option(SOL_SOCKET, SO_REUSEPORT));
  close(socket);
}

}  // namespace
