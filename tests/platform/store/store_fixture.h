// A fresh device folder in a temporary directory for each test, and short ways to write and
// read records.
#pragma once

#include "platform/device.h"
#include "platform/faults.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/windbase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Property identifiers of the kinds the program uses.
const CEPROPID keyProp = 0x00000013;
const CEPROPID numberProp = 0x00010013;
const CEPROPID textProp = 0x0002001F;
const CEPROPID otherTextProp = 0x0003001F;

inline CEPROPVAL Number(CEPROPID id, DWORD value)
{
    CEPROPVAL prop = {};
    prop.propid = id;
    prop.val.ulVal = value;
    return prop;
}

inline CEPROPVAL Text(CEPROPID id, const char16_t* value)
{
    CEPROPVAL prop = {};
    prop.propid = id;
    prop.val.lpwstr = const_cast<LPWSTR>(value);
    return prop;
}

inline CEPROPVAL Removal(CEPROPID id)
{
    CEPROPVAL prop = {};
    prop.propid = id;
    prop.wFlags = CEDB_PROPDELETE;
    return prop;
}

inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A property as read back, in a form tests compare easily: "0x00010013=5", "0x0002001F='Job'".
std::string Describe(const CEPROPVAL& prop);

struct StoreTest : ::testing::Test {
    std::string root;
    std::string folder;

    void SetUp() override;
    void TearDown() override;

    std::string StorePath() const { return folder + "/store.db"; }

    // Closes the store and opens the same folder again, as a restart of the program does.
    void Reopen();

    // Creates a database sorted on `sortProp` (none when 0) and opens it; 0 handle on failure.
    HANDLE CreateAndOpen(const char16_t* name, CEPROPID sortProp = keyProp, DWORD sortFlags = 0,
                         DWORD openFlags = CEDB_AUTOINCREMENT);
    HANDLE Open(const char16_t* name, DWORD openFlags = CEDB_AUTOINCREMENT);

    // Writes a new record; its identifier.
    CEOID Write(HANDLE db, std::vector<CEPROPVAL> props);

    // Every record from the read position on, each as its described properties joined by ' '.
    std::vector<std::string> ReadRest(HANDLE db);
    // Seeks to the beginning first.
    std::vector<std::string> ReadAll(HANDLE db);

    // The record at the read position, described; empty with the error when the read failed.
    std::string ReadOne(HANDLE db, CEOID* oid = nullptr);

    DWORD RecordCount(CEOID database);
};
