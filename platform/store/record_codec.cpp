#include "platform/store/record_codec.h"

#include "platform/store/store_text.h"

#include <cstring>

namespace store
{
namespace
{
const BYTE propsFormat = 1;

void PutWord32(std::string* out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back(static_cast<char>((value >> shift) & 0xff));
}

uint32_t Word32(const BYTE* data)
{
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
           uint32_t(data[3]) << 24;
}

uint64_t Word64(const BYTE* data)
{
    return uint64_t(Word32(data)) | uint64_t(Word32(data + 4)) << 32;
}

uint16_t Word16(const BYTE* data)
{
    return static_cast<uint16_t>(data[0] | data[1] << 8);
}

void PutLittleEndian(std::string* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// Stored size of each fixed-size type; 0 for texts and BLOBs.
uint32_t FixedSize(WORD type)
{
    switch (type) {
    case CEVT_I2:
    case CEVT_UI2: return 2;
    case CEVT_I4:
    case CEVT_UI4:
    case CEVT_BOOL: return 4;
    case CEVT_R8:
    case CEVT_FILETIME: return 8;
    default: return 0;
    }
}

size_t AlignUp(size_t offset, size_t alignment)
{
    return (offset + alignment - 1) / alignment * alignment;
}

// The bytes a value takes in the data area after the CEPROPVAL array.
size_t DataBytes(const PropView& value)
{
    switch (TypeFromPropID(value.id)) {
    case CEVT_LPWSTR: return value.size + sizeof(WCHAR);
    case CEVT_BLOB: return AlignUp(value.size, alignof(CEPROPVAL));
    default: return 0;
    }
}

// Orders doubles as integers: the sign bit flipped for positives, every bit for negatives.
int64_t OrderedDouble(uint64_t bits)
{
    int64_t value = static_cast<int64_t>(bits);
    return value < 0 ? value ^ INT64_MAX : value;
}
} // namespace

bool IsKnownType(WORD type)
{
    return FixedSize(type) != 0 || type == CEVT_LPWSTR || type == CEVT_BLOB;
}

DWORD ValueBytes(const CEPROPVAL& value, std::string* bytes)
{
    bytes->clear();
    const CEVALUNION& v = value.val;
    switch (TypeFromPropID(value.propid)) {
    case CEVT_I2: PutLittleEndian(bytes, static_cast<uint16_t>(v.iVal), 2); break;
    case CEVT_UI2: PutLittleEndian(bytes, v.uiVal, 2); break;
    case CEVT_I4: PutLittleEndian(bytes, static_cast<uint32_t>(v.lVal), 4); break;
    case CEVT_UI4: PutLittleEndian(bytes, v.ulVal, 4); break;
    case CEVT_BOOL: PutLittleEndian(bytes, static_cast<uint32_t>(v.boolVal), 4); break;
    case CEVT_R8: {
        uint64_t bits;
        std::memcpy(&bits, &v.dblVal, sizeof(bits));
        PutLittleEndian(bytes, bits, 8);
        break;
    }
    case CEVT_FILETIME:
        PutLittleEndian(bytes, v.filetime.dwLowDateTime, 4);
        PutLittleEndian(bytes, v.filetime.dwHighDateTime, 4);
        break;
    case CEVT_LPWSTR:
        if (v.lpwstr) {
            for (LPCWSTR c = v.lpwstr; *c; ++c)
                PutLittleEndian(bytes, *c, 2);
        }
        break;
    case CEVT_BLOB:
        if (v.blob.dwCount && !v.blob.lpb)
            return ERROR_INVALID_PARAMETER;
        bytes->assign(reinterpret_cast<const char*>(v.blob.lpb), v.blob.dwCount);
        break;
    default: return ERROR_INVALID_PARAMETER;
    }
    return ERROR_SUCCESS;
}

std::string EncodeProps(const std::vector<PropBytes>& props)
{
    std::string out(1, static_cast<char>(propsFormat));
    for (const PropBytes& prop : props) {
        PutWord32(&out, prop.id);
        PutWord32(&out, static_cast<uint32_t>(prop.bytes.size()));
        out += prop.bytes;
    }
    return out;
}

bool DecodeProps(const void* data, size_t size, std::vector<PropView>* props)
{
    props->clear();
    const BYTE* bytes = static_cast<const BYTE*>(data);
    if (size < 1 || bytes[0] != propsFormat)
        return false;
    size_t at = 1;
    while (at < size) {
        if (size - at < 8)
            return false;
        CEPROPID id = Word32(bytes + at);
        uint32_t length = Word32(bytes + at + 4);
        at += 8;
        WORD type = TypeFromPropID(id);
        if (!IsKnownType(type) || length > size - at)
            return false;
        uint32_t fixed = FixedSize(type);
        if ((fixed && length != fixed) || (type == CEVT_LPWSTR && length % 2))
            return false;
        props->push_back({id, bytes + at, length});
        at += length;
    }
    // A write never stores more properties than a read can count in its WORD.
    return props->size() <= 0xFFFF;
}

int64_t PresentRank(const SortOrder& order)
{
    return (order.flags & CEDB_SORT_UNKNOWNFIRST) ? 1 : 0;
}

SortValue SortValueOf(const SortOrder& order, const BYTE* data, uint32_t size)
{
    SortValue key;
    bool descending = order.flags & CEDB_SORT_DESCENDING;
    WORD type = TypeFromPropID(order.propid);
    if (type == CEVT_LPWSTR) {
        std::u16string units(size / 2, u'\0');
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = Word16(data + 2 * i);
        if (order.flags & CEDB_SORT_CASEINSENSITIVE)
            units = Folded(units.data(), units.size());
        // Big-endian code units compare as unsigned bytes in code-unit order; the terminator
        // puts a text before every longer text it begins.
        key.isBytes = true;
        for (char16_t unit : units) {
            key.bytes.push_back(static_cast<char>(unit >> 8));
            key.bytes.push_back(static_cast<char>(unit & 0xff));
        }
        key.bytes.append(2, '\0');
        if (descending) {
            for (char& byte : key.bytes)
                byte = static_cast<char>(~byte);
        }
        return key;
    }
    switch (type) {
    case CEVT_I2: key.integer = static_cast<int16_t>(Word16(data)); break;
    case CEVT_UI2: key.integer = Word16(data); break;
    case CEVT_I4:
    case CEVT_BOOL: key.integer = static_cast<int32_t>(Word32(data)); break;
    case CEVT_UI4: key.integer = Word32(data); break;
    case CEVT_FILETIME:
        key.integer = static_cast<int64_t>(Word64(data) ^ (uint64_t(1) << 63));
        break;
    case CEVT_R8: key.integer = OrderedDouble(Word64(data)); break;
    default: break;
    }
    // Bitwise complement reverses the order of every 64-bit value without overflow.
    if (descending)
        key.integer = ~key.integer;
    return key;
}

SortKey SortKeyOf(const SortOrder& order, const std::vector<PropView>& props)
{
    SortKey key;
    if (!order.sorted)
        return key;
    for (const PropView& prop : props) {
        if (prop.id == order.propid) {
            key.rank = PresentRank(order);
            key.value = SortValueOf(order, prop.data, prop.size);
            return key;
        }
    }
    key.rank = 1 - PresentRank(order);
    return key;
}

size_t ReadBufferSize(const std::vector<ChosenProp>& chosen)
{
    size_t size = chosen.size() * sizeof(CEPROPVAL);
    for (const ChosenProp& prop : chosen) {
        if (prop.value)
            size += DataBytes(*prop.value);
    }
    return size;
}

void FillReadBuffer(BYTE* buffer, const std::vector<ChosenProp>& chosen)
{
    CEPROPVAL* values = reinterpret_cast<CEPROPVAL*>(buffer);
    BYTE* data = buffer + chosen.size() * sizeof(CEPROPVAL);
    for (size_t i = 0; i < chosen.size(); ++i) {
        CEPROPVAL& out = values[i];
        std::memset(&out, 0, sizeof(out));
        out.propid = chosen[i].id;
        const PropView* prop = chosen[i].value;
        if (!prop) {
            out.wFlags = CEDB_PROPNOTFOUND;
            continue;
        }
        const BYTE* in = prop->data;
        switch (TypeFromPropID(prop->id)) {
        case CEVT_I2: out.val.iVal = static_cast<SHORT>(Word16(in)); break;
        case CEVT_UI2: out.val.uiVal = Word16(in); break;
        case CEVT_I4: out.val.lVal = static_cast<LONG>(Word32(in)); break;
        case CEVT_UI4: out.val.ulVal = Word32(in); break;
        case CEVT_BOOL: out.val.boolVal = static_cast<BOOL>(Word32(in)); break;
        case CEVT_R8: {
            uint64_t bits = Word64(in);
            std::memcpy(&out.val.dblVal, &bits, sizeof(bits));
            break;
        }
        case CEVT_FILETIME:
            out.val.filetime.dwLowDateTime = Word32(in);
            out.val.filetime.dwHighDateTime = Word32(in + 4);
            break;
        case CEVT_LPWSTR: {
            LPWSTR text = reinterpret_cast<LPWSTR>(data);
            size_t units = prop->size / 2;
            for (size_t c = 0; c < units; ++c)
                text[c] = Word16(in + 2 * c);
            text[units] = 0;
            out.val.lpwstr = text;
            break;
        }
        case CEVT_BLOB:
            if (prop->size)
                std::memcpy(data, in, prop->size);
            out.val.blob.dwCount = prop->size;
            out.val.blob.lpb = data;
            break;
        default: break;
        }
        data += DataBytes(*prop);
    }
}
} // namespace store
