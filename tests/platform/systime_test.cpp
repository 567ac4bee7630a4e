#include "platform/systime.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(DeviceClock, RunsOnFromTheValueSet)
{
    SYSTEMTIME set = {2003, 4, 0, 15, 23, 59, 59, 0};
    ASSERT_TRUE(SetDeviceClock(set));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2003);
    EXPECT_EQ(now.wMonth, 4);
    EXPECT_EQ(now.wDayOfWeek, 2); // 15 April 2003 was a Tuesday
    EXPECT_TRUE(now.wDay == 15 || now.wDay == 16);
    ResetDeviceClock();
}

TEST(DeviceClock, RefusesImpossibleTimesAndKeepsTheClock)
{
    SYSTEMTIME good = {2010, 1, 0, 2, 10, 0, 0, 0};
    ASSERT_TRUE(SetDeviceClock(good));
    SYSTEMTIME bad[] = {
        {2010, 2, 0, 30, 0, 0, 0, 0}, {2010, 13, 0, 1, 0, 0, 0, 0}, {2010, 1, 0, 1, 24, 0, 0, 0},
        {2010, 1, 0, 0, 0, 0, 0, 0},  {10000, 1, 0, 1, 0, 0, 0, 0},
    };
    for (const SYSTEMTIME& time : bad)
        EXPECT_FALSE(SetDeviceClock(time));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2010);
    EXPECT_EQ(now.wDay, 2);
    ResetDeviceClock();
}

TEST(DeviceClock, FollowsTheHostWhenNotSet)
{
    ResetDeviceClock();
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, local.tm_year + 1900);
    EXPECT_EQ(now.wMonth, local.tm_mon + 1);
}
