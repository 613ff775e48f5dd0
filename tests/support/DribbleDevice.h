#pragma once
#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <utility>

// Hands its bytes out a few at a time, as a zip stream may cut them anywhere.
class Dribble : public QIODevice
{
public:
    Dribble(QByteArray data, qint64 step) : m_data(std::move(data)), m_step(step) { open(ReadOnly | Unbuffered); }
    bool isSequential() const override { return true; }
    int Reads = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, m_step, qint64(m_data.size()) - m_pos});
        std::memcpy(data, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        ++Reads;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_step;
    qint64 m_pos = 0;
};
