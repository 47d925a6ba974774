#pragma once

#include "SegniElenco.h"
#include "TestoFormattato.h"

#include <QHash>
#include <QList>
#include <array>
#include <optional>

// Builds a document from what a Word 97 reader reports in text order:
// each paragraph's properties, each change of character properties, and
// the characters with Word's own control marks (paragraph, cell and row
// ends, breaks, field marks). Free of the reading library, so it is
// tested and fuzzed on its own.
class CostruttoreDoc {
public:
    struct ProprietaParagrafo {
        TestoFormattato::Allineamento allineamento = TestoFormattato::Allineamento::sinistra;
        int titolo = 0;
        int rientro = 0;   // twentieths of a point, as Word keeps them
        int primaRiga = 0;
        int spazioPrima = 0;
        int spazioDopo = 0;
        bool inTabella = false;
        bool fineRiga = false; // the mark that ends a table row
        // A list paragraph: its list, level (0 to 8), numbering, first
        // number and marker, where characters 0 to 8 stand for the numbers
        // of the levels; a bullet's marker is its character.
        int elenco = 0;
        int livello = 0;
        bool punto = false;
        SegniElenco::Numerazione numerazione = SegniElenco::Numerazione::decimale;
        int inizio = 1;
        QString segno;
    };
    struct ProprietaCarattere {
        bool grassetto = false;
        bool corsivo = false;
        bool sottolineato = false;
        bool barrato = false;
        bool nascosto = false; // hidden text and tracked deletions
        int mezziPunti = 0;    // the size in half points; 0 keeps the document's own
        std::optional<quint32> colore;
    };

    // Word's characters that mark structure.
    static constexpr char16_t kCella = 7;
    static constexpr char16_t kTab = 9;
    static constexpr char16_t kRiga = 11;
    static constexpr char16_t kPagina = 12;
    static constexpr char16_t kParagrafo = 13;
    static constexpr char16_t kInizioCampo = 19;
    static constexpr char16_t kSeparaCampo = 20;
    static constexpr char16_t kFineCampo = 21;
    static constexpr char16_t kTrattino = 30;
    static constexpr char16_t kTrattinoFacoltativo = 31;
    // The text a document may hold; past it characters are dropped.
    static constexpr qsizetype kMassimoCaratteri = qsizetype(16) << 20;

    void paragrafo(const ProprietaParagrafo& p);
    void carattere(const ProprietaCarattere& c) { carattere_ = c; }
    void testo(char16_t c);
    // The document so far, with a paragraph left open ended.
    TestoFormattato documento();

private:
    struct Campo {
        QString istruzione;
        bool separato = false;
    };
    void aggiungi(const QString& t);
    void chiudi();
    // The list marker opens a list paragraph's text, once.
    void segna();
    QString segnoElenco();
    TestoFormattato::Tratto tratto() const;

    TestoFormattato doc_;
    ProprietaParagrafo proprieta_;
    ProprietaCarattere carattere_;
    TestoFormattato::Paragrafo aperto_;
    bool segnoDato_ = false;
    char16_t alto_ = 0; // the first half of a surrogate pair
    QList<Campo> campi_;
    QHash<int, std::array<std::optional<int>, 9>> contatori_;
    qsizetype caratteri_ = 0;
    TestoFormattato::Celle celle_;
};
