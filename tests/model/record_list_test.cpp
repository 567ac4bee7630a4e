#include "model/record_list.h"

#include "entry/record_format.h"
#include "tests/model/list_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
struct RecordListTest : ::testing::Test {
    RecordList list = {nullptr};
    RecordNode scratch;

    void SetUp() override
    {
        scratch.date = {};
        InitRecordNode(&scratch);
    }
    void TearDown() override
    {
        FreeRecordTexts(&scratch);
        Clear(&list);
    }

    // Fills the scratch record as the loader does and appends it.
    RecordNode* Add(WORD year, WORD month, WORD day, LPCWSTR minutes, LPCWSTR category = u"Job",
                    LPCWSTR memo = u"", DWORD key = 1)
    {
        SYSTEMTIME date = {year, month, 0, day, 0, 0, 0, 0};
        SetRecordDate(&scratch, date);
        SetRecordMinutes(&scratch, minutes);
        SetRecordCategory(&scratch, category);
        SetRecordMemo(&scratch, memo);
        scratch.recordKey = key;
        return Append(&list, &scratch);
    }
};
} // namespace

TEST_F(RecordListTest, AppendCopiesEveryTextAndMovesToTheNewNode)
{
    RecordNode* node = Add(2003, 4, 15, u"135", u"Job", u"Call", 51439);
    ASSERT_TRUE(ListIsSound(list, 1));
    EXPECT_EQ(Current(&list), node);
    EXPECT_EQ(Text(node->dateDmyDash), u"15-04-2003");
    EXPECT_EQ(Text(node->dateDmySlash), u"15/04/2003");
    EXPECT_EQ(Text(node->dateMdyDash), u"04-15-2003");
    EXPECT_EQ(Text(node->dateMdySlash), u"04/15/2003");
    EXPECT_EQ(node->dateKey, 20030415);
    EXPECT_EQ(Text(node->minutesText), u"135");
    EXPECT_EQ(Text(node->durationComma), u"2,15");
    EXPECT_EQ(Text(node->durationColon), u"2:15");
    EXPECT_EQ(Text(node->category), u"Job");
    EXPECT_EQ(Text(node->memo), u"Call");
    EXPECT_EQ(node->recordKey, 51439u);
    EXPECT_NE(node->category, scratch.category) << "the node owns a private copy";
}

TEST_F(RecordListTest, EqualRecordsAreKeptAndRemovalRenumbers)
{
    Add(2003, 4, 15, u"10");
    Add(2003, 4, 15, u"10");
    RecordNode* third = Add(2003, 4, 16, u"20");
    ASSERT_TRUE(ListIsSound(list, 3));
    EXPECT_EQ(First(&list)->recordKey, First(&list)->next->recordKey);
    EXPECT_TRUE(RemoveAt(&list, 0));
    ASSERT_TRUE(ListIsSound(list, 2));
    EXPECT_EQ(third->index, 1u);
    EXPECT_EQ(Current(&list)->index, 0u);
    EXPECT_FALSE(RemoveAt(&list, 5));
    EXPECT_TRUE(RemoveAt(&list, 1));
    EXPECT_TRUE(RemoveAt(&list, 0));
    EXPECT_EQ(Current(&list), nullptr);
    EXPECT_FALSE(RemoveAt(&list, 0)) << "nothing was removed from an empty list";
}

TEST_F(RecordListTest, FindAtAndFindByDateKeyMoveOrFallBackToTheFirst)
{
    Add(2003, 4, 15, u"10");
    RecordNode* second = Add(2003, 4, 16, u"20");
    Add(2003, 4, 16, u"30");
    EXPECT_EQ(FindAt(&list, 1), second);
    EXPECT_EQ(Current(&list), second);
    EXPECT_EQ(FindAt(&list, 3), nullptr);
    EXPECT_EQ(Current(&list)->index, 0u);
    EXPECT_EQ(FindByDateKey(&list, 20030416), second) << "the first of two equal dates";
    EXPECT_EQ(FindByDateKey(&list, 20030417), nullptr);
    EXPECT_EQ(Current(&list)->index, 0u);
}

TEST_F(RecordListTest, ReplaceAtRebuildsTheNodeInPlace)
{
    Add(2003, 4, 15, u"10");
    RecordNode* second = Add(2003, 4, 16, u"20");
    Add(2003, 4, 17, u"30");
    FindAt(&list, 1);
    RecordNode edited;
    edited.date = {};
    InitRecordNode(&edited);
    CopyRecord(&edited, second);
    SetRecordMinutes(&edited, u"65");
    SetRecordCategory(&edited, u"Sport");
    EXPECT_EQ(ReplaceAt(&list, 1, &edited), second);
    ASSERT_TRUE(ListIsSound(list, 3));
    EXPECT_EQ(Text(second->durationComma), u"1,05");
    EXPECT_EQ(Text(second->category), u"Sport");
    EXPECT_EQ(second->index, 1u);
    EXPECT_EQ(Current(&list), second);
    FreeRecordTexts(&edited);
}

