#include "model/category_list.h"

#include "tests/model/list_checks.h"

#include <gtest/gtest.h>

namespace
{
typedef std::vector<std::u16string> Strings;

struct CategoryListTest : ::testing::Test {
    CategoryList list = {nullptr};

    CategoryNode* Add(LPCWSTR name, LONG value = 0)
    {
        CategoryNode scratch;
        InitNode(&scratch);
        SetName(&scratch, name);
        scratch.value = value;
        CategoryNode* node = Insert(&list, &scratch);
        FreeName(&scratch);
        return node;
    }
    void TearDown() override { Clear(&list); }
};
} // namespace

TEST_F(CategoryListTest, InsertAppendsInOrderAndMovesToTheNewNode)
{
    Add(u"Job");
    Add(u"Reading");
    CategoryNode* sport = Add(u"Sport");
    ASSERT_TRUE(ListIsSound(list, 3));
    EXPECT_EQ(Names(list), (Strings{u"Job", u"Reading", u"Sport"}));
    EXPECT_EQ(Current(&list), sport);
    EXPECT_EQ(sport->index, 2u);
}

TEST_F(CategoryListTest, InsertRefusesADuplicateAndLeavesTheHandleOnTheFirstNode)
{
    Add(u"Job");
    Add(u"Reading");
    Add(u"Sport");
    EXPECT_EQ(Add(u"Job"), nullptr);
    ASSERT_TRUE(ListIsSound(list, 3));
    EXPECT_EQ(Text(Current(&list)->name), u"Job");
    EXPECT_NE(Add(u"job"), nullptr) << "names differing in case are distinct";
    EXPECT_EQ(Add(u""), nullptr);
    EXPECT_TRUE(ListIsSound(list, 4));
}

TEST_F(CategoryListTest, InsertKeepsAPrivateCopyOfTheName)
{
    WCHAR name[] = u"Job";
    CategoryNode scratch;
    InitNode(&scratch);
    SetName(&scratch, name);
    CategoryNode* node = Insert(&list, &scratch);
    SetName(&scratch, u"Other");
    name[0] = u'X';
    EXPECT_EQ(Text(node->name), u"Job");
    FreeName(&scratch);
}

TEST_F(CategoryListTest, RemoveAtUnlinksRenumbersAndEndsOnTheFirstNode)
{
    Add(u"Job");
    Add(u"Reading");
    Add(u"Sport");
    Add(u"Walks");
    EXPECT_TRUE(RemoveAt(&list, 1));
    ASSERT_TRUE(ListIsSound(list, 3));
    EXPECT_EQ(Names(list), (Strings{u"Job", u"Sport", u"Walks"}));
    EXPECT_EQ(Text(Current(&list)->name), u"Job");
    EXPECT_TRUE(RemoveAt(&list, 2)); // the last node
    EXPECT_TRUE(RemoveAt(&list, 0)); // the first node
    ASSERT_TRUE(ListIsSound(list, 1));
    EXPECT_EQ(Names(list), (Strings{u"Sport"}));
    EXPECT_FALSE(RemoveAt(&list, 1));
    EXPECT_TRUE(RemoveAt(&list, 0));
    EXPECT_EQ(Current(&list), nullptr);
    EXPECT_FALSE(RemoveAt(&list, 0));
}

TEST_F(CategoryListTest, RemoveByNameOfAnAbsentNameChangesOnlyTheHandle)
{
    Add(u"Job");
    Add(u"Reading");
    EXPECT_FALSE(RemoveByName(&list, u"Sport"));
    EXPECT_FALSE(RemoveByName(&list, u""));
    EXPECT_FALSE(RemoveByName(&list, nullptr));
    ASSERT_TRUE(ListIsSound(list, 2));
    EXPECT_EQ(Text(Current(&list)->name), u"Job");
    EXPECT_TRUE(RemoveByName(&list, u"Job"));
    ASSERT_TRUE(ListIsSound(list, 1));
    EXPECT_EQ(Current(&list)->index, 0u);
}

