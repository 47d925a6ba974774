#pragma once

#include <QImage>
#include <QObject>
#include <QThread>
#include <QUrl>
#include <optional>

// Finds and downloads album artwork on a worker thread: a catalogue search
// (base address + "/search?term=…&entity=song&limit=1", reply member
// "results"[0]."artworkUrl100") or a direct address. Each lookup carries
// the key of the track it is for, so the caller can drop late answers.
class CercaCopertina : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMassimoRisposta = 1 << 20;  // a search reply is a few kilobytes
    static constexpr qint64 kMassimoImmagine = 8 << 20;  // an artwork file
    static constexpr qint64 kMassimoPixel = 4096 * 4096; // what a decoded artwork may allocate
    static constexpr int kAttesaMs = 15000;

    explicit CercaCopertina(QUrl base, QObject* parent = nullptr);
    ~CercaCopertina() override;

    void cerca(const QString& chiave, const QString& titolo, const QString& artista);
    void scarica(const QString& chiave, const QUrl& indirizzo);

    // The search address; invalid when the term is empty.
    static QUrl indirizzoRicerca(const QUrl& base, const QString& titolo, const QString& artista);
    // Only http and https are fetched.
    static bool indirizzoAmmesso(const QUrl& indirizzo);
    // The artwork address of a search reply, 600-pixel size asked for.
    static std::optional<QUrl> indirizzoDaRisposta(const QByteArray& json);
    // An image from downloaded bytes; null when it is not one or too large.
    static QImage decodifica(const QByteArray& dati);

signals:
    // A null image means none was found.
    void trovata(const QString& chiave, const QImage& immagine);

private:
    QUrl base_;
    QThread thread_;
    QObject* rete_;
};