TEST_F(RecordListTest, ReplaceAtSearchesOnlyFromTheCurrentNode)
{
    RecordNode* first = Add(2003, 4, 15, u"10");
    Add(2003, 4, 16, u"20");
    RecordNode* last = Current(&list);
    EXPECT_EQ(ReplaceAt(&list, 0, &scratch), nullptr);
    EXPECT_EQ(Text(first->minutesText), u"10") << "nothing changed";
    EXPECT_EQ(Current(&list), last);
    ASSERT_TRUE(ListIsSound(list, 2));
}

TEST_F(RecordListTest, ReplaceAtWithTheNodeItselfKeepsItsTexts)
{
    RecordNode* node = Add(2003, 4, 15, u"10", u"Job", u"memo");
    EXPECT_EQ(ReplaceAt(&list, 0, node), node);
    EXPECT_EQ(Text(node->category), u"Job");
    EXPECT_EQ(Text(node->memo), u"memo");
}

TEST_F(RecordListTest, ResetThenCopyFromANodeWithoutMemoLeavesTheMemoAbsent)
{
    Add(2003, 4, 15, u"10", u"Job", u"Call");
    RecordNode* node = Current(&list);
    ResetRecordNode(node);
    EXPECT_EQ(node->recordKey, RESET_RECORD_KEY);
    EXPECT_EQ(node->dateKey, 0);
    EXPECT_EQ(node->memo, nullptr);
    EXPECT_EQ(node->dateDmyDash, nullptr);
    RecordNode source;
    source.date = {2005, 10, 0, 29, 0, 0, 0, 0};
    InitRecordNode(&source);
    SetRecordMinutes(&source, u"5");
    SetRecordCategory(&source, u"Reading");
    CopyRecord(node, &source);
    EXPECT_EQ(node->memo, nullptr);
    EXPECT_EQ(Text(node->durationColon), u"0:05");
    EXPECT_EQ(Text(node->dateDmyDash), u"29-10-2005");
    FreeRecordTexts(&source);
}

TEST_F(RecordListTest, CopyCarriesTheStoredRecordItCameFrom)
{
    scratch.storedOid = 77;
    RecordNode* node = Add(2003, 4, 15, u"10");
    EXPECT_EQ(node->storedOid, 77u);
    ResetRecordNode(node);
    EXPECT_EQ(node->storedOid, NO_STORED_RECORD);
}

TEST_F(RecordListTest, TextAccessorsPickTheReadyMadeText)
{
    RecordNode* node = Add(2003, 4, 15, u"135");
    EXPECT_EQ(Text(DateText(node, 0)), u"15-04-2003");
    EXPECT_EQ(Text(DateText(node, 1)), u"15/04/2003");
    EXPECT_EQ(Text(DateText(node, 2)), u"04-15-2003");
    EXPECT_EQ(Text(DateText(node, 3)), u"04/15/2003");
    EXPECT_EQ(Text(DateText(node, 7)), u"15-04-2003");
    EXPECT_EQ(Text(DurationText(node, 0)), u"2,15");
    EXPECT_EQ(Text(DurationText(node, 1)), u"2:15");
    EXPECT_EQ(Text(DurationText(node, 9)), u"2:15");
}

TEST_F(RecordListTest, WalkingAndCountingFollowTheHandleRules)
{
    EXPECT_EQ(Count(&list), 0u);
    RecordNode* first = Add(2003, 4, 15, u"10");
    RecordNode* last = Add(2003, 4, 16, u"20");
    EXPECT_EQ(Count(&list), 2u);
    EXPECT_EQ(Current(&list), first);
    EXPECT_EQ(Last(&list), last);
    EXPECT_EQ(Current(&list), first);
    EXPECT_EQ(Prev(&list), nullptr);
    EXPECT_EQ(Next(&list), last);
    EXPECT_EQ(Next(&list), nullptr);
    EXPECT_EQ(Current(&list), last);
}

TEST_F(RecordListTest, IndicesBeyondSixteenBitsFindTheRightNode)
{
    for (int i = 0; i < 65538; ++i)
        Add(2003, 4, 15, i == 65537 ? u"99" : u"10");
    ASSERT_TRUE(ListIsSound(list, 65538));
    RecordNode* node = FindAt(&list, 65537);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Text(node->minutesText), u"99");
    EXPECT_EQ(FindAt(&list, 1)->index, 1u);
    EXPECT_TRUE(RemoveAt(&list, 65537));
    EXPECT_EQ(Text(Last(&list)->minutesText), u"10");
}

