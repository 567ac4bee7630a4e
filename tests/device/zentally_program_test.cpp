// The zentally program, run as a person or a script starts it: its command line, the display it
// needs, its device folder, one program a folder and its end on a signal.
#include "device/single_instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace
{
struct Outcome {
    int exit;
    std::string out;
    std::string err;
};

class ZentallyProgramTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        device = root.filePath(QStringLiteral("device"));
        runtime = root.filePath(QStringLiteral("run"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8()); // where InstanceSocketPath looks, as theirs
    }

    // A headless machine's environment: no display of any kind, the data and the sockets in the
    // test's own folder.
    QProcessEnvironment Headless() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        return environment;
    }
    QProcessEnvironment Offscreen() const
    {
        QProcessEnvironment environment = Headless();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    void Start(QProcess* process, const QStringList& args, const QProcessEnvironment& environment)
    {
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(ZENTALLY_PROGRAM), args);
        ASSERT_TRUE(process->waitForStarted());
    }

    Outcome Run(const QStringList& args, const QProcessEnvironment& environment,
                const QByteArray& input = QByteArray())
    {
        QProcess process;
        Start(&process, args, environment);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000)) << args.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    // A start listens once its socket is there; the program made the folder by then.
    static bool WaitForSocket(QProcess* start, const QString& device)
    {
        QDeadlineTimer limit(30000);
        while (!limit.hasExpired() && start->state() == QProcess::Running) {
            QString folder = QFileInfo(device).canonicalFilePath();
            if (!folder.isEmpty() &&
                QFileInfo::exists(QString::fromStdString(InstanceSocketPath(folder.toStdString()))))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    static int Lines(const std::string& text)
    {
        int n = 0;
        for (char c : text)
            n += c == '\n';
        return n;
    }

    QTemporaryDir root;
    QString device;
    QString runtime;
};

TEST_F(ZentallyProgramTest, HelpPrintsTheUsageAndEndsWell)
{
    Outcome outcome = Run({QStringLiteral("--help")}, Headless());
    EXPECT_EQ(outcome.exit, 0);
    EXPECT_NE(outcome.out.find("usage: zentally"), std::string::npos);
    EXPECT_NE(outcome.out.find("--script"), std::string::npos);
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
}

TEST_F(ZentallyProgramTest, ABadArgumentGetsOneLineAndCodeTwo)
{
    const QStringList cases[] = {
        {QStringLiteral("--bogus")},
        {QStringLiteral("--screen"), QStringLiteral("12x")},
        {QStringLiteral("--scale"), QStringLiteral("0")},
        {QStringLiteral("--clock"), QStringLiteral("2025-02-29T10:00:00")},
        {QStringLiteral("--device")},
        {QStringLiteral("--show")},
    };
    for (const QStringList& args : cases) {
        Outcome outcome = Run(args, Offscreen());
        EXPECT_EQ(outcome.exit, 2) << args.join(' ').toStdString();
        EXPECT_EQ(Lines(outcome.err), 1) << outcome.err;
        EXPECT_EQ(outcome.err.rfind("zentally: ", 0), 0u) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    }
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("data"))))
        << "a refused start makes no device folder";
}

TEST_F(ZentallyProgramTest, WithoutADisplayAPersonIsToldHowToRunItInOneLine)
{
    Outcome outcome = Run({QStringLiteral("--device"), device}, Headless());
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_EQ(Lines(outcome.err), 1) << outcome.err;
    EXPECT_NE(outcome.err.find("--script"), std::string::npos) << outcome.err;
    EXPECT_FALSE(QFileInfo::exists(device)) << "nothing is made for a start that cannot run";
}

TEST_F(ZentallyProgramTest, ADisplayThatCannotBeOpenedIsToldInOneLine)
{
    QProcessEnvironment environment = Headless();
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    Outcome outcome = Run({QStringLiteral("--device"), device}, environment);
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_EQ(Lines(outcome.err), 1) << outcome.err;
    EXPECT_NE(outcome.err.find("cannot open the desktop display"), std::string::npos)
        << outcome.err;
}

TEST_F(ZentallyProgramTest, ADeviceFolderThatCannotBeMadeIsToldInOneLine)
{
    QString file = root.filePath(QStringLiteral("plain-file"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    Outcome outcome =
        Run({QStringLiteral("--device"), file + QStringLiteral("/device")}, Offscreen());
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_EQ(Lines(outcome.err), 1) << outcome.err;
}

TEST_F(ZentallyProgramTest, ASecondStartOnTheFolderEndsWellAndTheFirstRunsOn)
{
    QProcess first;
    Start(&first, {QStringLiteral("--device"), device}, Offscreen());
    ASSERT_TRUE(WaitForSocket(&first, device)) << first.readAllStandardError().toStdString();

    Outcome second = Run({QStringLiteral("--device"), device + QStringLiteral("/")}, Offscreen());
    EXPECT_EQ(second.exit, 0) << second.err;
    EXPECT_EQ(first.state(), QProcess::Running);

    Outcome scripted =
        Run({QStringLiteral("--device"), device, QStringLiteral("--script"), QStringLiteral("-")},
            Offscreen(), "state\n");
    EXPECT_EQ(scripted.exit, 1) << "a script that was not played does not pass";
    EXPECT_NE(scripted.err.find("already runs"), std::string::npos) << scripted.err;

    first.terminate(); // as a logout does: the program closes as Exit closes it
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(
        InstanceSocketPath(QFileInfo(device).canonicalFilePath().toStdString()))))
        << "the socket goes with the program";
}

TEST_F(ZentallyProgramTest, AnotherFolderIsAnotherDevice)
{
    QProcess first;
    Start(&first, {QStringLiteral("--device"), device}, Offscreen());
    ASSERT_TRUE(WaitForSocket(&first, device));
    QProcess other;
    QString otherDevice = device + QStringLiteral("-other");
    Start(&other, {QStringLiteral("--device"), otherDevice}, Offscreen());
    EXPECT_TRUE(WaitForSocket(&other, otherDevice)) << "it runs, listening for its own folder";
    EXPECT_EQ(first.state(), QProcess::Running);
    other.terminate();
    first.terminate();
    EXPECT_TRUE(other.waitForFinished(30000));
    EXPECT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), 0);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
