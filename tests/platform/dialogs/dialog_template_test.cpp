// Reading templates: every field of the header and the items, and refusal of templates that
// end early, claim more items than they hold or name what the platform does not know.
#include "platform/controls.h"
#include "platform/dialog_template.h"
#include "platform/window/dialog_parse.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr DIALOGITEMENTRY items[] = {
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 4, 35, 35, 16, 1003, DIALOG_CLASS_STATIC, u"Date: "},
    {WS_CHILD | WS_TABSTOP, -2, 7, 95, 22, 1007, u"SysDateTimePick32", nullptr, 0x200},
    {WS_CHILD | BS_DEFPUSHBUTTON, 163, 150, 70, 24, 1014, DIALOG_CLASS_BUTTON, u"OK"},
    {WS_CHILD, 0, 0, 1, 1, 1, DIALOG_CLASS_EDIT, u"e"},
    {WS_CHILD, 0, 0, 1, 1, 2, DIALOG_CLASS_LISTBOX, u""},
    {WS_CHILD, 0, 0, 1, 1, 3, DIALOG_CLASS_COMBOBOX, u""},
    {WS_CHILD, 0, 0, 1, 1, 4, DIALOG_CLASS_SCROLLBAR, u""},
};
constexpr DIALOGTABLE table = {
    DS_SETFONT | WS_POPUP, WS_EX_CLIENTEDGE, 3, -4, 160, 180, u"Register Time", 8, u"Tahoma", items,
    std::size(items)};
constexpr auto words = BuildDialogTemplate<DialogTemplateWords(table)>(table);

constexpr DIALOGTABLE plain = {WS_POPUP, 0, 0, 0, 10, 10, u"", 0, nullptr, nullptr, 0};
constexpr auto plainWords = BuildDialogTemplate<DialogTemplateWords(plain)>(plain);

TEST(DialogTemplates, TheHeaderGivesStylesPlaceCaptionAndFont)
{
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(words.data(), sizeof(words), &t));
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | WS_POPUP));
    EXPECT_EQ(t.exStyle, DWORD(WS_EX_CLIENTEDGE));
    EXPECT_EQ(t.x, 3);
    EXPECT_EQ(t.y, -4);
    EXPECT_EQ(t.cx, 160);
    EXPECT_EQ(t.cy, 180);
    EXPECT_EQ(t.caption, u"Register Time");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.typeface, u"Tahoma");
    EXPECT_EQ(t.items.size(), std::size(items));
}

TEST(DialogTemplates, EachItemKeepsItsFieldsAndItsClassByName)
{
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(words.data(), sizeof(words), &t));
    ASSERT_EQ(t.items.size(), 7u);
    const DialogItem& picker = t.items[1];
    EXPECT_EQ(picker.style, DWORD(WS_CHILD | WS_TABSTOP));
    EXPECT_EQ(picker.exStyle, 0x200u);
    EXPECT_EQ(picker.x, -2);
    EXPECT_EQ(picker.y, 7);
    EXPECT_EQ(picker.cx, 95);
    EXPECT_EQ(picker.cy, 22);
    EXPECT_EQ(picker.id, 1007);
    EXPECT_EQ(picker.className, u"SysDateTimePick32");
    EXPECT_EQ(picker.text, u"");
    EXPECT_EQ(picker.creationData, nullptr);
    EXPECT_EQ(t.items[0].text, u"Date: ");
    const std::u16string classes[] = {WC_STATICW,  u"SysDateTimePick32", WC_BUTTONW,  WC_EDITW,
                                      WC_LISTBOXW, WC_COMBOBOXW,         u"ScrollBar"};
    for (size_t i = 0; i < t.items.size(); ++i)
        EXPECT_EQ(t.items[i].className, classes[i]) << "item " << i;
}

TEST(DialogTemplates, ATemplateWithoutFontOrItemsIsRead)
{
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(plainWords.data(), sizeof(plainWords), &t));
    EXPECT_EQ(t.pointSize, 0);
    EXPECT_TRUE(t.typeface.empty());
    EXPECT_TRUE(t.items.empty());
}

TEST(DialogTemplates, EveryCutOfATemplateIsRefused)
{
    for (size_t bytes = 0; bytes < sizeof(words); bytes += 1) {
        DialogTemplate t;
        EXPECT_FALSE(ParseDialogTemplate(words.data(), bytes, &t)) << "cut at " << bytes;
    }
}