namespace
{
enum class Change {
    Append,
    RemoveFirst,
    RemoveMiddle,
    RemoveLast,
    Replace,
    Find,
    Relink,
    DropRows
};

// The list against a model of its keys, through every kind of change: the chain, the indices,
// the count, the first and last node, the handle and the order all agree after each one.
TEST_F(RecordListTest, EveryChangeKeepsTheListWholeAndInOrder)
{
    const Change changes[] = {
        Change::Append,       Change::Append,     Change::Append,     Change::Append,
        Change::RemoveMiddle, Change::Find,       Change::Replace,    Change::RemoveFirst,
        Change::Append,       Change::RemoveLast, Change::Relink,     Change::Append,
        Change::DropRows,     Change::Append,     Change::Find,       Change::RemoveMiddle,
        Change::Replace,      Change::Append,     Change::Find,       Change::RemoveLast,
        Change::Append,       Change::Append,     Change::Relink,     Change::RemoveFirst,
        Change::RemoveMiddle, Change::Append,     Change::RemoveLast, Change::Append};
    std::vector<DWORD> model;
    DWORD nextKey = 1;
    int step = 0;
    for (Change change : changes) {
        SCOPED_TRACE("change " + std::to_string(step++));
        DWORD middle = static_cast<DWORD>(model.size() / 2);
        switch (change) {
        case Change::Append:
            Add(2003, 4, 15, u"10", u"Job", u"", nextKey);
            model.push_back(nextKey++);
            EXPECT_EQ(Current(&list)->recordKey, model.back());
            break;
        case Change::RemoveFirst:
        case Change::RemoveMiddle:
        case Change::RemoveLast: {
            DWORD at = change == Change::RemoveFirst  ? 0
                       : change == Change::RemoveLast ? static_cast<DWORD>(model.size() - 1)
                                                      : middle;
            ASSERT_TRUE(RemoveAt(&list, at));
            model.erase(model.begin() + at);
            if (!model.empty()) {
                EXPECT_EQ(Current(&list)->recordKey, model[at < model.size() ? at : at - 1])
                    << "the handle on the node that took its place";
            }
            break;
        }
        case Change::Replace:
            scratch.recordKey = nextKey;
            ASSERT_NE(FindAt(&list, middle), nullptr);
            ASSERT_NE(ReplaceAt(&list, middle, &scratch), nullptr);
            model[middle] = nextKey++;
            break;
        case Change::Find:
            for (DWORD at : {middle, DWORD(0), static_cast<DWORD>(model.size() - 1), middle}) {
                RecordNode* found = FindAt(&list, at);
                ASSERT_NE(found, nullptr);
                EXPECT_EQ(found->recordKey, model[at]);
                EXPECT_EQ(Current(&list), found);
            }
            EXPECT_EQ(FindAt(&list, static_cast<DWORD>(model.size())), nullptr);
            EXPECT_EQ(Current(&list), First(&list));
            break;
        case Change::DropRows:
            // As when memory ran short: the list walks its chain until the rows are made again.
            std::free(list.rows);
            list.rows = nullptr;
            list.capacity = 0;
            break;
        case Change::Relink: {
            // As the store does after a change of many records: the chain relinked by hand,
            // reversed, through the lent handle, and the last node dropped.
            std::vector<RecordNode*> nodes;
            for (RecordNode* node = Current(&list); node; node = node->next)
                nodes.push_back(node);
            for (RecordNode* node = Current(&list)->prev; node; node = node->prev)
                nodes.insert(nodes.begin(), node);
            RecordNode* dropped = nodes.back();
            nodes.pop_back();
            FreeRecordNode(dropped);
            model.pop_back();
            std::reverse(nodes.begin(), nodes.end());
            std::reverse(model.begin(), model.end());
            RecordNode* prev = nullptr;
            for (RecordNode* node : nodes) {
                node->prev = prev;
                node->next = nullptr;
                if (prev)
                    prev->next = node;
                prev = node;
            }
            list.current = nodes.empty() ? nullptr : nodes[0];
            break;
        }
        }
        EXPECT_EQ(Count(&list), model.size());
        ASSERT_TRUE(ListIsSound(list, model.size()));
        std::vector<DWORD> keys;
        for (RecordNode* node = First(&list); node; node = node->next)
            keys.push_back(node->recordKey);
        EXPECT_EQ(keys, model);
        EXPECT_EQ(Last(&list) ? Last(&list)->recordKey : 0u, model.empty() ? 0u : model.back());
        for (RecordNode* node = Last(&list); node; node = node->prev)
            EXPECT_EQ(node->recordKey, model[node->index]);
    }
}
} // namespace
