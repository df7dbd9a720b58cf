#include "UnusableModules.h"

#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>

#include "TestFiles.h"

namespace testsupport {

void ExpectUnusableModulesRefused(
    const std::function<bool(const std::string& path, std::string& error)>& open,
    const std::string& kind) {
    QTemporaryDir dir;
    const QString text = dir.filePath("text.so");
    QVERIFY(WriteBytes(text, "not a library"));
    Dl_info info{};
    QVERIFY(dladdr(reinterpret_cast<void*>(&qVersion), &info) != 0);
    const std::string foreign = "is not a " + kind;
    const struct {
        QString path;
        std::string why;
    } cases[] = {{dir.filePath("absent.so"), "could not be loaded"},
                 {text, "could not be loaded"},
                 {QString::fromUtf8(info.dli_fname), foreign}};
    for (const auto& c : cases) {
        std::string error;
        QVERIFY(!open(c.path.toStdString(), error));
        QVERIFY2(error.find(c.path.toStdString()) != std::string::npos &&
                     error.find(c.why) != std::string::npos,
                 error.c_str());
    }
}

} // namespace testsupport