TEST(DialogTemplates, ACountBeyondTheItemsIsRefused)
{
    std::vector<WORD> copy(words.begin(), words.end());
    copy[4] = WORD(std::size(items) + 1);
    DialogTemplate t;
    EXPECT_FALSE(ParseDialogTemplate(copy.data(), copy.size() * 2, &t));
    copy[4] = 0xFFFF;
    EXPECT_FALSE(ParseDialogTemplate(copy.data(), copy.size() * 2, &t));
}

// Hand-written words: a template the builder does not make.
std::vector<WORD> Words(std::initializer_list<WORD> list)
{
    return std::vector<WORD>(list);
}

TEST(DialogTemplates, AMenuAndAClassOfTheTemplateAreReadPast)
{
    // style, exStyle, 1 item, x y cx cy, menu 0xFFFF 7, class "C", caption "Hi"; then the item
    // on a DWORD boundary.
    std::vector<WORD> w =
        Words({0x0000, 0x8000, 0, 0, 1, 0, 0, 10, 10, 0xFFFF, 7, u'C', 0, u'H', u'i', 0,
               // item: style, exStyle, x y cx cy, id, class atom, text
               0x0000, 0x4000, 0, 0, 1, 2, 3, 4, 55, 0xFFFF, 0x0080, u'O', u'K', 0, 0});
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(w.data(), w.size() * 2, &t));
    EXPECT_EQ(t.caption, u"Hi");
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 55);
    EXPECT_EQ(t.items[0].className, u"Button");
    EXPECT_EQ(t.items[0].text, u"OK");
}

TEST(DialogTemplates, CreationDataIsSkippedAndPointedAt)
{
    std::vector<WORD> w =
        Words({0, 0x8000, 0, 0, 2, 0, 0, 10, 10, 0, 0, 0,
               // item 1 at word 12: creation data of 4 bytes
               0, 0x4000, 0, 0, 0, 0, 1, 1, 10, 0xFFFF, 0x0082, 0xFFFF, 101, 4, 0xAAAA, 0xBBBB,
               // item 2 at word 28
               0, 0x4000, 0, 0, 0, 0, 1, 1, 11, u'X', 0, 0, 0});
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(w.data(), w.size() * 2, &t));
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[0].text, (std::u16string{char16_t(0xFFFF), char16_t(101)}));
    EXPECT_EQ(t.items[0].creationData, static_cast<const void*>(&w[25]));
    EXPECT_EQ(t.items[1].id, 11);
    EXPECT_EQ(t.items[1].className, u"X");
}

TEST(DialogTemplates, WhatThePlatformCannotReadIsRefused)
{
    struct Case {
        const char* what;
        std::vector<WORD> words;
    };
    const Case cases[] = {
        {"an unknown class atom", Words({0,      0x8000, 0, 0, 1, 0, 0, 10, 10,     0,      0, 0, 0,
                                         0x4000, 0,      0, 0, 0, 1, 1, 10, 0xFFFF, 0x0090, 0, 0})},
        {"an empty class name", Words({0, 0x8000, 0, 0, 1, 0, 0, 10, 10, 0, 0, 0,
                                       0, 0x4000, 0, 0, 0, 0, 1, 1,  10, 0, 0, 0})},
        {"the extended layout", Words({1, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"a caption without its end", Words({0, 0x8000, 0, 0, 0, 0, 0, 10, 10, 0, 0, u'A'})},
        {"a font without its face", Words({DS_SETFONT, 0x8000, 0, 0, 0, 0, 0, 10, 10, 0, 0, 0, 8})},
        {"creation data past the end",
         Words({0,      0x8000, 0, 0, 1, 0, 0, 10, 10,     0,      0, 0, 0,
                0x4000, 0,      0, 0, 0, 1, 1, 10, 0xFFFF, 0x0082, 0, 40})},
    };
    for (const Case& c : cases) {
        DialogTemplate t;
        EXPECT_FALSE(ParseDialogTemplate(c.words.data(), c.words.size() * 2, &t)) << c.what;
    }
    DialogTemplate t;
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 100, &t));
}
} // namespace
