#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <optional>

// What the application and its video helper (halvora-video) say to each
// other, one compact JSON object per line on the helper's stdin and
// stdout, and the page the helper loads. Everything that crosses is
// checked here, on both sides: the page runs a remote script, so neither
// its messages nor the values written into it are taken as they come.
namespace ProtocolloVideo {

// One line either way; a longer one is dropped whole.
constexpr qsizetype kMassimoRiga = 8192;
// One message of the page.
constexpr qsizetype kMassimoMessaggio = 512;
// One text the card shows.
constexpr qsizetype kMassimoTesto = 300;

// What the page is loaded with, once checked.
struct Pagina {
    QString id;        // 11 characters of [A-Za-z0-9_-]
    qint64 inizio = 0; // whole seconds, 0 or more
    QString lingua;    // two lower-case letters
    bool muto = false;
    bool operator==(const Pagina&) const = default;
};

// The checked values, or nothing: a start that is not a finite number of
// 0 or more (or past a year) is refused, as is any other id or language.
std::optional<Pagina> pagina(const QString& id, double inizio, const QString& lingua, bool muto);
// The language of the page from a locale name ("it_IT", "en-GB"): its first
// two letters, "it" when they are not two letters.
QString lingua(const QString& nomeLocale);

// Where the video service's player script comes from (and the page's own
// origin): an https origin, or http on a loopback address only; no user,
// path, query or fragment. Nothing for anything else.
std::optional<QUrl> origine(const QString& testo);

// The player page: the values go in only JSON-encoded, with "<" escaped, so
// nothing in them can end the script.
QString html(const Pagina& p, const QUrl& servizio);

// A message the page posted, as the manager reads it: a JSON object of a
// known "tipo" with its fields of the right kind and finite numbers, at
// most kMassimoMessaggio bytes. The result holds only the known fields.
std::optional<QJsonObject> messaggioPagina(const QByteArray& testo);

// Lines.
QByteArray riga(const QJsonObject& o);
std::optional<QJsonObject> leggi(const QByteArray& riga);
// A finite number of a field, or nothing.
std::optional<double> numero(const QJsonObject& o, const QString& campo);

// Splits a byte stream into lines of at most kMassimoRiga bytes; the rest of
// a longer line is skipped up to its end.
class Righe {
public:
    void aggiungi(const QByteArray& dati);
    std::optional<QByteArray> prossima();

private:
    QByteArray buffer_;
    bool scarta_ = false;
};

} // namespace ProtocolloVideo
