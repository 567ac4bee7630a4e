#include "tests/e2e/program_run.h"

#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
// Generous: only a hung program reaches it.
const int runLimitMs = 120000;

QProcessEnvironment TestEnvironment(const std::string& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", QString::fromStdString(root + "/data"));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root + "/run"));
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    return env;
}
} // namespace

std::vector<QJsonObject> RunOutcome::Of(const QString& kind) const
{
    std::vector<QJsonObject> found;
    for (const QJsonObject& e : events)
        if (e.value("event").toString() == kind)
            found.push_back(e);
    return found;
}

QJsonObject RunOutcome::LastState() const
{
    std::vector<QJsonObject> states = Of("state");
    return states.empty() ? QJsonObject() : states.back();
}

QJsonObject RunOutcome::State(size_t n) const
{
    std::vector<QJsonObject> states = Of("state");
    return n < states.size() ? states[n] : QJsonObject();
}

QString RunOutcome::ScriptError() const
{
    std::vector<QJsonObject> errors = Of("error");
    return errors.empty() ? QString() : errors.front().value("text").toString();
}

DeviceUnderTest::DeviceUnderTest()
{
    char pattern[] = "/tmp/zentally-e2e-XXXXXX";
    if (!mkdtemp(pattern))
        ADD_FAILURE() << "no temporary folder";
    root_ = pattern;
    device_ = root_ + "/device";
    fs::create_directories(root_ + "/run");
    fs::permissions(root_ + "/run", fs::perms::owner_all);
}

DeviceUnderTest::~DeviceUnderTest()
{
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

RunOutcome DeviceUnderTest::Run(const std::string& script, const QStringList& args) const
{
    std::string path = root_ + "/script.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << script;
    QProcess program;
    program.setProcessEnvironment(TestEnvironment(root_));
    program.start(ZENTALLY_PROGRAM, QStringList{"--device", QString::fromStdString(device_),
                                                "--script", QString::fromStdString(path)} +
                                        args);
    RunOutcome outcome;
    if (!program.waitForFinished(runLimitMs)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "the program did not end";
        return outcome;
    }
    outcome.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    outcome.errors = QString::fromUtf8(program.readAllStandardError());
    for (const QByteArray& line : program.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError error;
        QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (!doc.isObject())
            ADD_FAILURE() << "not a JSON event: " << line.toStdString();
        else
            outcome.events.push_back(doc.object());
    }
    return outcome;
}

void DeviceUnderTest::StartPerson(QProcess& process) const
{
    process.setProcessEnvironment(TestEnvironment(root_));
    process.start(ZENTALLY_PROGRAM, QStringList{"--device", QString::fromStdString(device_)});
}

bool DeviceUnderTest::WaitUntilListening(QProcess& process) const
{
    for (int waited = 0; waited < runLimitMs; waited += 50) {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(root_ + "/run", ignored))
            if (entry.is_socket())
                return true;
        if (process.state() != QProcess::Running && !process.waitForStarted(0))
            return false;
        process.waitForFinished(50);
    }
    return false;
}

