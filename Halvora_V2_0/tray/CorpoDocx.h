#pragma once

#include "NumerazioneDocx.h"
#include "StiliDocx.h"
#include "TestoFormattato.h"

#include <QByteArray>
#include <QList>
#include <QXmlStreamReader>
#include <optional>

// Reads the body of word/document.xml in document order, with the
// document's styles and numbering: paragraphs and their runs, tables cell
// by cell, text boxes where they stand, fields by their result, each
// alternate content once. Malformed XML gives nothing.
class CorpoDocx {
public:
    CorpoDocx(const QByteArray& xml, StiliDocx stili, NumerazioneDocx numerazione);

    // The document; called once, as it consumes the reading.
    std::optional<TestoFormattato> leggi();

private:
    // One paragraph being read; a text box inside it opens another over it.
    struct Aperto {
        TestoFormattato::Paragrafo paragrafo;
        ProprietaRun base; // the paragraph style's runs
        ProprietaRun run;  // the run being read
        bool giaScritto = false;
    };
    struct Tabella {
        int id = -1;
        int riga = -1;
        int colonna = -1;
        bool rigaConCelle = false;
        bool cellaConParagrafi = false;
    };
    struct Campo {
        QString istruzione;
        bool separato = false;
    };

    void inizio();
    void fine();
    void campo(const QString& tipo);
    ProprietaRun baseRun(const QString& stile) const;
    TestoFormattato::Paragrafo paragrafoDa(const QList<const StiliDocx::Stile*>& catena) const;
    void impostaParagrafo(Aperto& a, const ProprietaParagrafo& diretto);
    void aggiungi(const QString& t);
    void scriviParte(Aperto& a, bool ultima);

    QXmlStreamReader x_;
    StiliDocx stili_;
    NumerazioneDocx numerazione_;
    TestoFormattato doc_;
    QList<Aperto> aperti_;
    QList<bool> alternative_; // whether an alternative of each open one was read
    QList<Campo> campi_;
    bool inCorpo_ = false;
    bool proprietaLette_ = false;
    int tabelle_ = 0; // depth of tables
    Tabella tabella_; // the outermost one
    int prossimaTabella_ = 0;
};
