#pragma once

// A Hayes modem with a paging terminal behind it, on the master side of a
// pseudo-terminal: the pager under test opens the slave side as its serial
// port. The modem answers AT commands and dials; once "connected", the
// terminal runs its side of the paging protocol, checks every block's
// checksum and records the pages it takes.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

class PagingTerminalSimulator
{
public:
    struct Script
    {
        bool modemAnswers = true;               // false: a modem that never answers
        QByteArray dialResult = "CONNECT 2400"; // or "BUSY", "NO CARRIER", "" (silence)
        int busyCalls = 0;                      // the first calls get BUSY
        bool terminalPrompts = true;            // false: connected, but never "ID="
        int nakBlocks = 0;                      // NAK this many block transmissions first
        QStringList refusePins;                 // RS for blocks to these pager numbers
    };

    struct Record
    {
        QStringList pages; // "pin:text" in arrival order
        QStringList dialled;
        int calls = 0;
        int logons = 0;
        int logoffs = 0;
        int naks = 0;
        int badBlocks = 0; // wrong checksum, over 256 characters or unprintable text
    };

    explicit PagingTerminalSimulator(Script script) : m_script(std::move(script))
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        // Holding the slave open keeps the master readable between calls;
        // raw mode so nothing is echoed or translated.
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        m_thread = std::thread([this] { run(); });
    }

    ~PagingTerminalSimulator()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }

    QString slavePath() const { return m_slavePath; }

    Record record() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_record;
    }

    // The checksum of a block, computed here on its own: the low 12 bits of
    // the sum of STX through ETX, as three characters "0" + nibble.
    static QByteArray checksum(const QByteArray& stxThroughEtx)
    {
        int sum = 0;
        for (const char c : stxThroughEtx)
            sum += static_cast<unsigned char>(c);
        sum &= 0xfff;
        return QByteArray(1, static_cast<char>('0' + (sum >> 8))) +
               static_cast<char>('0' + ((sum >> 4) & 15)) + static_cast<char>('0' + (sum & 15));
    }

private:
    enum class State
    {
        Command,
        WaitCr,
        WaitLogon,
        Blocks
    };

    void run()
    {
        while (!m_stop) {
            pollfd fd{m_master, POLLIN, 0};
            if (poll(&fd, 1, 50) <= 0 || !(fd.revents & POLLIN))
                continue;
            char bytes[512];
            const ssize_t n = ::read(m_master, bytes, sizeof bytes);
            if (n <= 0) {
                usleep(10000);
                continue;
            }
            m_input.append(bytes, n);
            step();
        }
    }

    void send(const QByteArray& bytes)
    {
        if (::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
            return;
    }

    void step()
    {
        if (m_state != State::Command && m_input.contains("+++")) {
            m_input.clear();
            m_state = State::Command;
            send("\r\nOK\r\n");
            return;
        }
        switch (m_state) {
        case State::Command:
            command();
            break;
        case State::WaitCr:
        case State::WaitLogon:
            logon();
            break;
        case State::Blocks:
            blocks();
            break;
        }
    }

    void command()
    {
        for (qsizetype cr = m_input.indexOf('\r'); cr >= 0; cr = m_input.indexOf('\r')) {
            QByteArray line = m_input.left(cr).trimmed().toUpper();
            m_input.remove(0, cr + 1);
            const qsizetype at = line.lastIndexOf("AT");
            if (at < 0 || !m_script.modemAnswers)
                continue;
            line = line.mid(at);
            if (!line.startsWith("ATD")) {
                send("\r\nOK\r\n");
                continue;
            }
            QByteArray result = m_script.dialResult;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_record.dialled << QString::fromLatin1(line.mid(4));
                if (++m_record.calls <= m_script.busyCalls)
                    result = "BUSY";
            }
            if (result.isEmpty())
                continue;
            send("\r\n" + result + "\r\n");
            if (result.startsWith("CONNECT")) {
                m_state = State::WaitCr;
                m_input.clear();
            }
        }
    }

    void logon()
    {
        const QByteArray logOn = "\x1bPG1";
        const qsizetype start = m_input.indexOf(logOn);
        if (start >= 0 && m_input.indexOf('\r', start) >= 0) {
            m_input.clear();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_record.logons;
            }
            send("110 1.8\r\x06\r\x1b[p\r");
            m_state = State::Blocks;
            return;
        }
        if (m_input.contains('\r')) {
            m_input.clear();
            if (m_script.terminalPrompts) {
                send("ID=");
                m_state = State::WaitLogon;
            }
        }
    }

    void blocks()
    {
        if (m_input.startsWith("\x04\r")) {
            m_input.clear();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_record.logoffs;
            }
            send("115 Goodbye\r\x1b\x04\r");
            send("\r\nNO CARRIER\r\n");
            m_state = State::Command;
            return;
        }
        const qsizetype stx = m_input.indexOf('\x02');
        const qsizetype etx = m_input.indexOf('\x03', stx);
        if (stx < 0 || etx < 0 || m_input.size() < etx + 5)
            return; // not a whole block yet
        const QByteArray block = m_input.mid(stx, etx - stx + 5);
        m_input.remove(0, etx + 5);
        const QByteArray body = block.left(block.size() - 4);
        const QList<QByteArray> fields = body.mid(1, body.size() - 2).split('\r');
        bool printable = fields.size() == 3 && fields.at(2).isEmpty();
        for (const char c : fields.value(1))
            printable = printable && c >= 0x20 && c < 0x7f;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (block.mid(block.size() - 4, 3) != checksum(body) || !block.endsWith('\r') ||
            block.size() > 256 || !printable) {
            ++m_record.badBlocks;
            send("\x15\r");
        } else if (m_record.naks < m_script.nakBlocks) {
            ++m_record.naks;
            send("\x15\r");
        } else if (m_script.refusePins.contains(QString::fromLatin1(fields.at(0)))) {
            send("\x1e\r");
        } else {
            m_record.pages << QString::fromLatin1(fields.at(0) + ':' + fields.at(1));
            send("211 Page accepted\r\x06\r");
        }
    }

    Script m_script;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    Record m_record;
    QByteArray m_input;
    State m_state = State::Command;
};
