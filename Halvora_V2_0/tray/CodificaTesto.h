#pragma once

#include <QByteArray>
#include <QString>

// The text of a plain-text or HTML file in whatever encoding it was saved:
// its byte order mark first; for HTML the charset its <meta> declares;
// then UTF-8 when the bytes are valid UTF-8; else the encoding uchardet
// guesses, and Windows-1252 when it guesses none. Latin-1 is read as
// Windows-1252, its superset, as browsers do.
namespace CodificaTesto {

QString testo(const QByteArray& dati);
QString html(const QByteArray& dati);

} // namespace CodificaTesto
