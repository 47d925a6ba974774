#pragma once

#include <QCoreApplication>
#include <QLocale>

// Interface texts shown by code that is no widget: `Testi::tr("…")` gives
// the Italian key in the language in use. The key is the same wherever it
// is shown, and the tables' check finds every key written this way.
class Testi {
    Q_DECLARE_TR_FUNCTIONS(Halvora)
public:
    // A language's name as the interface's language writes it ("inglese",
    // "English", "inglés"); one the tables do not name, by its own name.
    static QString nomeLingua(QLocale::Language lingua)
    {
        switch (lingua) {
        case QLocale::Italian: return tr("italiano");
        case QLocale::English: return tr("inglese");
        case QLocale::Spanish: return tr("spagnolo");
        default: return QLocale(lingua).nativeLanguageName();
        }
    }
};
