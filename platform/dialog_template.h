// Dialog templates as the dialog manager reads them: the documented in-memory layout of a
// DLGTEMPLATE followed by its menu, class, caption and font (DS_SETFONT), then each control as a
// DLGITEMTEMPLATE on a DWORD boundary with its class, text and creation data, all in WORDs.
// Programs describe a template as a table (DIALOGTABLE) and turn it into those words when they
// are compiled:
//
//     constexpr DIALOGITEMENTRY items[] = {{WS_CHILD | WS_VISIBLE | SS_LEFT, 4, 35, 35, 16, 1003,
//                                          DIALOG_CLASS_STATIC, u"Date: "}, ...};
//     constexpr DIALOGTABLE table = {DS_SETFONT | WS_POPUP, 0, 0, 0, 160, 180, u"Register Time",
//                                  8, u"Tahoma", items, std::size(items)};
//     constexpr auto words = BuildDialogTemplate<DialogTemplateWords(table)>(table);
//     const DIALOGRESOURCE dialog = {108, words.data(), sizeof(words)};
#pragma once

#include "platform/windows.h"

#include <array>
#include <cstddef>

// Dialog styles.
#define DS_ABSALIGN 0x01L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_CENTER 0x0800L

// The predefined control classes, as the template names them by atom.
#define DIALOG_CLASS_BUTTON u"\xFFFF\x0080"
#define DIALOG_CLASS_EDIT u"\xFFFF\x0081"
#define DIALOG_CLASS_STATIC u"\xFFFF\x0082"
#define DIALOG_CLASS_LISTBOX u"\xFFFF\x0083"
#define DIALOG_CLASS_SCROLLBAR u"\xFFFF\x0084"
#define DIALOG_CLASS_COMBOBOX u"\xFFFF\x0085"

struct DIALOGITEMENTRY {
    DWORD style;
    short x, y, cx, cy; // dialog units
    WORD id;
    LPCWSTR windowClass; // DIALOG_CLASS_* or a class name such as u"SysDateTimePick32"
    LPCWSTR text;        // caption; null for none
    DWORD exStyle = 0;
};

struct DIALOGTABLE {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy; // dialog units
    LPCWSTR caption;
    WORD pointSize; // with DS_SETFONT
    LPCWSTR typeface;
    const DIALOGITEMENTRY* items;
    size_t itemCount;
};

namespace dialog_template_detail
{
constexpr size_t Length(LPCWSTR text)
{
    size_t n = 0;
    while (text && text[n])
        ++n;
    return n;
}
// A class or resource name: an atom (0xFFFF, value) or a terminated text.
constexpr size_t NameWords(LPCWSTR name)
{
    if (name && name[0] == 0xFFFF)
        return 2;
    return Length(name) + 1;
}
constexpr size_t Align2(size_t words)
{
    return (words + 1) & ~size_t(1);
}

template <size_t N> struct Writer {
    std::array<WORD, N> words{};
    size_t at = 0;
    constexpr void Word(WORD w) { words[at++] = w; }
    constexpr void Dword(DWORD d)
    {
        Word(WORD(d & 0xFFFF));
        Word(WORD(d >> 16));
    }
    constexpr void Text(LPCWSTR text)
    {
        if (text && text[0] == 0xFFFF) {
            Word(0xFFFF);
            Word(WORD(text[1]));
            return;
        }
        for (size_t i = 0; text && text[i]; ++i)
            Word(WORD(text[i]));
        Word(0);
    }
    constexpr void Align() { at = Align2(at); }
};
} // namespace dialog_template_detail

// The number of WORDs the template of `table` takes.
constexpr size_t DialogTemplateWords(const DIALOGTABLE& table)
{
    using namespace dialog_template_detail;
    // style, exStyle (2 words each), count, x, y, cx, cy; no menu, the default class.
    size_t words = 4 + 5 + 1 + 1 + Length(table.caption) + 1;
    if (table.style & DS_SETFONT)
        words += 1 + Length(table.typeface) + 1;
    for (size_t i = 0; i < table.itemCount; ++i) {
        const DIALOGITEMENTRY& item = table.items[i];
        words = Align2(words);
        // style, exStyle, x, y, cx, cy, id, class, text, creation data size.
        words += 4 + 4 + 1 + NameWords(item.windowClass) + NameWords(item.text) + 1;
    }
    return words;
}

template <size_t N> constexpr std::array<WORD, N> BuildDialogTemplate(const DIALOGTABLE& table)
{
    dialog_template_detail::Writer<N> w;
    w.Dword(table.style);
    w.Dword(table.exStyle);
    w.Word(WORD(table.itemCount));
    w.Word(WORD(table.x));
    w.Word(WORD(table.y));
    w.Word(WORD(table.cx));
    w.Word(WORD(table.cy));
    w.Word(0); // no menu
    w.Word(0); // the dialog class
    w.Text(table.caption ? table.caption : u"");
    if (table.style & DS_SETFONT) {
        w.Word(table.pointSize);
        w.Text(table.typeface ? table.typeface : u"");
    }
    for (size_t i = 0; i < table.itemCount; ++i) {
        const DIALOGITEMENTRY& item = table.items[i];
        w.Align();
        w.Dword(item.style);
        w.Dword(item.exStyle);
        w.Word(WORD(item.x));
        w.Word(WORD(item.y));
        w.Word(WORD(item.cx));
        w.Word(WORD(item.cy));
        w.Word(item.id);
        w.Text(item.windowClass);
        w.Text(item.text ? item.text : u"");
        w.Word(0); // no creation data
    }
    return w.words;
}
