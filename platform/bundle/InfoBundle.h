#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What a bundle's Info.json says of it: who it is, which version, for which
// architecture, and the executable that starts it.
struct InfoBundle {
    static constexpr char kNomeFile[] = "Info.json"; // at the top of the bundle

    QString identificatore;
    QString versione;
    QString architettura; // Debian's name for it ("amd64", "arm64", …)
    QString eseguibile;   // a file name at the top of the bundle

    // None unless the text is a JSON object with the four texts, none empty,
    // and an executable name without a folder in it.
    static std::optional<InfoBundle> leggi(const QByteArray& json);
    // The Info.json of the bundle folder at `bundle`, read without following a link.
    static std::optional<InfoBundle> daBundle(const QString& bundle);
    // The same from a folder already open, for a caller that walks it.
    static std::optional<InfoBundle> daCartella(int cartella);
};
