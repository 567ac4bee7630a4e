// A stored record's property blob as a damaged store.db may hold it: any bytes. The decoder must
// refuse what is not in the stored form and lay out what is without a byte read or written
// outside; the same bytes are then read through CeReadRecordProps from a real store, where a
// damaged row is refused with ERROR_DISK_CORRUPT and a readable one gives the same values.
#include "fuzz/fuzz_support.h"
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/store/record_codec.h"
#include "platform/store/store_connection.h"
#include "platform/store_batch.h"
#include "platform/windbase.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace store;

namespace
{
char16_t databaseName[] = u"Fuzzed records";
const CEPROPID missingProp = 0x7FFF0013;

bool Within(const void* inner, size_t innerSize, const void* outer, size_t outerSize)
{
    auto in = reinterpret_cast<uintptr_t>(inner), out = reinterpret_cast<uintptr_t>(outer);
    return in >= out && innerSize <= outerSize && in - out <= outerSize - innerSize;
}

// The value of a read as its stored bytes, to compare reads from memory and from the store.
std::string ReadBytes(const CEPROPVAL& value)
{
    if (value.wFlags & CEDB_PROPNOTFOUND)
        return "(not found)";
    switch (TypeFromPropID(value.propid)) {
    case CEVT_LPWSTR: {
        std::string bytes;
        for (const char16_t* c = value.val.lpwstr; *c; ++c) {
            bytes.push_back(static_cast<char>(*c & 0xFF));
            bytes.push_back(static_cast<char>(*c >> 8));
        }
        return bytes;
    }
    case CEVT_BLOB:
        return std::string(reinterpret_cast<const char*>(value.val.blob.lpb),
                           value.val.blob.dwCount);
    default: {
        std::string bytes;
        FUZZ_CHECK(ValueBytes(value, &bytes) == ERROR_SUCCESS);
        return bytes;
    }
    }
}

// Decodes in memory and lays every property out as a read would; the values read, or false
// for bytes that are not a record.
bool ReadInMemory(const uint8_t* data, size_t size, std::vector<std::string>* values)
{
    std::vector<PropView> props;
    if (!DecodeProps(data, size, &props))
        return false;
    FUZZ_CHECK(props.size() <= 0xFFFF);
    std::vector<PropBytes> stored;
    for (const PropView& prop : props) {
        FUZZ_CHECK(Within(prop.data, prop.size, data, size));
        FUZZ_CHECK(IsKnownType(TypeFromPropID(prop.id)));
        stored.push_back(
            {prop.id, std::string(reinterpret_cast<const char*>(prop.data), prop.size)});
    }
    // The stored form has one writing of a property list: what reads, writes back the same.
    FUZZ_CHECK(EncodeProps(stored) == std::string(reinterpret_cast<const char*>(data), size));

    std::vector<ChosenProp> chosen;
    for (const PropView& prop : props)
        chosen.push_back({prop.id, &prop});
    chosen.push_back({missingProp, nullptr});
    size_t needed = ReadBufferSize(chosen);
    // As LocalAlloc gives it: aligned for the CEPROPVAL array at its start.
    std::vector<CEPROPVAL> buffer((needed + sizeof(CEPROPVAL) - 1) / sizeof(CEPROPVAL));
    BYTE* bytes = reinterpret_cast<BYTE*>(buffer.data());
    FillReadBuffer(bytes, chosen);
    for (size_t i = 0; i < chosen.size(); ++i) {
        const CEPROPVAL& value = buffer[i];
        FUZZ_CHECK(value.propid == chosen[i].id);
        WORD type = TypeFromPropID(value.propid);
        if (chosen[i].value && type == CEVT_LPWSTR)
            FUZZ_CHECK(Within(value.val.lpwstr, chosen[i].value->size + 2, bytes, needed));
        if (chosen[i].value && type == CEVT_BLOB)
            FUZZ_CHECK(Within(value.val.blob.lpb, value.val.blob.dwCount, bytes, needed));
        std::string read = ReadBytes(value);
        if (chosen[i].value && type != CEVT_LPWSTR)
            FUZZ_CHECK(read == stored[i].bytes);
        values->push_back(read);
    }
    FUZZ_CHECK(values->back() == "(not found)");
    values->pop_back();

    // Each property as the sort property, in every order a database may keep.
    for (const PropView& prop : props) {
        for (DWORD flags : {0u, DWORD(CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE),
                            DWORD(CEDB_SORT_UNKNOWNFIRST)}) {
            SortOrder order = {true, prop.id, flags};
            SortKey key = SortKeyOf(order, props);
            FUZZ_CHECK(key.rank == PresentRank(order));
        }
    }
    return true;
}

struct FuzzedStore {
    std::string folder;
};

FuzzedStore& Store()
{
    static FuzzedStore fuzzed = [] {
        std::string folder = FuzzFolder();
        std::string reason;
        FUZZ_CHECK(OpenDeviceFolder(folder + "/device", &reason));
        SORTORDERSPEC order = {0x00000013, 0};
        FUZZ_CHECK(CeCreateDatabase(databaseName, 0, 1, &order));
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, databaseName, 0, 0, nullptr);
        FUZZ_CHECK(db != INVALID_HANDLE_VALUE);
        CEPROPVAL key = {};
        key.propid = 0x00000013;
        key.val.ulVal = 1;
        FUZZ_CHECK(CeWriteRecordProps(db, 0, 1, &key));
        CloseHandle(db);
        return FuzzedStore{folder};
    }();
    return fuzzed;
}

