// The text splitter on an arbitrary page text file at an arbitrary rate:
// it must not crash, every part must be valid UTF-8, and it reports how many
// parts it wrote.
#include "core/Dialogs.h"
#include "export/CutTextFileFSO.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

class SilentDialogs final : public vt::Dialogs {
  public:
    bool message(vt::MessageKind kind, const QString&) override {
        reports += kind == vt::MessageKind::ErrorReport ? 1 : 0;
        return false;
    }
    QString chooseFile(vt::FileDialogKind, const vt::FileDialogRequest&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    bool openUrl(const QString&) override { return false; }
    int reports = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int rate = static_cast<int>(data[0] % 21) - 10; // -10..10
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("output.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
    }
    SilentDialogs dialogs;
    const int parts = vt::CutTextFileFSO(path, rate, dialogs);
    if (parts < 0 || dialogs.reports != 0) {
        std::abort();
    }
    const QStringList written =
        QDir(folder.path()).entryList({QStringLiteral("output*.txt")}, QDir::Files);
    if (written.size() != parts) {
        std::abort();
    }
    for (const QString& name : written) {
        QFile part(folder.filePath(name));
        if (!part.open(QIODevice::ReadOnly)) {
            std::abort();
        }
        const QByteArray bytes = part.readAll();
        // A part may start with U+FEFF when the page had one at that place;
        // it is a character like any other there, so validity is checked as is.
        if (!QByteArrayView(bytes).isValidUtf8()) {
            std::fprintf(stderr, "%s is not valid UTF-8\n", qPrintable(name));
            std::abort();
        }
        part.remove();
    }
    return 0;
}
