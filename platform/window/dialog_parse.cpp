#include "platform/window/dialog_parse.h"

#include "platform/controls.h"
#include "platform/dialog_template.h"

#include <cstring>

namespace
{
// The words of the template, read one by one; every read checks that the word is there.
class Reader
{
  public:
    Reader(const void* data, size_t size) : bytes(static_cast<const BYTE*>(data)), size(size) {}

    bool Word(WORD* word)
    {
        if (at + 2 > size)
            return false;
        std::memcpy(word, bytes + at, 2);
        at += 2;
        return true;
    }
    bool Dword(DWORD* value)
    {
        WORD low, high;
        if (!Word(&low) || !Word(&high))
            return false;
        *value = DWORD(low) | (DWORD(high) << 16);
        return true;
    }
    bool Short(short* value)
    {
        WORD word;
        if (!Word(&word))
            return false;
        *value = static_cast<short>(word);
        return true;
    }
    // A terminated text; false when the terminator is not within the template.
    bool Text(std::u16string* text)
    {
        text->clear();
        for (;;) {
            WORD c;
            if (!Word(&c))
                return false;
            if (c == 0)
                return true;
            text->push_back(char16_t(c));
        }
    }
    // A name: 0 for none, 0xFFFF and an ordinal, or a terminated text.
    bool Name(std::u16string* text, bool* ordinal, WORD* number)
    {
        WORD first;
        *ordinal = false;
        text->clear();
        if (!Word(&first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF) {
            *ordinal = true;
            return Word(number);
        }
        text->push_back(char16_t(first));
        std::u16string rest;
        if (!Text(&rest))
            return false;
        *text += rest;
        return true;
    }
    // Items start on a DWORD boundary, counted from the template's start.
    bool AlignDword()
    {
        at = (at + 3) & ~size_t(3);
        return at <= size;
    }
    bool Skip(size_t count)
    {
        if (count > size - at)
            return false;
        at += count;
        return true;
    }
    const BYTE* Here() const { return bytes + at; }

  private:
    const BYTE* bytes;
    size_t size;
    size_t at = 0;
};

bool PredefinedClass(WORD atom, std::u16string* name)
{
    switch (atom) {
    case 0x0080: *name = WC_BUTTONW; return true;
    case 0x0081: *name = WC_EDITW; return true;
    case 0x0082: *name = WC_STATICW; return true;
    case 0x0083: *name = WC_LISTBOXW; return true;
    case 0x0084: *name = u"ScrollBar"; return true;
    case 0x0085: *name = WC_COMBOBOXW; return true;
    default: return false;
    }
}

bool ReadItem(Reader& r, DialogItem* item)
{
    if (!r.AlignDword() || !r.Dword(&item->style) || !r.Dword(&item->exStyle) ||
        !r.Short(&item->x) || !r.Short(&item->y) || !r.Short(&item->cx) || !r.Short(&item->cy) ||
        !r.Word(&item->id))
        return false;
    bool ordinal;
    WORD number = 0;
    if (!r.Name(&item->className, &ordinal, &number))
        return false;
    if (ordinal ? !PredefinedClass(number, &item->className) : item->className.empty())
        return false;
    if (!r.Name(&item->text, &ordinal, &number))
        return false;
    if (ordinal)
        item->text = {char16_t(0xFFFF), char16_t(number)};
    const BYTE* sizeWord = r.Here();
    WORD extra;
    if (!r.Word(&extra))
        return false;
    item->creationData = extra ? sizeWord : nullptr;
    return r.Skip((size_t(extra) + 1) & ~size_t(1));
}
} // namespace

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* parsed)
{
    if (!data || !parsed)
        return false;
    DialogTemplate t;
    Reader r(data, size);
    WORD count;
    if (!r.Dword(&t.style) || !r.Dword(&t.exStyle))
        return false;
    if (t.style == 0xFFFF0001u)
        return false; // the extended layout: version 1, signature 0xFFFF
    if (!r.Word(&count) || !r.Short(&t.x) || !r.Short(&t.y) || !r.Short(&t.cx) || !r.Short(&t.cy))
        return false;
    std::u16string name;
    bool ordinal;
    WORD number;
    if (!r.Name(&name, &ordinal, &number) || !r.Name(&name, &ordinal, &number) ||
        !r.Text(&t.caption))
        return false;
    if (t.style & DS_SETFONT) {
        if (!r.Word(&t.pointSize) || !r.Text(&t.typeface))
            return false;
    }
    // Items are read one by one, so a count beyond the data fails at the first missing item
    // without making room for all it claims.
    for (WORD i = 0; i < count; ++i) {
        DialogItem item;
        if (!ReadItem(r, &item))
            return false;
        t.items.push_back(std::move(item));
    }
    *parsed = std::move(t);
    return true;
}
