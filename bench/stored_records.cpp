#include "bench/stored_records.h"

#include "model/databases.h"
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/store_batch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

std::string MakeStoredRecords(int count)
{
    char pattern[] = "/tmp/zentally-bench-XXXXXX";
    std::string root = mkdtemp(pattern);
    std::string reason;
    if (!OpenDeviceFolder(root + "/device", &reason))
        std::fprintf(stderr, "%s\n", reason.c_str());
    WCHAR name[] = RECORDS_DATABASE_NAME;
    SORTORDERSPEC order = {PROP_RECORD_KEY, 0};
    CeCreateDatabase(name, 0, 1, &order);
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, PROP_RECORD_KEY, CEDB_AUTOINCREMENT, nullptr);
    BeginStoreBatch();
    WCHAR category[] = u"Reading";
    WCHAR minutes[] = u"135";
    WCHAR memo[] = u"Chapter notes";
    const CEPROPID ids[] = {PROP_RECORD_KEY,  PROP_RECORD_DAY,      PROP_RECORD_MONTH,
                            PROP_RECORD_YEAR, PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES,
                            PROP_RECORD_MEMO};
    for (int i = 0; i < count; ++i) {
        CEPROPVAL props[7] = {};
        for (int p = 0; p < 7; ++p)
            props[p].propid = ids[p];
        unsigned spread = static_cast<unsigned>(i) * 2654435761u;
        props[0].val.ulVal = 10000 + static_cast<DWORD>(i);
        props[1].val.ulVal = 1 + spread % 28;
        props[2].val.ulVal = 1 + (spread >> 8) % 12;
        props[3].val.ulVal = 2015 + (spread >> 16) % 10;
        props[4].val.lpwstr = category;
        props[5].val.lpwstr = minutes;
        props[6].val.lpwstr = memo;
        CeWriteRecordProps(db, 0, 7, props);
    }
    EndStoreBatch(TRUE);
    CloseHandle(db);
    return root;
}

void RemoveStoredRecords(const std::string& root)
{
    CloseDeviceFolder();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}
