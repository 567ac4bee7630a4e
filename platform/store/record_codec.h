// How a record's properties are kept in one BLOB, how its place in sort order is computed, and
// how a read lays the properties out for the caller.
//
// Stored form: a format byte (1), then for each property in order its identifier and the
// length of its value (both 32-bit little-endian) and the value's bytes: 2 for CEVT_I2 and
// CEVT_UI2, 4 for CEVT_I4, CEVT_UI4 and CEVT_BOOL, 8 for CEVT_R8 and CEVT_FILETIME (low word
// first), the UTF-16LE code units of a text without its terminator, a BLOB's bytes.
#pragma once

#include "platform/windbase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace store
{
// One property of a stored record, pointing into the stored bytes.
struct PropView {
    CEPROPID id;
    const BYTE* data;
    uint32_t size;
};

// One property to store: its identifier and its value's stored bytes.
struct PropBytes {
    CEPROPID id;
    std::string bytes;
};

bool IsKnownType(WORD type);

// The stored bytes of a value the caller gives. ERROR_INVALID_PARAMETER for an unknown type or
// a BLOB with bytes but no data.
DWORD ValueBytes(const CEPROPVAL& value, std::string* bytes);

std::string EncodeProps(const std::vector<PropBytes>& props);

// False when the bytes are not a property list in the stored form: the record is damaged.
bool DecodeProps(const void* data, size_t size, std::vector<PropView>* props);

// The sort order of a database; `sorted` false for one kept in the order it was written.
struct SortOrder {
    bool sorted;
    CEPROPID propid;
    DWORD flags;
};

// A record's place in its database's order. Records compare by (rank, value, oid): rank puts
// the records lacking the sort property after (or before) all others, and the oid keeps
// records of equal value in the order they were written. `value` is an integer, or bytes
// compared as unsigned bytes, built so that either order follows the sort's flags.
struct SortValue {
    bool isBytes = false;
    int64_t integer = 0;
    std::string bytes;
};

struct SortKey {
    int64_t rank = 0;
    SortValue value;
};

inline bool operator==(const SortValue& a, const SortValue& b)
{
    return a.isBytes == b.isBytes && a.integer == b.integer && a.bytes == b.bytes;
}

// The rank of records that have the sort property.
int64_t PresentRank(const SortOrder& order);

// The value of a sort property given as stored bytes.
SortValue SortValueOf(const SortOrder& order, const BYTE* data, uint32_t size);

SortKey SortKeyOf(const SortOrder& order, const std::vector<PropView>& props);

// A property asked for in a read, with the stored property that answers it (null: not found).
struct ChosenProp {
    CEPROPID id;
    const PropView* value;
};

// Bytes a read buffer needs for these properties: the CEPROPVAL array, then the data.
size_t ReadBufferSize(const std::vector<ChosenProp>& chosen);

// Lays the properties out in `buffer`, of ReadBufferSize bytes: texts end in a terminator and
// texts and BLOBs are pointed to where they lie in the buffer.
void FillReadBuffer(BYTE* buffer, const std::vector<ChosenProp>& chosen);
} // namespace store
