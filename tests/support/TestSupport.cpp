#include "support/TestSupport.h"

#include "core/Encoding.h"

#include <QFile>
#include <QProcess>
#include <stdexcept>

namespace mirel::test {

std::string hexBytes(std::string_view hex) {
    std::string out;
    int high = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else continue;
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    return out;
}

std::string ansi(std::string_view utf8) { return core::fromUtf8(utf8); }

std::string readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void writeFile(const QString& path, std::string_view bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file " + path.toStdString());
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

ProcessResult runProgram(const QStringList& args, const QString& program, const QString& workingDirectory) {
    QProcess process;
    process.setProgram(QStringLiteral(MIREL_BIN_DIR "/") + program);
    process.setArguments(args);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start();
    ProcessResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = "timed out";
        return result;
    }
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    result.out.assign(out.constData(), static_cast<size_t>(out.size()));
    result.err.assign(err.constData(), static_cast<size_t>(err.size()));
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

} // namespace mirel::test
