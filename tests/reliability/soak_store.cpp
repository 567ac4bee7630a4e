#include "tests/reliability/soak_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;

namespace
{
const char recordsName[] = "Ulmra Zentally";
const char categoriesName[] = "Ulmra ZentallyCustom";
const char settingsKey[] = "Software\\Ulmra\\Zentally\\Settings";

std::string Text(const QJsonValue& value)
{
    return value.isString() ? value.toString().toStdString() : std::to_string(value.toInteger());
}

// One stored record's properties into a Record; its key comes back in `key`.
Record FromProps(const QJsonArray& props, unsigned* key)
{
    Record record;
    for (const QJsonValue& prop : props) {
        QJsonArray pair = prop.toArray();
        QString id = pair[0].toString();
        if (id == "0x00000013")
            *key = static_cast<unsigned>(pair[1].toInteger());
        else if (id == "0x00010013")
            record.day = pair[1].toInt();
        else if (id == "0x00020013")
            record.month = pair[1].toInt();
        else if (id == "0x00030013")
            record.year = pair[1].toInt();
        else if (id == "0x0004001F")
            record.category = Text(pair[1]);
        else if (id == "0x0005001F")
            record.minutes = std::stoi("0" + Text(pair[1]));
        else if (id == "0x0006001F")
            record.memo = Text(pair[1]);
    }
    return record;
}

void ReadRecords(const QJsonArray& stored, StoreReading* reading)
{
    std::set<unsigned> keys;
    std::set<QString> oids;
    for (const QJsonValue& value : stored) {
        QJsonObject object = value.toObject();
        unsigned key = 0;
        Record record = FromProps(object.value("props").toArray(), &key);
        if (!keys.insert(key).second)
            reading->ruleBreaks.push_back("key " + std::to_string(key) + " is stored twice");
        if (!oids.insert(object.value("oid").toString()).second)
            reading->ruleBreaks.push_back("oid " + object.value("oid").toString().toStdString() +
                                          " is stored twice");
        if (reading->contents.records.count(record.memo))
            reading->ruleBreaks.push_back("record " + Describe(record) + " is stored twice");
        reading->maxKey = std::max(reading->maxKey, key);
        reading->contents.records[record.memo] = record;
    }
}

void ReadCategories(const QJsonArray& stored, StoreReading* reading)
{
    for (const QJsonValue& value : stored)
        for (const QJsonValue& prop : value.toObject().value("props").toArray())
            if (prop.toArray()[0].toString() == "0x0001001F")
                reading->contents.categories.push_back(Text(prop.toArray()[1]));
}

void ReadRegistry(const QJsonArray& keys, StoreReading* reading)
{
    for (const QJsonValue& key : keys) {
        if (key.toObject().value("key").toString() != settingsKey)
            continue;
        for (const QJsonValue& value : key.toObject().value("values").toArray())
            if (value.toObject().value("name").toString() == "CatRecsApply")
                reading->catRecsApply = value.toObject().value("value").toInt();
    }
}

// SQLite's own verdict on the file, "ok" when it is sound.
std::string IntegrityOf(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::string why = db ? sqlite3_errmsg(db) : "no memory";
        sqlite3_close(db);
        return "cannot open: " + why;
    }
    sqlite3_stmt* check = nullptr;
    std::string verdict;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) != SQLITE_OK) {
        verdict = std::string("cannot check: ") + sqlite3_errmsg(db);
    } else {
        int status;
        while ((status = sqlite3_step(check)) == SQLITE_ROW)
            verdict += (verdict.empty() ? "" : "; ") +
                       std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
        if (status != SQLITE_DONE)
            verdict += std::string(" (stopped: ") + sqlite3_errmsg(db) + ")";
    }
    sqlite3_finalize(check);
    sqlite3_close(db);
    return verdict;
}

int LineCount(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // A file without its heading is no export of ours, whatever its length.
    if (bytes.rfind("\"Date\",\"Category\"", 0) != 0)
        return -1;
    int lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    return bytes.empty() || bytes.back() == '\n' ? lines : -1;
}
} // namespace

std::string Describe(const Record& r)
{
    char date[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", r.day, r.month, r.year);
    return r.memo + ": " + date + " " + r.category + " " + std::to_string(r.minutes);
}

DeviceFolder::DeviceFolder(std::string folder, ChildSetting setting, std::string storeTool)
    : folder_(std::move(folder)), setting_(std::move(setting)), tool_(std::move(storeTool))
{
}

std::string DeviceFolder::Tool(const std::vector<std::string>& args) const
{
    std::vector<std::string> all = {"--device", folder_};
    all.insert(all.end(), args.begin(), args.end());
    ToolRun run = RunTool(setting_, tool_, all);
    if (run.exitCode == 0)
        return "";
    std::string command = "zentally-store";
    for (const std::string& a : args)
        command += " " + a;
    return command + ": exit " + std::to_string(run.exitCode) + ": " + run.errors;
}

StoreReading DeviceFolder::Read() const
{
    StoreReading reading;
    fs::path store = fs::path(folder_) / "store.db";
    std::error_code ignored;
    reading.journalLeft =
        fs::file_size(fs::path(folder_) / "store.db-journal", ignored) > 0 && !ignored;
    ToolRun dump = RunTool(setting_, tool_, {"--device", folder_, "dump"});
    if (dump.exitCode != 0) {
        reading.failure =
            "zentally-store dump: exit " + std::to_string(dump.exitCode) + ": " + dump.errors;
        return reading;
    }
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(dump.output), &error);
    if (!doc.isObject()) {
        reading.failure = "the dump is no JSON object: " + error.errorString().toStdString();
        return reading;
    }
    std::string integrity = IntegrityOf(store.string());
    if (integrity != "ok") {
        reading.failure = "integrity_check: " + integrity;
        return reading;
    }
    reading.opened = true;
    for (const QJsonValue& db : doc.object().value("databases").toArray()) {
        QString name = db.toObject().value("name").toString();
        if (name == recordsName)
            ReadRecords(db.toObject().value("records").toArray(), &reading);
        else if (name == categoriesName)
            ReadCategories(db.toObject().value("records").toArray(), &reading);
    }
    ReadRegistry(doc.object().value("registry").toArray(), &reading);
    fs::path personal = fs::path(folder_) / "files" / "My Documents" / "Personal";
    for (const auto& entry : fs::directory_iterator(personal, ignored))
        if (entry.path().extension() == ".csv")
            reading.contents.exports[entry.path().filename().string()] = LineCount(entry.path());
    return reading;
}

std::string DeviceFolder::PutRecords(const std::vector<Record>& records, unsigned firstKey) const
{
    std::string failure = Tool({"create-database", recordsName});
    // An existing database is refused; the records go into it all the same.
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        failure =
            Tool({"put-record", recordsName, "0x00000013=" + std::to_string(firstKey + i),
                  "0x00010013=" + std::to_string(r.day), "0x00020013=" + std::to_string(r.month),
                  "0x00030013=" + std::to_string(r.year), "0x0004001F=" + r.category,
                  "0x0005001F=" + std::to_string(r.minutes), "0x0006001F=" + r.memo});
        if (!failure.empty())
            return failure;
    }
    return "";
}

std::string DeviceFolder::PutCategories(const std::vector<std::string>& names) const
{
    Tool({"create-database", categoriesName});
    for (size_t i = 0; i < names.size(); ++i) {
        std::string failure = Tool({"put-record", categoriesName, "0x00000013=" + std::to_string(i),
                                    "0x0001001F=" + names[i]});
        if (!failure.empty())
            return failure;
    }
    return "";
}
