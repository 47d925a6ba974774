#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

// A fuzz input read a piece at a time; past its end every read gives zeros.
struct Lettore {
    const uint8_t* dati;
    size_t n;
    size_t at = 0;
    bool fine() const { return at >= n; }
    uint8_t byte() { return at < n ? dati[at++] : 0; }
    template <class T>
    T numero()
    {
        T v{};
        const size_t quanti = std::min(sizeof v, n - std::min(at, n));
        std::memcpy(&v, dati + at, quanti);
        at += quanti;
        return v;
    }
    // Up to a zero byte or the end.
    QByteArray testo()
    {
        QByteArray r;
        while (at < n && dati[at])
            r += char(dati[at++]);
        ++at;
        return r;
    }
};