QString DeviceUnderTest::Store(const QStringList& args, int* code) const
{
    QProcess tool;
    tool.setProcessEnvironment(TestEnvironment(root_));
    tool.start(STORE_TOOL, QStringList{"--device", QString::fromStdString(device_)} + args);
    tool.waitForFinished(runLimitMs);
    int exit = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    if (code)
        *code = exit;
    else if (exit != 0)
        ADD_FAILURE() << "zentally-store " << args.join(' ').toStdString() << ": "
                      << tool.readAllStandardError().toStdString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QJsonObject DeviceUnderTest::Dump() const
{
    return QJsonDocument::fromJson(Store({"dump"}).toUtf8()).object();
}

void DeviceUnderTest::PutRecord(int key, int day, int month, int year, const QString& category,
                                int minutes, const QString& memo) const
{
    // The tool works on existing devices only: a first start makes the folder.
    if (!fs::exists(device_))
        Run("menu 40049\n");
    int exists = 0;
    Store({"create-database", "Ulmra Zentally"}, &exists);
    Store({"put-record", "Ulmra Zentally", QString("0x00000013=%1").arg(key),
           QString("0x00010013=%1").arg(day), QString("0x00020013=%1").arg(month),
           QString("0x00030013=%1").arg(year), "0x0004001F=" + category,
           QString("0x0005001F=%1").arg(minutes), "0x0006001F=" + memo});
}

void DeviceUnderTest::PutCategory(int position, const QString& name) const
{
    if (!fs::exists(device_))
        Run("menu 40049\n");
    int exists = 0;
    Store({"create-database", "Ulmra ZentallyCustom"}, &exists);
    Store({"put-record", "Ulmra ZentallyCustom", QString("0x00000013=%1").arg(position),
           "0x0001001F=" + name});
}

QStringList RowTexts(const QJsonObject& state)
{
    QStringList rows;
    for (const auto& row : state.value("list").toObject().value("rows").toArray()) {
        QStringList cells;
        for (const auto& cell : row.toObject().value("cells").toArray())
            cells << cell.toString();
        rows << cells.join(" | ");
    }
    return rows;
}

QJsonObject MenuBarEntry(const QJsonObject& state, int command)
{
    for (const auto& entry : state.value("menubar").toArray())
        if (entry.toObject().value("command").toInt() == command)
            return entry.toObject();
    return {};
}

QJsonObject MenuItem(const QJsonObject& state, int command)
{
    const QJsonObject menus = state.value("menus").toObject();
    for (const QString& name : menus.keys())
        for (const auto& item : menus.value(name).toArray())
            if (item.toObject().value("command").toInt() == command)
                return item.toObject();
    return {};
}

QJsonObject Control(const QJsonObject& state, int id)
{
    for (const auto& control : state.value("controls").toArray())
        if (control.toObject().value("id").toInt() == id)
            return control.toObject();
    return {};
}

QString ControlText(const QJsonObject& state, int id)
{
    return Control(state, id).value("text").toString();
}

QJsonArray Dialogs(const QJsonObject& state)
{
    return state.value("dialogs").toArray();
}

namespace
{
QJsonArray StoredDatabase(const DeviceUnderTest& device, const QString& name)
{
    for (const auto& db : device.Dump().value("databases").toArray())
        if (db.toObject().value("name").toString() == name)
            return db.toObject().value("records").toArray();
    return {};
}
} // namespace

QStringList StoredRecords(const DeviceUnderTest& device)
{
    QStringList records;
    for (const auto& record : StoredDatabase(device, "Ulmra Zentally")) {
        QStringList parts;
        for (const auto& prop : record.toObject().value("props").toArray()) {
            QJsonArray pair = prop.toArray();
            if (pair[0].toString() == "0x00000013")
                continue;
            parts << (pair[1].isString() ? pair[1].toString()
                                         : QString::number(pair[1].toInteger()));
        }
        records << parts.join(' ').trimmed(); // an empty memo is stored as a space
    }
    return records;
}

QStringList StoredCategories(const DeviceUnderTest& device)
{
    QStringList names;
    for (const auto& record : StoredDatabase(device, "Ulmra ZentallyCustom"))
        for (const auto& prop : record.toObject().value("props").toArray())
            if (prop.toArray()[0].toString() == "0x0001001F")
                names << prop.toArray()[1].toString();
    return names;
}

QJsonObject RegistryKey(const QJsonObject& dump, const QString& path)
{
    for (const auto& key : dump.value("registry").toArray())
        if (key.toObject().value("key").toString() == path)
            return key.toObject();
    return {};
}

QStringList ValueNames(const QJsonObject& key)
{
    QStringList names;
    for (const auto& value : key.value("values").toArray())
        names << value.toObject().value("name").toString();
    return names;
}

int DwordValue(const QJsonObject& key, const QString& name)
{
    for (const auto& value : key.value("values").toArray())
        if (value.toObject().value("name").toString() == name)
            return value.toObject().value("value").toInt(-1);
    return -1;
}

void StartScripted(const DeviceUnderTest& device, QProcess& process, const std::string& script,
                   const QStringList& args)
{
    std::string root = fs::path(device.Folder()).parent_path().string();
    std::string path = root + "/started-script.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << script;
    process.setProcessEnvironment(TestEnvironment(root));
    process.start(ZENTALLY_PROGRAM, QStringList{"--device", QString::fromStdString(device.Folder()),
                                                "--script", QString::fromStdString(path)} +
                                        args);
}
