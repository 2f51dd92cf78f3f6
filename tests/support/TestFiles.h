// Files of a test: written whole from bytes, read back whole; a named pipe
// that must never be opened.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Writes bytes to path (replacing it) and returns path.
inline QString WriteTestFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
    return path;
}

// The bytes of the file at path; empty when it cannot be read.
inline QByteArray ReadTestFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A named pipe that nothing may open. Opening a pipe to read waits for a
// writer, so a reader that opens it would hang the test: while the pipe lives,
// a thread stands ready as that writer and closes again at once (the reader
// sees an empty file and returns), and counts every open it answered.
class TUnopenedPipe {
public:
    explicit TUnopenedPipe(const QString &path) : path_(QFile::encodeName(path).toStdString())
    {
        EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0) << path_;
        watcher_ = std::thread([this] {
            while (!stop_) {
                // Succeeds only while a reader has the pipe open.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ++opens_;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~TUnopenedPipe()
    {
        stop_ = true;
        watcher_.join();
    }
    TUnopenedPipe(const TUnopenedPipe &) = delete;
    TUnopenedPipe &operator=(const TUnopenedPipe &) = delete;

    QString Path() const { return QFile::decodeName(QByteArray::fromStdString(path_)); }
    // How often a reader had the pipe open.
    int Opens() const { return opens_; }

private:
    std::string path_;
    std::atomic<bool> stop_ = false;
    std::atomic<int> opens_ = 0;
    std::thread watcher_;
};
