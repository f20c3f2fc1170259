// The route table on its own, with plain owners.

#include "net/RouteTable.h"

#include <gtest/gtest.h>

#include <memory>

namespace zonbode::net {
namespace {

struct Owner {
    int id = 0;
};

class RouteTableTest : public ::testing::Test {
protected:
    std::shared_ptr<Owner> a = std::make_shared<Owner>(Owner{1});
    std::shared_ptr<Owner> b = std::make_shared<Owner>(Owner{2});
    std::shared_ptr<Owner> c = std::make_shared<Owner>(Owner{3});
    RouteTable<Owner> table;
};

TEST_F(RouteTableTest, FreedSlotIsReusedAndTheCountOnlyGrows) {
    table.AddRoute(5, a);
    table.AddRoute(7, b);
    table.RemoveRoute(5);
    EXPECT_EQ(2, table.Count());
    EXPECT_EQ(RouteTable<Owner>::kFreeSlot, table.HandleAt(1));
    EXPECT_TRUE(table.Find(5).expired());

    table.AddRoute(9, c);
    EXPECT_EQ(2, table.Count());
    EXPECT_EQ(9, table.HandleAt(1));
    EXPECT_EQ(7, table.HandleAt(2));
    EXPECT_EQ(c, table.Find(9).lock());
    EXPECT_EQ(b, table.Find(7).lock());

    table.AddRoute(11, a);
    EXPECT_EQ(3, table.Count());
    EXPECT_EQ(11, table.HandleAt(3));
    EXPECT_EQ(RouteTable<Owner>::kFreeSlot, table.HandleAt(4));
    EXPECT_EQ(RouteTable<Owner>::kFreeSlot, table.HandleAt(0));
}

TEST_F(RouteTableTest, AddingARoutedHandleKeepsItsOwnerReassignChangesIt) {
    table.AddRoute(5, a);
    table.AddRoute(5, b);
    EXPECT_EQ(1, table.Count());
    EXPECT_EQ(a, table.Find(5).lock());

    table.Reassign(5, b);
    EXPECT_EQ(b, table.Find(5).lock());
    table.Reassign(6, c);  // not routed: nothing happens
    EXPECT_TRUE(table.Find(6).expired());
    EXPECT_EQ(1, table.Count());
}

TEST_F(RouteTableTest, AHandleHasOneRouteEvenWhenAFreeSlotComesBeforeIt) {
    table.AddRoute(5, a);
    table.AddRoute(7, b);
    table.RemoveRoute(5);
    table.AddRoute(7, c);
    EXPECT_EQ(RouteTable<Owner>::kFreeSlot, table.HandleAt(1));
    EXPECT_EQ(b, table.Find(7).lock()) << "the route it has stays";
    table.RemoveRoute(7);
    EXPECT_TRUE(table.Find(7).expired()) << "no second route is left behind";
}

TEST_F(RouteTableTest, RemovingUnknownHandlesAndFreeSlotsChangesNothing) {
    table.AddRoute(5, a);
    table.RemoveRoute(8);
    table.RemoveRoute(RouteTable<Owner>::kFreeSlot);
    EXPECT_EQ(1, table.Count());
    EXPECT_EQ(a, table.Find(5).lock());
    table.RemoveRoute(5);
    EXPECT_TRUE(table.Find(RouteTable<Owner>::kFreeSlot).expired()) << "free slots never match";
}

TEST_F(RouteTableTest, RoutesOfDestroyedOwnersCanBeSweptAndNeverLeadToThem) {
    table.AddRoute(5, a);
    table.AddRoute(7, b);
    b.reset();
    EXPECT_EQ(nullptr, table.Find(7).lock());
    table.RemoveExpiredOwners();
    EXPECT_EQ(RouteTable<Owner>::kFreeSlot, table.HandleAt(2));
    EXPECT_EQ(5, table.HandleAt(1));
    EXPECT_EQ(2, table.Count());
}

TEST_F(RouteTableTest, ClearingStartsOverFromAnEmptyTable) {
    table.AddRoute(5, a);
    table.AddRoute(7, b);
    table.Clear();
    EXPECT_EQ(0, table.Count());
    EXPECT_TRUE(table.Find(5).expired());
    table.AddRoute(9, c);
    EXPECT_EQ(1, table.Count());
    EXPECT_EQ(9, table.HandleAt(1));
}

}  // namespace
}  // namespace zonbode::net
