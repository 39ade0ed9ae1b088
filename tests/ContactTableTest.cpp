#include "ContactTable.h"
#include "HeadlessView.h"

#include <gtest/gtest.h>

TEST(ContactTableBuild, Compiles) { orvalen::CContactTable t; EXPECT_EQ(t.Count(), 0); }
