// Replays a folder of bitmap files through the example bitmap's decoding path (built with
// sanitizers): every file must pass checkExampleBitmap, and files named ok_* must be accepted.
// Exit status 0 when all files behave.
#include "bitmap_check.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no files in %s\n", argv[1]);
        return 2;
    }
    int failures = 0;
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        bool decoded = false;
        std::string fault = file.open(QIODevice::ReadOnly)
                                ? checkExampleBitmap(file.readAll(), &decoded)
                                : std::string("cannot be opened");
        if (fault.empty() && name.startsWith("ok_") && !decoded)
            fault = "refused";
        if (!fault.empty()) {
            std::fprintf(stderr, "FAIL %s: %s\n", qPrintable(name), fault.c_str());
            ++failures;
        }
    }
    std::printf("%d files, %d failures\n", int(names.size()), failures);
    return failures == 0 ? 0 : 1;
}
