#include "export/JoinFiles.h"

#include "export/OutputName.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace vt {
namespace {

// A device that takes `room` bytes and then refuses, as a full disk does: the
// write that reaches the end is cut short, the next one fails.
class FullDevice : public QIODevice {
  public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }
    qint64 taken() const { return m_taken; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (m_taken == m_room) {
            setErrorString("No space left on device");
            return -1;
        }
        const qint64 count = qMin(length, m_room - m_taken);
        m_taken += count;
        return count;
    }

  private:
    qint64 m_room;
    qint64 m_taken = 0;
};

class JoinFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_parts = {path("p1"), path("p2"), path("p3")};
        test::writeAll(m_parts[0], "first-");
        test::writeAll(m_parts[1], QByteArray(3 << 20, 'x')); // spans several copy blocks
        test::writeAll(m_parts[2], "-last");
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList folderContents() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    QTemporaryDir m_dir;
    QStringList m_parts;
};

TEST_F(JoinFilesTest, JoinsInTheOrderGivenAndReplacesAnEarlierFile) {
    test::writeAll(path("out.mp3"), "an earlier, longer file that must go away entirely");
    ASSERT_TRUE(JoinFilesAtomically(m_parts, path("out.mp3")));
    EXPECT_EQ(test::readAll(path("out.mp3")), "first-" + QByteArray(3 << 20, 'x') + "-last");
    EXPECT_EQ(folderContents(), (QStringList{"out.mp3", "p1", "p2", "p3"}));

    ASSERT_TRUE(JoinFilesAtomically({m_parts[2], m_parts[0]}, path("out.mp3")));
    EXPECT_EQ(test::readAll(path("out.mp3")), "-lastfirst-");
}

TEST_F(JoinFilesTest, AMissingPartLeavesTheEarlierFileAndNoTemporaryFile) {
    test::writeAll(path("out.mp3"), "earlier");
    const QStringList parts = {m_parts[0], path("gone"), m_parts[2]};
    EXPECT_THROW(JoinFilesAtomically(parts, path("out.mp3")), Failure);
    EXPECT_EQ(test::readAll(path("out.mp3")), "earlier");
    EXPECT_EQ(folderContents(), (QStringList{"out.mp3", "p1", "p2", "p3"}));
}

TEST_F(JoinFilesTest, AnUnwritableTargetIsAFailure) {
    EXPECT_THROW(JoinFilesAtomically(m_parts, path("no-such-folder/out.mp3")), Failure);
    EXPECT_THROW(JoinFilesAtomically(m_parts, m_dir.path()), Failure); // a folder
}

TEST_F(JoinFilesTest, CancelLeavesTheEarlierFile) {
    test::writeAll(path("out.mp3"), "earlier");
    std::stop_source cancelled;
    cancelled.request_stop();
    EXPECT_FALSE(JoinFilesAtomically(m_parts, path("out.mp3"), cancelled.get_token()));
    EXPECT_EQ(test::readAll(path("out.mp3")), "earlier");
    EXPECT_EQ(folderContents(), (QStringList{"out.mp3", "p1", "p2", "p3"}));
}

TEST_F(JoinFilesTest, AppendStopsAtTheFirstRefusedWrite) {
    FullDevice nearlyFull(100);
    try {
        AppendFiles(m_parts, nearlyFull);
        FAIL() << "a refused write went unnoticed";
    } catch (const WriteRefusedFailure& failure) {
        EXPECT_EQ(failure.description(), "No space left on device");
    }
    EXPECT_EQ(nearlyFull.taken(), 100);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(AppendFiles({m_parts[2], m_parts[0]}, buffer));
    EXPECT_EQ(buffer.data(), "-lastfirst-");
}

TEST_F(JoinFilesTest, TheLongestNameAnMp3MayHaveCanBeWrittenAtomically) {
    const QString name = QString(MaxMp3NameBytes - 4, u'n') + ".mp3";
    ASSERT_TRUE(JoinFilesAtomically(m_parts, path(name)));
    EXPECT_EQ(QFileInfo(path(name)).size(), (3 << 20) + 11);
}

TEST_F(JoinFilesTest, ALinkAtTheTargetIsReplacedNeverFollowed) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("out"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("elsewhere"));
    test::writeAll(path("elsewhere/victim"), "precious");
    ASSERT_TRUE(QFile::link(path("elsewhere/victim"), path("out/a.mp3")));
    ASSERT_TRUE(QFile::link(path("elsewhere/created"), path("out/b.mp3"))); // dangling

    ASSERT_TRUE(JoinFilesAtomically({m_parts[0], m_parts[2]}, path("out/a.mp3")));
    ASSERT_TRUE(JoinFilesAtomically({m_parts[2]}, path("out/b.mp3")));

    EXPECT_EQ(test::readAll(path("elsewhere/victim")), "precious");
    EXPECT_FALSE(QFileInfo::exists(path("elsewhere/created")));
    EXPECT_EQ(QDir(path("elsewhere")).entryList(QDir::Files), QStringList{"victim"});
    for (const char* name : {"out/a.mp3", "out/b.mp3"}) {
        const QFileInfo written(path(name));
        EXPECT_FALSE(written.isSymLink()) << name;
        EXPECT_TRUE(written.isFile()) << name;
    }
    EXPECT_EQ(test::readAll(path("out/a.mp3")), "first--last");
    EXPECT_EQ(test::readAll(path("out/b.mp3")), "-last");
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::System | QDir::Hidden),
              (QStringList{"a.mp3", "b.mp3"}));
}

TEST_F(JoinFilesTest, AnEarlierFileKeepsItsPermissionsANewOneGetsTheUsualOnes) {
    test::writeAll(path("old.mp3"), "earlier");
    const auto readOnlyForOthers = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                   QFile::WriteUser | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path("old.mp3"), readOnlyForOthers));
    ASSERT_TRUE(JoinFilesAtomically({m_parts[0]}, path("old.mp3")));
    EXPECT_EQ(QFile::permissions(path("old.mp3")), readOnlyForOthers);

    // A new file is made the way any program makes one (the umask applies).
    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ASSERT_TRUE(JoinFilesAtomically({m_parts[0]}, path("new.mp3")));
    EXPECT_EQ(QFile::permissions(path("new.mp3")), QFile::permissions(path("plain")));
}

TEST_F(JoinFilesTest, DiskIsFullComparesTheRoomLeft) {
    EXPECT_FALSE(DiskIsFull(m_dir.path(), 1));
    EXPECT_TRUE(DiskIsFull(m_dir.path(), std::numeric_limits<qint64>::max()));
}

} // namespace
} // namespace vt
