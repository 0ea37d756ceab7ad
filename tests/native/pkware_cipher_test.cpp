#include "skin2/pkware_cipher.h"

#include <gtest/gtest.h>

#include <string>

namespace vex::skin2 {
namespace {

TEST(Crc32, MatchesTheStandardCheckValue) {
  const std::string s = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()), 0xCBF43926u);
}

TEST(PkwareCipher, DecryptsWhatItEncryptsOnlyWithTheSamePassword) {
  std::vector<std::uint8_t> plain(1000);
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 7);
  std::vector<std::uint8_t> data = plain;
  TPkwareCipher("secret").Encrypt(data.data(), data.size());
  EXPECT_NE(data, plain);

  std::vector<std::uint8_t> good = data;
  TPkwareCipher("secret").Decrypt(good.data(), good.size());
  EXPECT_EQ(good, plain);

  std::vector<std::uint8_t> bad = data;
  TPkwareCipher("Secret").Decrypt(bad.data(), bad.size());
  EXPECT_NE(bad, plain);
}

TEST(PkwareCipher, KeyStreamDependsOnEarlierPlaintext) {
  // Two messages differing in their first byte must differ in every later byte too (the keys are
  // updated with the plaintext), or a wrong password would be easy to miss.
  std::vector<std::uint8_t> a(16, 0x41), b(16, 0x41);
  b[0] = 0x42;
  TPkwareCipher("pw").Encrypt(a.data(), a.size());
  TPkwareCipher("pw").Encrypt(b.data(), b.size());
  int same = 0;
  for (int i = 1; i < 16; ++i) same += a[i] == b[i];
  EXPECT_LT(same, 4);
}

}  // namespace
}  // namespace vex::skin2
