#include "device/single_instance.h"

#include "platform/window/window_object.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace
{
class SingleInstanceTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        ASSERT_TRUE(runtime.isValid());
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }

    // Lets the event loop run until `done` or a generous limit: the first start hears a later
    // one only through its loop.
    template <class Done> bool RunUntil(Done done)
    {
        QDeadlineTimer limit(10000);
        while (!done() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return done();
    }

    QTemporaryDir runtime;
    QByteArray saved;
};

TEST_F(SingleInstanceTest, TheSocketLivesInTheUsersRuntimeFolder)
{
    std::string path = InstanceSocketPath("/home/someone/.local/share/zentally");
    EXPECT_EQ(QFileInfo(QString::fromStdString(path)).path(), runtime.path());
    EXPECT_LE(path.size(), 100u);
}

TEST_F(SingleInstanceTest, EveryFolderHasItsOwnSocketAndOneFolderAlwaysTheSame)
{
    EXPECT_EQ(InstanceSocketPath("/a/device"), InstanceSocketPath("/a/device"));
    EXPECT_NE(InstanceSocketPath("/a/device"), InstanceSocketPath("/a/device2"));
    EXPECT_NE(InstanceSocketPath("/a/device"), InstanceSocketPath("/b/device"));
}

TEST_F(SingleInstanceTest, ARuntimeFolderThatIsNoFolderIsPassedOver)
{
    qputenv("XDG_RUNTIME_DIR", "/no/such/folder/at/all");
    std::string path = InstanceSocketPath("/a/device");
    EXPECT_EQ(path.rfind("/no/such", 0), std::string::npos) << path;
    qputenv("XDG_RUNTIME_DIR", "relative/folder");
    path = InstanceSocketPath("/a/device");
    EXPECT_EQ(path.rfind("relative", 0), std::string::npos) << path;
}

TEST_F(SingleInstanceTest, TheSecondStartOnAFolderFindsTheFirstAndAsksItToComeForward)
{
    SingleInstance first("/devices/one");
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    std::string reason;
    ASSERT_EQ(first.Claim(&reason), InstanceClaim::First) << reason;

    SingleInstance second("/devices/one");
    EXPECT_EQ(second.Claim(&reason), InstanceClaim::Handed) << reason;
    EXPECT_TRUE(RunUntil([&] { return raised == 1; }));

    SingleInstance third("/devices/one");
    EXPECT_EQ(third.Claim(&reason), InstanceClaim::Handed) << reason;
    EXPECT_TRUE(RunUntil([&] { return raised == 2; }));
}

TEST_F(SingleInstanceTest, TheSocketIsOpenToThisUserOnly)
{
    SingleInstance first("/devices/private");
    std::string reason;
    ASSERT_EQ(first.Claim(&reason), InstanceClaim::First) << reason;
    struct stat info {
    };
    ASSERT_EQ(stat(first.SocketPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u);
    EXPECT_EQ(info.st_uid, getuid());
}

TEST_F(SingleInstanceTest, DifferentFoldersDoNotClash)
{
    SingleInstance one("/devices/one");
    SingleInstance two("/devices/two");
    std::string reason;
    EXPECT_EQ(one.Claim(&reason), InstanceClaim::First) << reason;
    EXPECT_EQ(two.Claim(&reason), InstanceClaim::First) << reason;
    EXPECT_NE(one.SocketPath(), two.SocketPath());
}

TEST_F(SingleInstanceTest, AStartThatEndedLeavesTheFolderFree)
{
    std::string reason;
    {
        SingleInstance first("/devices/one");
        ASSERT_EQ(first.Claim(&reason), InstanceClaim::First) << reason;
    }
    SingleInstance next("/devices/one");
    EXPECT_EQ(next.Claim(&reason), InstanceClaim::First) << reason;
}

// A socket file that nobody listens on, as a start that crashed leaves it.
void LeaveStaleSocket(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(fd, 1), 0);
    close(fd); // the file stays, with nobody behind it
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path)));
}

TEST_F(SingleInstanceTest, AStaleSocketIsRemovedAndTheStartGoesOn)
{
    LeaveStaleSocket(InstanceSocketPath("/devices/crashed"));
    SingleInstance start("/devices/crashed");
    int raised = 0;
    start.SetRaiseHandler([&raised] { ++raised; });
    std::string reason;
    ASSERT_EQ(start.Claim(&reason), InstanceClaim::First) << reason;

    SingleInstance later("/devices/crashed");
    EXPECT_EQ(later.Claim(&reason), InstanceClaim::Handed) << reason;
    EXPECT_TRUE(RunUntil([&] { return raised == 1; }));
}

TEST_F(SingleInstanceTest, AFileInTheSocketsPlaceIsReplaced)
{
    std::string path = InstanceSocketPath("/devices/odd");
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_TRUE(file);
    std::fputs("not a socket", file);
    std::fclose(file);
    SingleInstance start("/devices/odd");
    std::string reason;
    EXPECT_EQ(start.Claim(&reason), InstanceClaim::First) << reason;
}

TEST_F(SingleInstanceTest, SomethingElseSaidOnTheSocketRaisesNothing)
{
    SingleInstance first("/devices/one");
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    std::string reason;
    ASSERT_EQ(first.Claim(&reason), InstanceClaim::First) << reason;

    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, first.SocketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const char noise[] = "format c:\n";
    ASSERT_EQ(write(fd, noise, sizeof noise - 1), ssize_t(sizeof noise - 1));
    close(fd);
    // A real request after the noise is still heard, so the noise was read and dropped.
    SingleInstance second("/devices/one");
    EXPECT_EQ(second.Claim(&reason), InstanceClaim::Handed);
    EXPECT_TRUE(RunUntil([&] { return raised == 1; }));
    EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, AClaimTwiceStaysTheFirst)
{
    SingleInstance first("/devices/one");
    std::string reason;
    ASSERT_EQ(first.Claim(&reason), InstanceClaim::First);
    EXPECT_EQ(first.Claim(&reason), InstanceClaim::First);
}
} // namespace
