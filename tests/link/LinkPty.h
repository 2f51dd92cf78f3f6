// A pseudo-terminal pair for the link tests: the component opens the slave by
// its name, the test (or a simulated peer) works the master end.
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

class LinkPty {
public:
    LinkPty()
    {
        int slave = -1;
        char name[256] = {};
        if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        // The component opens the slave by name; this end's copy is not needed.
        ::close(slave);
        name_ = QString::fromLocal8Bit(name);
    }
    ~LinkPty() { CloseMaster(); }
    LinkPty(const LinkPty &) = delete;
    LinkPty &operator=(const LinkPty &) = delete;

    bool Ok() const { return master_ >= 0; }
    QString SlaveName() const { return name_; }
    int Master() const { return master_; }

    void Send(const QByteArray &bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += n;
        }
    }

    // Reads what arrives until nothing has come for quietMs, or until want
    // bytes are there, or timeoutMs has passed.
    QByteArray Receive(qsizetype want, int timeoutMs = 2000, int quietMs = 100) const
    {
        QByteArray got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < want && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, got.isEmpty() ? 50 : quietMs) <= 0) {
                if (!got.isEmpty())
                    break;
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }

    void CloseMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString name_;
};
