#include "Tokens.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

#include <sys/stat.h>

using namespace TrackingService;

namespace {

const std::string kToken = "q3Zx8mP1vR7sT2uW9yA4bC6d";
const std::string kOther = "Zm9vYmFyYmF6cXV4cXV1eA==";

std::string writeFile(const QTemporaryDir& dir, const std::string& text, mode_t mode) {
  const std::string path = dir.filePath("tokens").toStdString();
  std::ofstream(path, std::ios::binary) << text;
  chmod(path.c_str(), mode);
  return path;
}

TEST(Tokens, AcceptsExactlyTheTokensOfTheFile) {
  QTemporaryDir dir;
  std::string fault;
  const auto tokens = Tokens::read(
      writeFile(dir, "# tokens of the shops\n" + kToken + "\r\n\n  " + kOther + " \n", 0600),
      fault);
  ASSERT_TRUE(tokens) << fault;
  EXPECT_EQ(tokens->size(), 2u);
  EXPECT_TRUE(tokens->accepts(kToken));
  EXPECT_TRUE(tokens->accepts(kOther));
  for (const std::string& wrong : {std::string(), kToken.substr(0, kToken.size() - 1), kToken + "x",
                                   "Q" + kToken.substr(1), std::string("# tokens of the shops")}) {
    EXPECT_FALSE(tokens->accepts(wrong)) << wrong;
  }
  EXPECT_FALSE(Tokens().accepts(kToken));
}

TEST(Tokens, RefusesAFileOthersMayReadOrChange) {
  QTemporaryDir dir;
  for (mode_t mode : {0640, 0604, 0620, 0602, 0644}) {
    std::string fault;
    EXPECT_FALSE(Tokens::read(writeFile(dir, kToken + "\n", mode), fault)) << std::oct << mode;
    EXPECT_NE(fault.find("its group or others may read or change it"), std::string::npos) << fault;
    EXPECT_NE(fault.find("chmod 600"), std::string::npos) << fault;
  }
  for (mode_t mode : {0600, 0400, 0700}) {
    std::string fault;
    EXPECT_TRUE(Tokens::read(writeFile(dir, kToken + "\n", mode), fault)) << fault;
  }
  std::string fault;
  EXPECT_FALSE(Tokens::read(dir.filePath("missing").toStdString(), fault));
  EXPECT_NE(fault.find("missing: cannot read the file"), std::string::npos) << fault;
  EXPECT_FALSE(Tokens::read(dir.path().toStdString(), fault));
}

TEST(Tokens, RefusesTokensThatAreShortOrOutsideTheAlphabet) {
  QTemporaryDir dir;
  for (const std::string& bad :
       {std::string("short"), kToken.substr(0, kMinTokenBytes - 1), kToken + " " + kOther,
        "=" + kToken, kToken + "=x", kToken + "\x01", kToken + "令牌"}) {
    std::string fault;
    EXPECT_FALSE(Tokens::read(writeFile(dir, kToken + "\n" + bad + "\n", 0600), fault)) << bad;
    EXPECT_NE(fault.find("tokens:2: a token is 16 or more"), std::string::npos) << fault;
  }
}

TEST(Tokens, BearerToken) {
  EXPECT_EQ(bearerToken("Bearer " + kToken), kToken);
  EXPECT_EQ(bearerToken("bearer  " + kToken + " "), kToken);
  EXPECT_EQ(bearerToken("BEARER " + kToken), kToken);
  for (const std::string& wrong : {std::string(), std::string("Bearer"), std::string("Bearer  "),
                                   "Basic " + kToken, "Bearer" + kToken, kToken}) {
    EXPECT_FALSE(bearerToken(wrong)) << wrong;
  }
}

}  // namespace
