#include "settings/leading_number.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(LeadingNumber, ReadsLikeTheRuntime) {
  using settings::LeadingNumber;
  EXPECT_EQ(LeadingNumber(L"60"), 60.0);
  EXPECT_EQ(LeadingNumber(L"1.5"), 1.5);
  EXPECT_EQ(LeadingNumber(L"1,5"), 1.0);
  EXPECT_EQ(LeadingNumber(L"  10 s"), 10.0);
  EXPECT_EQ(LeadingNumber(L"-5"), -5.0);
  EXPECT_EQ(LeadingNumber(L".5"), 0.5);
  EXPECT_EQ(LeadingNumber(L"2e1x"), 20.0);
  EXPECT_EQ(LeadingNumber(L"2e"), 2.0);
  EXPECT_EQ(LeadingNumber(L"abc"), 0.0);
  EXPECT_EQ(LeadingNumber(L""), 0.0);
  EXPECT_EQ(LeadingNumber(L"."), 0.0);
  EXPECT_EQ(LeadingNumber(L"-"), 0.0);
  EXPECT_TRUE(std::isinf(LeadingNumber(L"1e400")));
}

}  // namespace
