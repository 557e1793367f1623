#include "texttools/OutputFile.h"

#include "core/Files.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace mirel::texttools {
namespace {

std::atomic<unsigned> temporaryCounter{0};

} // namespace

OutputFile::OutputFile(const QString& path, std::size_t bufferSize)
    : m_path(path), m_target(QFile::encodeName(path)), m_bufferSize(bufferSize) {
    // The temporary file is created with the mode a new file gets (0666 less the
    // umask), so the renamed piece looks like any file the operator writes.
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = m_target + '.' + QByteArray::number(::getpid()) + '-'
                      + QByteArray::number(temporaryCounter.fetch_add(1)) + ".part";
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        fail(error);
    }
    m_buffer.reserve(m_bufferSize);
}

OutputFile::~OutputFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

void OutputFile::fail(int error) {
    throw core::FileError(
        QStringLiteral("cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

void OutputFile::writeAll(const char* data, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(m_fd, data, n);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        data += done;
        n -= static_cast<std::size_t>(done);
    }
}

void OutputFile::flushBuffer(std::string_view more) {
    writeAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    if (more.size() >= m_bufferSize)
        writeAll(more.data(), more.size());
    else
        m_buffer.append(more);
}

void OutputFile::commit() {
    flushBuffer({});
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        fail(errno);
    m_temporary.clear();
}

} // namespace mirel::texttools
