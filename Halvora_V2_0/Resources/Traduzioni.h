#pragma once

#include <QHash>
#include <QTranslator>

class QIODevice;

// The interface's translation tables. Every text's key is its Italian
// form, whatever class shows it: a lookup asks for the key alone, so an
// entry is found wherever the table lists it and whichever class or
// function shows it. The tables are Qt Linguist files (one per area and
// language), read whole at start.
class Traduzioni final : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;
    // Italian key -> text shown.
    using Tabella = QHash<QString, QString>;

    // Loads the tables of a language: "en", "es", or "it", whose texts are
    // the keys themselves and whose one small table says the keys that
    // name what this desktop has otherwise, or write an accent as an
    // apostrophe, the way the desktop and the language have it. False
    // when the language has no table.
    bool carica(const QString& codice);
    QString codice() const { return codice_; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return tabella_.isEmpty(); }

    // The entries of one Linguist file, whatever context lists them;
    // unfinished and obsolete entries are left out. `errore`, when given,
    // gets the reader's complaint about a malformed file.
    static Tabella leggi(QIODevice& file, QString* errore = nullptr);
    // The files compiled into the program for a language, by name.
    static QStringList fileDi(const QString& codice);

    // The language to use: `scelta` when set ("it", "en", "es"), else the
    // first of the desktop's languages that has tables, else Italian.
    static QString linguaEffettiva(const QString& scelta);
    // Installs the tables of that language for the whole application.
    static Traduzioni& installa(const QString& scelta);

private:
    Tabella tabella_;
    QString codice_ = QStringLiteral("it");
};
