// The tokens that let a client send events: read from the file that
// TokenFile= names, one token per line, and checked against the token of a
// request's "Authorization: Bearer TOKEN" header.
#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TrackingService {

// The shortest token accepted: anything shorter could be guessed.
inline constexpr std::size_t kMinTokenBytes = 16;

class Tokens {
 public:
  // No tokens: every request is refused.
  Tokens() = default;

  // Reads `file`. It must be a regular file that neither its group nor
  // others may read or write (the tokens are secrets). Each line holds one
  // token of at least kMinTokenBytes characters of the bearer-token alphabet
  // (letters, digits, - . _ ~ + / and = at the end); blanks around it are
  // dropped; blank lines and lines starting with '#' are skipped. On a fault
  // returns nothing and sets `fault` ("FILE: …" or "FILE:LINE: …").
  static std::optional<Tokens> read(const std::filesystem::path& file, std::string& fault);

  // True when `token` is one of the tokens. Takes the same time whichever
  // token it matches, and whether it matches any: each is compared in full,
  // through a digest of fixed length.
  bool accepts(std::string_view token) const;

  std::size_t size() const { return digests_.size(); }

 private:
  std::vector<QByteArray> digests_;
};

// The token of an Authorization header's value "Bearer TOKEN" (the scheme in
// any letter case); nothing for any other value.
std::optional<std::string_view> bearerToken(std::string_view authorization);

}  // namespace TrackingService
