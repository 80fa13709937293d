// SPDX-License-Identifier: MIT
// The table of connected clients stays bounded without dropping the ones
// still at work.
#include "ClientConnections.h"

#include <gtest/gtest.h>

namespace nortavi::alpaca {
namespace {

TEST(ClientConnectionsTest, PastItsCapacityTheClientHeardFromLongestAgoIsForgotten)
{
    ClientConnections clients(2);
    clients.Connect(1);
    clients.Connect(2);
    EXPECT_TRUE(clients.Connected(1));  // heard from after 2
    clients.Connect(3);
    EXPECT_FALSE(clients.Connected(2));
    EXPECT_TRUE(clients.Connected(1));
    EXPECT_TRUE(clients.Connected(3));
    clients.Connect(3);  // already there: nobody makes way
    EXPECT_TRUE(clients.Connected(1));
}

}  // namespace
}  // namespace nortavi::alpaca
