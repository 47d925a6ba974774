#pragma once

#include "ProprietaParagrafo.h"
#include "ProprietaRun.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>

// The numbering part of a Word document (word/numbering.xml), and the
// count of each list as its paragraphs are read in order.
class NumerazioneDocx {
public:
    static constexpr int kLivelli = ProprietaParagrafo::kLivelli;

    // One level of a list: how it numbers and what its paragraphs and markers look like.
    struct Livello {
        QString formato = QStringLiteral("decimal");
        QString testo;
        int inizio = 1;
        QString dopo = QStringLiteral("tab");
        ProprietaParagrafo paragrafo;
        ProprietaRun run;
    };

    // What the part holds, as far as it reads; an empty part holds no list.
    static NumerazioneDocx leggi(const QByteArray& xml);
    // The level of list `numero`; nothing for no list, "0", or a list the part lacks.
    const Livello* livelloDi(const QString& numero, int livello) const;
    // Counts a paragraph at a level `livelloDi()` gives in its list and gives
    // its marker: "%1." with the level's own number, "%1.%2" with the
    // levels above, a bullet as it is.
    QString segno(const QString& numero, int livello);

private:
    struct Numero {
        QString astratto;
        std::array<std::optional<int>, kLivelli> inizi;
    };

    QHash<QString, std::array<Livello, kLivelli>> astratti_;
    QHash<QString, Numero> numeri_;
    QHash<QString, std::array<std::optional<int>, kLivelli>> contatori_;
};
