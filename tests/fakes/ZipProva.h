#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes ZIP packages entry by entry, including the ones no honest tool
// writes: any name, any type and mode bits, a declared size that lies.
class ZipProva {
public:
    // One entry; `modo` holds the type bits too. `dichiarata` is the
    // uncompressed size written in the headers (the true one when negative).
    void voce(const QByteArray& nome, quint32 modo, const QByteArray& dati = {}, bool comprimi = false,
              qint64 dichiarata = -1);
    void cartella(const QByteArray& nome) { voce(nome.endsWith('/') ? nome : nome + '/', 040755); }
    void file(const QByteArray& nome, const QByteArray& dati, quint32 modo = 0100644) { voce(nome, modo, dati); }
    void collegamento(const QByteArray& nome, const QByteArray& destinazione) { voce(nome, 0120777, destinazione); }
    // The tree at `radice` under the name `prefisso`: its folders, files
    // and links with their own modes, in name order.
    bool albero(const QString& radice, const QByteArray& prefisso);

    QByteArray dati() const;
    bool salva(const QString& percorso) const;

private:
    struct Voce {
        QByteArray nome;
        quint32 modo;
        QByteArray corpo; // as stored
        quint32 crc;
        quint32 compressa, dichiarata;
        bool deflate;
    };
    QList<Voce> voci_;
};
