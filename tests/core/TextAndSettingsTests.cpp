#include "core/Failure.h"
#include "core/NumberText.h"
#include "core/SettingsStore.h"
#include "core/files/TempFolders.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(Val, ReadsTheLeadingNumberOnly) {
    EXPECT_EQ(vt::Val("50"), 50.0);
    EXPECT_EQ(vt::Val("-3"), -3.0);
    EXPECT_EQ(vt::Val("2.5"), 2.5);
    EXPECT_EQ(vt::Val("  75 dB"), 75.0);
    EXPECT_EQ(vt::Val("abc"), 0.0);
    EXPECT_EQ(vt::Val(""), 0.0);
    EXPECT_EQ(vt::Val("1e2x"), 100.0);
    EXPECT_EQ(vt::Val("12abc34"), 12.0);
    EXPECT_EQ(vt::Val("-"), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(vt::roundHalfEven(2.5), 2);
    EXPECT_EQ(vt::roundHalfEven(3.5), 4);
    EXPECT_EQ(vt::roundHalfEven(-2.5), -2);
    EXPECT_EQ(vt::roundHalfEven(-3.5), -4);
    EXPECT_EQ(vt::roundHalfEven(2.4999), 2);
    EXPECT_EQ(vt::roundHalfEven(0.5), 0);
    EXPECT_THROW(vt::roundHalfEven(1e12), vt::Failure);
}

TEST(SettingsStore, ValuesPersistAsTextAndMissingKeysGiveTheDefault) {
    vt::test::clearSettings();
    vt::SettingsStore store;
    EXPECT_EQ(store.read(vt::key::VolumeLevel, "50"), "50");
    store.write(vt::key::VolumeLevel, "80");
    store.write(vt::key::Text3, "/home/me/My Music/");
    // A second store reads from disk, as the next run would.
    vt::SettingsStore next;
    EXPECT_EQ(next.read(vt::key::VolumeLevel, "50"), "80");
    EXPECT_EQ(next.read(vt::key::Text3, ""), "/home/me/My Music/");
    store.write(vt::key::SpeechRate, "2.5");
    EXPECT_EQ(next.readWholeNumber(vt::key::SpeechRate, "-3"), 2);
    store.write(vt::key::SpeechRate, "abc");
    EXPECT_EQ(next.readWholeNumber(vt::key::SpeechRate, "-3"), 0);

    const QString file = vt::test::sandboxFolder() + "/config/Quillmere/Vellumtone.conf";
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(vt::test::readAll(file).contains("[Vellumtone]"));
}

TEST(PrivateFolder, LivesInsideTempIsOwnerOnlyAndIsRemoved) {
    QString path;
    {
        vt::PrivateFolder folder;
        ASSERT_TRUE(folder.isValid());
        path = folder.path();
        EXPECT_TRUE(path.startsWith(qEnvironmentVariable("TEMP")));
        const auto perms = QFileInfo(path).permissions();
        EXPECT_FALSE(perms & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup));
        vt::test::writeAll(folder.filePath("output.txt"), "x");
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(TemporaryRoot, FallsBackToTheSystemFolderWhenTempIsUnset) {
    const QByteArray saved = qgetenv("TEMP");
    qputenv("TEMP", "");
    EXPECT_EQ(vt::temporaryRoot(), QDir::tempPath());
    qputenv("TEMP", saved);
    EXPECT_EQ(vt::temporaryRoot(), QString::fromLocal8Bit(saved));
}

// Only a regular file of a sensible size is read as the settings; anything
// else gives the defaults at once and stays as it is.
TEST(SettingsStore, AFifoOrAHugeFileGivesTheDefaultsAndIsLeftAlone) {
    const QString file = vt::test::sandboxFolder() + "/config/Quillmere/Vellumtone.conf";
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    // Reading a FIFO blocks for good: the store must not even open it.
    auto reading = std::async(std::launch::async, [] {
        vt::SettingsStore store;
        store.write(vt::key::VolumeLevel, "80");
        return store.read(vt::key::VolumeLevel, "50");
    });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the settings store blocked on a FIFO";
        std::_Exit(1); // the blocked thread cannot be ended any other way
    }
    EXPECT_EQ(reading.get(), "50");
    EXPECT_FALSE(QFileInfo(file).isFile());
    EXPECT_TRUE(QFileInfo::exists(file));
    QFile::remove(file);

    // Two megabytes of settings: not read, not rewritten.
    QByteArray huge = "[Vellumtone]\nVolume%20Level=80\n";
    huge.append(QByteArray(2 * 1024 * 1024, '#'));
    vt::test::writeAll(file, huge);
    vt::SettingsStore store;
    EXPECT_EQ(store.read(vt::key::VolumeLevel, "50"), "50");
    store.write(vt::key::SpeechRate, "3");
    EXPECT_EQ(vt::test::readAll(file), huge);
    QFile::remove(file);
}
