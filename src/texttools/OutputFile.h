#pragma once
// Buffered, crash-safe writing of piece files and arranged lists.

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace mirel::texttools {

// Write buffer: one system call per megabyte however short the lines are.
inline constexpr std::size_t kWriteBufferSize = std::size_t{1} << 20;

// A file written through a buffer into a temporary file beside the target, which
// replaces the target on commit(). Destroyed without commit() (an error, an
// exception on the way), it removes the temporary file and leaves the target as
// it was. Throws core::FileError naming the target on any failure.
class OutputFile {
public:
    explicit OutputFile(const QString& path, std::size_t bufferSize = kWriteBufferSize);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes) {
        if (m_buffer.size() + bytes.size() > m_bufferSize)
            flushBuffer(bytes);
        else
            m_buffer.append(bytes);
    }
    // A line of the system's text files: its bytes followed by CR LF.
    void writeLine(std::string_view line) {
        write(line);
        write("\r\n");
    }
    void commit();

private:
    void flushBuffer(std::string_view more);
    void writeAll(const char* data, std::size_t n);
    [[noreturn]] void fail(int error);

    QString m_path;
    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    std::size_t m_bufferSize;
    std::string m_buffer;
};

} // namespace mirel::texttools
