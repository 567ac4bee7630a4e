// The store failing under the real program: a lock held by another program at the start and at
// the moment a record is confirmed, a store made read-only, a journal left by a crash. The
// program says so in its own words, and the store keeps exactly what was committed.
#include "tests/e2e/program_run.h"

#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <linux/capability.h>

namespace
{
const QStringList deviceClock = {"--clock", "2026-12-07T09:30:00"};
const QString addingFailed = "Error during adding record to database: Ulmra Zentally";
// A record entered and confirmed: the New dialog, ten minutes of Job, OK.
const std::string newRecord = "menu 40003\npick 1009 \"10\"\npick 1010 \"Job\"\n";
const std::string confirm = "click 1014\n";

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The lock another program's SQLite connection holds inside BEGIN EXCLUSIVE: a write lock on
// the bytes SQLite locks with on this host (the pending byte at 1 GiB, the reserved byte, and
// the 510 shared bytes after them), held while the object lives.
class ExclusiveLock
{
  public:
    explicit ExclusiveLock(const std::string& store)
    {
        descriptor_ = open(store.c_str(), O_RDWR | O_CLOEXEC);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x40000000;
        lock.l_len = 512;
        held_ = descriptor_ >= 0 && fcntl(descriptor_, F_SETLK, &lock) == 0;
    }
    ~ExclusiveLock() { Release(); }
    bool Held() const { return held_; }
    void Release()
    {
        if (descriptor_ >= 0)
            close(descriptor_);
        descriptor_ = -1;
        held_ = false;
    }

  private:
    int descriptor_ = -1;
    bool held_ = false;
};

// A program started with StartScripted, read event by event.
struct StartedProgram {
    QProcess process;
    std::vector<QJsonObject> events;

    // Reads events until one of `kind` comes; false when the program ended first.
    bool WaitFor(const QString& kind)
    {
        for (size_t seen = 0;;) {
            for (; seen < events.size(); ++seen)
                if (events[seen].value("event").toString() == kind)
                    return true;
            if (!ReadSome())
                return false;
        }
    }
    // Reads what is there or comes within a while; false once the program has ended.
    bool ReadSome()
    {
        if (process.state() == QProcess::NotRunning && !process.canReadLine())
            return false;
        if (!process.canReadLine())
            process.waitForReadyRead(100);
        while (process.canReadLine()) {
            QByteArray line = process.readLine().trimmed();
            if (!line.isEmpty())
                events.push_back(QJsonDocument::fromJson(line).object());
        }
        return true;
    }
    // Reads to the program's end; its exit code.
    int Finish()
    {
        process.closeWriteChannel();
        for (int waited = 0; ReadSome() && waited < 120000; waited += 100) {
        }
        process.waitForFinished();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    // Every event, one a line, for a failure's message.
    std::string Told()
    {
        std::string told;
        for (const QJsonObject& event : events)
            told +=
                QJsonDocument(event).toJson(QJsonDocument::Compact).left(300).toStdString() + "\n";
        return told + process.readAllStandardError().toStdString();
    }
    QStringList MessageBoxes() const
    {
        QStringList texts;
        for (const QJsonObject& event : events)
            if (event.value("event").toString() == "messagebox")
                texts << event.value("text").toString();
        return texts;
    }
};

// Reads everything a screenshot written into the FIFO `path` holds: the program waits in its
// `screenshot` line until this reader comes. False when the program ended first.
bool TakeScreenshotFrom(const std::string& path, StartedProgram& program)
{
    int fifo = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fifo < 0)
        return false;
    bool writerCame = false;
    for (;;) {
        pollfd wanted = {fifo, POLLIN, 0};
        poll(&wanted, 1, 100);
        char buffer[4096];
        ssize_t got = read(fifo, buffer, sizeof(buffer));
        if (got > 0)
            writerCame = true;
        else if (got == 0 && writerCame)
            break;
        else if (program.process.state() == QProcess::NotRunning)
            break;
        program.ReadSome();
    }
    close(fifo);
    return writerCame;
}

// The program, and the programs it starts, obey file modes even when the tests run as the
// superuser: the powers that pass over a file's mode are taken from the child for good.
void ObeyModes(QProcess& process)
{
    process.setChildProcessModifier([] {
        prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    });
}

// What a crash in the middle of a commit leaves: a journal holding every page of the committed
// store, in SQLite's documented rollback-journal format, and a store whose pages after the
// first were half overwritten and which grew by two pages.
void LeaveJournalOfCrash(const std::string& store)
{
    std::string bytes = Bytes(store);
    ASSERT_GE(bytes.size(), 100u);
    auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    uint32_t pageSize = (byte(16) << 8) | byte(17);
    if (pageSize == 1)
        pageSize = 65536;
    ASSERT_EQ(bytes.size() % pageSize, 0u);
    uint32_t pages = static_cast<uint32_t>(bytes.size() / pageSize);
    ASSERT_GE(pages, 2u);
    const uint32_t nonce = 0x5eed1234, sector = 512;
    std::string journal;
    auto put32 = [&journal](uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            journal.push_back(static_cast<char>((value >> shift) & 0xff));
    };
    journal = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
    put32(pages);
    put32(nonce);
    put32(pages);
    put32(sector);
    put32(pageSize);
    journal.resize(sector, '\0');
    for (uint32_t page = 1; page <= pages; ++page) {
        put32(page);
        size_t start = size_t(page - 1) * pageSize;
        journal.append(bytes, start, pageSize);
        uint32_t sum = nonce;
        for (int64_t i = int64_t(pageSize) - 200; i > 0; i -= 200)
            sum += byte(start + size_t(i));
        put32(sum);
    }
    PutBytes(store + "-journal", journal);
    for (size_t at = pageSize; at < bytes.size(); at += 2)
        bytes[at] = static_cast<char>(at * 31);
    bytes.append(2 * pageSize, '\x77');
    PutBytes(store, bytes);
}

struct StorageFaults : ::testing::Test {
    DeviceUnderTest device;
    QStringList committed;
    std::string store;

