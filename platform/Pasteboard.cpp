#include "Pasteboard.h"

#include <QString>

QByteArray Pasteboard::testoUtf8(QByteArray byte, bool latin1)
{
    if (!latin1)
        return QByteArrayView(byte).isValidUtf8() ? byte : QString::fromUtf8(byte).toUtf8();
    QByteArray r;
    r.reserve(byte.size() + byte.size() / 8);
    for (const char c : std::as_const(byte)) {
        const uchar u = uchar(c);
        if (u < 0x80) {
            r += c;
        } else {
            r += char(0xC0 | (u >> 6));
            r += char(0x80 | (u & 0x3F));
        }
    }
    return r;
}
