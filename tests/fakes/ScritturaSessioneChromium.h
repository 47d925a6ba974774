#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// Writes session files in the Chromium-family browsers' format for the
// tests and the stand-in browser: the "SNSS" header, then one record per
// command (16-bit size, command id, little-endian payload).
class ScritturaSessioneChromium {
public:
    ScritturaSessioneChromium() { dati_ = QByteArray("SNSS") + intero(1); }

    void finestraDellaScheda(qint32 finestra, qint32 scheda) { comando(0, intero(finestra) + intero(scheda)); }
    void posizione(qint32 scheda, qint32 indice) { comando(2, intero(scheda) + intero(indice)); }
    void navigazione(qint32 scheda, qint32 indice, const QByteArray& url, const QString& titolo)
    {
        QByteArray corpo = intero(scheda) + intero(indice) + intero(qint32(url.size())) + allinea(url);
        const QByteArray utf16(reinterpret_cast<const char*>(titolo.utf16()), titolo.size() * 2);
        corpo += intero(qint32(titolo.size())) + allinea(utf16);
        comando(6, intero(qint32(corpo.size())) + corpo);
    }
    void navigazioneScelta(qint32 scheda, qint32 indice) { comando(7, intero(scheda) + intero(indice)); }
    void schedaScelta(qint32 finestra, qint32 indice) { comando(8, intero(finestra) + intero(indice)); }
    void schedaChiusa(qint32 scheda) { comando(16, intero(scheda) + QByteArray(12, '\0')); }
    void finestraChiusa(qint32 finestra) { comando(17, intero(finestra) + QByteArray(12, '\0')); }
    void potatura(qint32 scheda, qint32 indice, qint32 quante) { comando(24, intero(scheda) + intero(indice) + intero(quante)); }
    void comando(quint8 id, const QByteArray& corpo)
    {
        dati_ += QByteArray(2, '\0');
        qToLittleEndian<quint16>(quint16(corpo.size() + 1), dati_.data() + dati_.size() - 2);
        dati_ += char(id) + corpo;
    }

    const QByteArray& dati() const { return dati_; }
    bool salva(const QString& percorso) const
    {
        QFile f(percorso);
        return f.open(QIODevice::WriteOnly) && f.write(dati_) == dati_.size();
    }

private:
    static QByteArray intero(qint32 v)
    {
        QByteArray b(4, '\0');
        qToLittleEndian<qint32>(v, b.data());
        return b;
    }
    static QByteArray allinea(QByteArray b)
    {
        while (b.size() % 4)
            b += '\0';
        return b;
    }
    QByteArray dati_;
};
