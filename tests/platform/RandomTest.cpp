#include "platform/Random.h"

#include <gtest/gtest.h>

#include <array>

using namespace tidewake;

TEST(Pcg32, UniformInTheHalfOpenUnitInterval) {
  Pcg32 g(12345);
  std::array<int, 10> bins{};
  double sum = 0;
  constexpr int kDraws = 200000;
  for (int i = 0; i < kDraws; ++i) {
    const float r = g.NextSingle();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ++bins[static_cast<std::size_t>(r * 10)];
    sum += r;
  }
  EXPECT_NEAR(sum / kDraws, 0.5, 0.005);
  for (int n : bins) EXPECT_NEAR(n, kDraws / 10, kDraws / 100);
}

TEST(Pcg32, ASeedGivesItsOwnRepeatableSequence) {
  Pcg32 a(7), b(7), c(8);
  int same = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t x = a.Next();
    EXPECT_EQ(x, b.Next());
    same += x == c.Next();
  }
  EXPECT_LT(same, 5);
  a.Seed(7);
  Pcg32 fresh(7);
  EXPECT_EQ(a.Next(), fresh.Next());
}

TEST(Random, TheInstalledGeneratorIsUsedAndThenPutBack) {
  struct Fixed final : IRandom {
    float Rnd() override { return 0.25f; }
    void Randomize() override {}
  } fixed;
  IRandom* before = SetRandom(&fixed);
  EXPECT_EQ(Random().Rnd(), 0.25f);
  SetRandom(before);
  const float r = Random().Rnd();
  EXPECT_TRUE(r >= 0.0f && r < 1.0f);
}