// The bytes as the props of the store's one record, read by the store's own calls; the change
// is undone at the end, so that every input meets the same store.
void ReadFromStore(const uint8_t* data, size_t size, bool readable,
                   const std::vector<std::string>& expected)
{
    Store();
    FUZZ_CHECK(BeginStoreBatch());
    {
        Query damage("UPDATE records SET props = ?1");
        damage.BindBlob(1, data, size);
        FUZZ_CHECK(damage.Run() == ERROR_SUCCESS);
    }
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, databaseName, 0, 0, nullptr);
    FUZZ_CHECK(db != INVALID_HANDLE_VALUE);
    LPBYTE buffer = nullptr;
    DWORD bufferSize = 0;
    WORD count = 0;
    CEOID record = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &bufferSize);
    if (!readable) {
        FUZZ_CHECK(!record && GetLastError() == ERROR_DISK_CORRUPT);
    } else {
        FUZZ_CHECK(record);
        FUZZ_CHECK(count == expected.size());
        const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
        for (WORD i = 0; i < count; ++i)
            FUZZ_CHECK(ReadBytes(values[i]) == expected[i]);

        // Asked for by id, into a buffer too small: the size it needs, then the values.
        CEPROPID asked[2] = {count ? values[0].propid : 0x00000013, missingProp};
        WORD askedCount = 2;
        LPBYTE small = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, 1));
        DWORD smallSize = 1;
        FUZZ_CHECK(CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr) == record);
        FUZZ_CHECK(!CeReadRecordProps(db, 0, &askedCount, asked, &small, &smallSize));
        FUZZ_CHECK(GetLastError() == ERROR_INSUFFICIENT_BUFFER && smallSize > 1);
        FUZZ_CHECK(CeReadRecordProps(db, 0, &askedCount, asked, &small, &smallSize) == record);
        // The record may hold that id itself: then its first such value is found.
        std::string held = "(not found)";
        for (WORD i = count; i-- > 0;)
            if (values[i].propid == missingProp)
                held = expected[i];
        FUZZ_CHECK(ReadBytes(reinterpret_cast<const CEPROPVAL*>(small)[1]) == held);
        LocalFree(small);

        // What was read, written back as a program that edits the record writes it.
        if (count)
            CeWriteRecordProps(db, record, count, reinterpret_cast<CEPROPVAL*>(buffer));
    }
    LocalFree(buffer);
    CloseHandle(db);
    EndStoreBatch(FALSE);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> values;
    bool readable = ReadInMemory(data, size, &values);
    ReadFromStore(data, size, readable, values);
    return 0;
}
