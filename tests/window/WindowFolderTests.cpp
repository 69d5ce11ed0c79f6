// The output folder a fresh account starts with: the desktop folder the
// desktop names, or the home folder when there is no such folder.
#include "WindowTestSupport.h"
#include "core/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vt;
using vt::test::WindowFixture;

namespace {

QString withSeparator(const QString& folder) {
    return QDir::toNativeSeparators(folder) + QDir::separator();
}

} // namespace

// A user account of the test's own: HOME, and the desktop's user-dirs.dirs
// in the test's config folder; both put back afterwards.
class WindowDefaultFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        vt::test::clearSettings();
        savedHome = qgetenv("HOME");
        savedDirs = vt::test::readAll(dirsFile());
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));
    }
    void TearDown() override {
        qputenv("HOME", savedHome);
        vt::test::writeAll(dirsFile(), savedDirs);
        vt::test::clearSettings();
    }
    static QString dirsFile() { return vt::test::sandboxFolder() + "/config/user-dirs.dirs"; }
    static void nameDesktop(const QByteArray& line) { vt::test::writeAll(dirsFile(), line); }
    QString folderShown() {
        EXPECT_TRUE(f.load());
        return f.window->Text3->text();
    }

    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedDirs;
    WindowFixture f;
};

TEST_F(WindowDefaultFolder, WithoutADesktopFolderTheHomeFolderIsUsedAndStored) {
    // No desktop named and no ~/Desktop: the first export must not be refused.
    nameDesktop("# no desktop here\n");
    ASSERT_FALSE(QFileInfo::exists(home.filePath("Desktop")));
    EXPECT_EQ(folderShown(), withSeparator(home.path()));
    EXPECT_EQ(SettingsStore().read(key::Text3, "none"), withSeparator(home.path()));
    EXPECT_EQ(f.dialogs.entries().size(), 0);
}

TEST_F(WindowDefaultFolder, TheDesktopFolderTheDesktopNamesIsUsed) {
    // A desktop in another language names its own folder.
    ASSERT_TRUE(QDir(home.path()).mkdir("Schreibtisch"));
    nameDesktop("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(folderShown(), withSeparator(home.filePath("Schreibtisch")));
}

TEST_F(WindowDefaultFolder, ANamedDesktopFolderThatIsMissingGivesTheHomeFolder) {
    ASSERT_TRUE(QDir(home.path()).mkdir("Desktop")); // not the folder named
    nameDesktop("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    EXPECT_EQ(folderShown(), withSeparator(home.path()));
}

TEST_F(WindowDefaultFolder, AStoredFolderIsNeverReplaced) {
    // Even one that has gone: the export says so when asked, the start does not.
    nameDesktop("# no desktop here\n");
    SettingsStore().write(key::Text3, "/gone/away/");
    EXPECT_EQ(folderShown(), "/gone/away/");
    EXPECT_EQ(SettingsStore().read(key::Text3, "none"), "/gone/away/");
}