    void SetUp() override
    {
        device.PutRecord(1, 3, 4, 2026, "Job", 90, "first");
        device.PutRecord(2, 5, 4, 2026, "Sport", 30, "second");
        committed = StoredRecords(device);
        ASSERT_EQ(committed.size(), 2);
        store = device.Folder() + "/store.db";
    }
};
} // namespace

TEST_F(StorageFaults, AStartWhileAnotherProgramLocksTheStoreIsRefusedInTheProgramsWords)
{
    ExclusiveLock lock(store);
    ASSERT_TRUE(lock.Held());
    RunOutcome run = device.Run("answer ok\nanswer ok\n", deviceClock);
    EXPECT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.exitCode, 0);
    std::vector<QJsonObject> boxes = run.Of("messagebox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].value("text").toString(), "Error during building database: Ulmra Zentally");
    EXPECT_EQ(boxes[0].value("icon").toString(), "exclamation");
    EXPECT_EQ(boxes[1].value("text").toString(), "The Zentally program cannot continue!");
    EXPECT_EQ(boxes[1].value("icon").toString(), "stop");
    lock.Release();
    EXPECT_EQ(StoredRecords(device), committed);
}

TEST_F(StorageFaults, ARecordConfirmedWhileAnotherProgramLocksTheStoreIsReportedAndNotStored)
{
    std::string fifo = device.Folder() + "/../screen.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    StartedProgram program;
    StartScripted(device, program.process,
                  newRecord + "state\nscreenshot " + fifo + "\n" + confirm + "answer ok\nstate\n",
                  deviceClock);
    // The dialog is up, the store read: the other program takes the lock, then lets the
    // program go on to its OK.
    ASSERT_TRUE(program.WaitFor("state"));
    ExclusiveLock lock(store);
    ASSERT_TRUE(lock.Held());
    ASSERT_TRUE(TakeScreenshotFrom(fifo, program));
    ASSERT_TRUE(program.WaitFor("messagebox")) << program.Told();
    lock.Release();
    EXPECT_EQ(program.Finish(), 0);
    EXPECT_EQ(program.MessageBoxes(), QStringList{addingFailed});
    QJsonObject last;
    for (const QJsonObject& event : program.events)
        if (event.value("event").toString() == "state")
            last = event;
    EXPECT_TRUE(Dialogs(last).isEmpty());
    EXPECT_EQ(RowTexts(last).size(), 2) << "the refused record is not in the list";
    EXPECT_EQ(StoredRecords(device), committed);
}

TEST_F(StorageFaults, ARecordConfirmedOnAReadOnlyStoreIsReportedAndTheStoreKeepsItsRecords)
{
    ASSERT_EQ(chmod(store.c_str(), 0400), 0);
    StartedProgram program;
    ObeyModes(program.process);
    StartScripted(device, program.process, newRecord + confirm + "answer ok\nstate\n", deviceClock);
    int code = program.Finish();
    chmod(store.c_str(), 0600);
    EXPECT_EQ(code, 0) << program.Told();
    EXPECT_EQ(program.MessageBoxes(), QStringList{addingFailed});
    EXPECT_EQ(StoredRecords(device), committed);
    RunOutcome again = device.Run(newRecord + confirm + "state\n", deviceClock);
    EXPECT_EQ(again.ScriptError(), "");
    EXPECT_EQ(RowTexts(again.LastState()).size(), 3) << "writable again, the store takes records";
}

TEST_F(StorageFaults, AJournalLeftByACrashIsRolledBackAtTheNextStart)
{
    LeaveJournalOfCrash(store);
    // Without its journal the store left behind is damaged: the journal is what the start
    // needs.
    std::string alone = device.Folder() + "/../alone";
    std::filesystem::create_directories(alone);
    std::filesystem::copy_file(store, alone + "/store.db");
    QProcess tool;
    tool.start(STORE_TOOL, {"--device", QString::fromStdString(alone), "dump"});
    ASSERT_TRUE(tool.waitForFinished());
    EXPECT_NE(tool.exitCode(), 0);

    RunOutcome run = device.Run("state\n", deviceClock);
    EXPECT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    EXPECT_EQ(RowTexts(run.LastState()).size(), 2);
    EXPECT_FALSE(std::filesystem::exists(store + "-journal"));
    EXPECT_EQ(StoredRecords(device), committed);
}