TEST_F(CategoryListTest, WalkingMovesOnlyWhereANeighbourExists)
{
    EXPECT_EQ(First(&list), nullptr);
    EXPECT_EQ(Last(&list), nullptr);
    EXPECT_EQ(Next(&list), nullptr);
    EXPECT_EQ(Count(&list), 0u);
    CategoryNode* job = Add(u"Job");
    Add(u"Reading");
    CategoryNode* sport = Add(u"Sport");
    First(&list);
    EXPECT_EQ(Last(&list), sport);
    EXPECT_EQ(Current(&list), job) << "Last does not move";
    EXPECT_EQ(Prev(&list), nullptr);
    EXPECT_EQ(Current(&list), job);
    Next(&list);
    EXPECT_EQ(Next(&list), sport);
    EXPECT_EQ(Next(&list), nullptr);
    EXPECT_EQ(Current(&list), sport);
    EXPECT_EQ(Count(&list), 3u);
    EXPECT_EQ(Current(&list), job) << "Count moves to the first node";
}

TEST_F(CategoryListTest, FindByNameMovesToTheNodeOrToTheFirst)
{
    Add(u"Job");
    CategoryNode* reading = Add(u"Reading");
    Add(u"Sport");
    EXPECT_EQ(FindByName(&list, u"Reading"), reading);
    EXPECT_EQ(Current(&list), reading);
    EXPECT_EQ(FindByName(&list, u"reading"), nullptr);
    EXPECT_EQ(Text(Current(&list)->name), u"Job");
    Last(&list);
    Next(&list);
    Next(&list);
    EXPECT_EQ(FindByName(&list, u""), nullptr);
    EXPECT_EQ(Text(Current(&list)->name), u"Sport") << "an empty name leaves the handle";
    CategoryList empty = {nullptr};
    EXPECT_EQ(FindByName(&empty, u"Job"), nullptr);
}

TEST_F(CategoryListTest, FindByValueReturnsTheNodeNearestTheFirst)
{
    Add(u"Job", 30);
    CategoryNode* reading = Add(u"Reading", 90);
    Add(u"Sport", 90);
    EXPECT_EQ(FindByValue(&list, 90), reading);
    EXPECT_EQ(FindByValue(&list, 5), nullptr);
    EXPECT_EQ(Text(Current(&list)->name), u"Job");
}

TEST_F(CategoryListTest, NodeOperationsCopyNamesAndRefuseEmptyOnes)
{
    CategoryNode node;
    InitNode(&node);
    EXPECT_FALSE(SetName(&node, u""));
    EXPECT_EQ(node.name, nullptr);
    EXPECT_TRUE(SetName(&node, u"Job"));
    EXPECT_FALSE(SetName(&node, nullptr));
    EXPECT_EQ(Text(node.name), u"Job") << "a refused name leaves the old one";
    node.value = 42;
    node.index = 7;
    CategoryNode copy;
    InitNode(&copy);
    CopyNode(&copy, &node);
    EXPECT_EQ(Text(copy.name), u"Job");
    EXPECT_NE(copy.name, node.name);
    EXPECT_EQ(copy.value, 42);
    EXPECT_EQ(copy.index, 0u);
    FreeName(&node);
    FreeName(&copy);
}

TEST_F(CategoryListTest, HoldsMoreThanSixteenBitsOfNodesWithTheirOwnIndices)
{
    // Indices are as wide as the list grows: node 65,536 must not be found as node 0.
    CategoryNode scratch;
    InitNode(&scratch);
    WCHAR name[16];
    CategoryNode* last = nullptr;
    for (int i = 0; i < 65540; ++i) {
        name[0] = WCHAR(u'A' + i % 26);
        int n = i, at = 1;
        do
            name[at++] = WCHAR(u'0' + n % 10);
        while ((n /= 10) && at < 15);
        name[at] = 0;
        SetName(&scratch, name);
        // Appending through Insert scans every name; build the tail directly to keep this quick.
        if (i == 0) {
            last = Insert(&list, &scratch);
        } else {
            CategoryNode* node = new CategoryNode;
            InitNode(node);
            CopyNode(node, &scratch);
            last->next = node;
            node->prev = last;
            node->index = last->index + 1;
            last = node;
        }
    }
    FreeName(&scratch);
    ASSERT_EQ(Count(&list), 65540u);
    EXPECT_TRUE(RemoveAt(&list, 65536));
    ASSERT_TRUE(ListIsSound(list, 65539));
    EXPECT_EQ(Text(First(&list)->name), u"A0");
}
