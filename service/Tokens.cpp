#include "Tokens.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

#include <sys/stat.h>

namespace TrackingService {
namespace {

QByteArray digest(std::string_view token) {
  return QCryptographicHash::hash(QByteArrayView(token.data(), qsizetype(token.size())),
                                  QCryptographicHash::Sha256);
}

// Compares every byte, whatever the first difference.
bool sameDigest(const QByteArray& a, const QByteArray& b) {
  unsigned char difference = 0;
  for (qsizetype i = 0; i < a.size(); ++i) difference |= a[i] ^ b[i];
  return difference == 0;
}

bool isTokenCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) ||
         std::string_view("-._~+/").find(c) != std::string_view::npos;
}

// RFC 6750's b64token: the alphabet above, then any number of '='.
bool isBearerToken(std::string_view token) {
  const auto end = token.find_last_not_of('=');
  if (end == std::string_view::npos) return false;
  return std::all_of(token.begin(), token.begin() + end + 1, isTokenCharacter);
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Why others may not keep the file as it is; empty when they may.
std::string permissionFault(const std::filesystem::path& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return "cannot read the file";
  if (status.st_mode & (S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH)) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", unsigned(status.st_mode & 07777));
    return std::string("its group or others may read or change it (mode ") + mode +
           "); allow its owner alone, as with chmod 600";
  }
  return {};
}

}  // namespace

std::optional<Tokens> Tokens::read(const std::filesystem::path& file, std::string& fault) {
  if (auto why = permissionFault(file); !why.empty()) {
    fault = file.string() + ": " + why;
    return std::nullopt;
  }
  std::ifstream in(file);
  if (!in) {
    fault = file.string() + ": cannot read the file";
    return std::nullopt;
  }
  Tokens tokens;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const auto token = trimmed(text);
    if (token.empty() || token.starts_with('#')) continue;
    if (!isBearerToken(token) || token.size() < kMinTokenBytes) {
      fault = file.string() + ':' + std::to_string(line) + ": a token is " +
              std::to_string(kMinTokenBytes) +
              " or more letters, digits and - . _ ~ + / (= at the end), without blanks";
      return std::nullopt;
    }
    tokens.digests_.push_back(digest(token));
  }
  if (in.bad()) {
    fault = file.string() + ": cannot read the file";
    return std::nullopt;
  }
  return tokens;
}

bool Tokens::accepts(std::string_view token) const {
  const QByteArray presented = digest(token);
  bool accepted = false;
  for (const auto& known : digests_) accepted |= sameDigest(presented, known);
  return accepted;
}

std::optional<std::string_view> bearerToken(std::string_view authorization) {
  constexpr std::string_view kScheme = "bearer ";
  if (authorization.size() <= kScheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(authorization[i])) != kScheme[i]) {
      return std::nullopt;
    }
  }
  const auto token = trimmed(authorization.substr(kScheme.size()));
  if (token.empty()) return std::nullopt;
  return token;
}

}  // namespace TrackingService
