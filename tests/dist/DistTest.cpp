// What a user gets from `cmake --install` and from the .deb package.
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    bool started = false;
    int exitCode = -1;
    QString out;
    QString err;
    std::string all() const { return (out + "\n" + err).toStdString(); }
};

Outcome run(const QString& program, const QStringList& arguments, int timeoutMs = 240000) {
    QProcess process;
    process.start(program, arguments);
    Outcome result;
    result.started = process.waitForStarted();
    if (result.started) {
        process.waitForFinished(timeoutMs);
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A page on disk and the text the program in the build folder reads from it.
class PageFile {
  public:
    explicit PageFile(const QString& folder) : m_path(folder + "/page.html") {
        vt::test::writeAll(m_path, "<html><head><title>Installed</title></head><body>"
                                   "<h1>Hello</h1><p>The installed program reads this.</p>"
                                   "</body></html>");
    }
    QString address() const { return "file://" + m_path; }

  private:
    QString m_path;
};

// Runs the program found under root the way a user would and checks its commands.
void checkInstalledProgram(const QString& program, const QString& scratch) {
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    const Outcome voices = run(program, {"--list-voices"});
    EXPECT_EQ(voices.exitCode, 0) << voices.all();
    EXPECT_EQ(voices.out, run(VT_BUILT_PROGRAM, {"--list-voices"}).out);
    EXPECT_TRUE(voices.out.contains("English")) << voices.all();

    const PageFile page(scratch);
    const Outcome text = run(program, {"--text", page.address()});
    EXPECT_EQ(text.exitCode, 0) << text.all();
    EXPECT_TRUE(text.out.contains("Hello\n")) << text.all();
    EXPECT_TRUE(text.out.contains("The installed program reads this.")) << text.all();
    EXPECT_FALSE(text.out.contains("Installed")) << "the title is not read";

    const Outcome help = run(program, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    // Every option the README documents.
    for (const char* option :
         {"--list-voices", "--text ADDRESS", "--save-mp3 ADDRESS", "--folder", "--voice",
          "--volume", "--rate", "--article", "--whole-page", "--quiet", "--version"}) {
        EXPECT_TRUE(help.out.contains(option)) << option << "\n" << help.all();
    }
    const Outcome version = run(program, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "vellumtone 1.0\n");
}

const QStringList InstalledFiles{
    "bin/vellumtone",
    "share/applications/example.quillmere.Vellumtone.desktop",
    "share/icons/hicolor/scalable/apps/example.quillmere.Vellumtone.svg",
    "share/metainfo/example.quillmere.Vellumtone.metainfo.xml",
    "share/man/man1/vellumtone.1.gz",
    "share/doc/vellumtone/copyright",
    "share/doc/vellumtone/changelog.gz",
};

TEST(Install, PutsTheProgramAndItsDesktopFilesInPlace) {
    QTemporaryDir prefix;
    const Outcome install = run("cmake", {"--install", VT_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.all();
    for (const QString& file : InstalledFiles) {
        EXPECT_TRUE(QFileInfo::exists(prefix.filePath(file))) << file.toStdString();
    }
    const QString share = prefix.filePath("share/");
    const Outcome desktop =
        run("desktop-file-validate", {share + "applications/example.quillmere.Vellumtone.desktop"});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.all();
    EXPECT_FALSE(desktop.out.contains("error")) << desktop.all();
    const Outcome metainfo =
        run("appstreamcli", {"validate", "--no-net", "--no-color",
                             share + "metainfo/example.quillmere.Vellumtone.metainfo.xml"});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.all();
    const QString icon =
        QString::fromUtf8(vt::test::readAll(share + "icons/hicolor/scalable/apps/"
                                                    "example.quillmere.Vellumtone.svg"));
    EXPECT_TRUE(icon.contains("<svg") && icon.contains("viewBox=\"0 0 128 128\""));

    // The manual page formats without a single warning.
    QProcess man;
    man.setProcessEnvironment([] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MANWIDTH", "80");
        env.insert("LC_ALL", "C.UTF-8");
        return env;
    }());
    man.start("man", {"--warnings", "-l", share + "man/man1/vellumtone.1.gz"});
    ASSERT_TRUE(man.waitForFinished(60000));
    const QString page = QString::fromUtf8(man.readAllStandardOutput());
    EXPECT_EQ(man.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(man.readAllStandardError()), "");
    for (const char* command : {"--list-voices", "--text", "--save-mp3", "--quiet", "--help"}) {
        EXPECT_TRUE(page.contains(command)) << command;
    }

    checkInstalledProgram(prefix.filePath("bin/vellumtone"), prefix.path());
}

TEST(Package, TheDebInstallsAndRunsFromAScratchRoot) {
    QTemporaryDir out;
    const Outcome cpack =
        run("cpack", {"-G", "DEB", "--config", QString(VT_BUILD_DIR) + "/CPackConfig.cmake", "-B",
                      out.path()});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.all();
    const QStringList debs = QDir(out.path()).entryList({"vellumtone_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << cpack.all();
    const QString deb = out.filePath(debs.first());

    const Outcome fields = run("dpkg-deb", {"--field", deb, "Package", "Depends"});
    EXPECT_TRUE(fields.out.startsWith("Package: vellumtone\n")) << fields.all();
    for (const char* dependency : {"lame", "espeak-ng-data", "libespeak-ng1", "libqt6widgets6",
                                   "libtag1v5", "libgumbo1", "libqt6dbus6", "libc6"}) {
        EXPECT_TRUE(fields.out.contains(dependency)) << dependency << "\n" << fields.all();
    }

    const Outcome lintian = run("lintian", {"--fail-on", "error", "--tag-display-limit", "0", deb});
    EXPECT_EQ(lintian.exitCode, 0) << lintian.all();
    EXPECT_FALSE(lintian.out.contains("E: ")) << lintian.all();

    const QString root = out.filePath("root");
    const Outcome unpack = run("dpkg", {"-x", deb, root});
    ASSERT_EQ(unpack.exitCode, 0) << unpack.all();
    for (const QString& file : InstalledFiles) {
        EXPECT_TRUE(QFileInfo::exists(root + "/usr/" + file)) << file.toStdString();
    }
    checkInstalledProgram(root + "/usr/bin/vellumtone", out.path());
}

} // namespace
