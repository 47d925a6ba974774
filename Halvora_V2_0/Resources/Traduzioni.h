#pragma once

#include <QTranslator>
#include <memory>
#include <vector>

// The interface's translation tables. Every text's key is its Italian
// form, whatever class shows it, so lookups ignore the context and go
// through the tables of every area of the application (one per area and
// language, compiled into the program).
class Traduzioni final : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    // Loads the tables of a language: "en", "es", or "it", whose texts are
    // the keys themselves and whose one small table says the few keys that
    // name macOS things the way this desktop has them. False when the
    // language has no table.
    bool carica(const QString& codice);
    QString codice() const { return codice_; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return tabelle_.empty(); }

    // The language to use: `scelta` when set ("it", "en", "es"), else the
    // first of the desktop's languages that has tables, else Italian.
    static QString linguaEffettiva(const QString& scelta);
    // Installs the tables of that language for the whole application.
    static Traduzioni& installa(const QString& scelta);

private:
    std::vector<std::unique_ptr<QTranslator>> tabelle_;
    QString codice_ = QStringLiteral("it");
};
