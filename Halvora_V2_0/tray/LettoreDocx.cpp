#include "LettoreDocx.h"

#include "CorpoDocx.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace {

// A package with more entries than this is not a document.
constexpr int kMassimoVoci = 20000;

} // namespace

std::optional<QHash<QByteArray, QByteArray>> LettoreDocx::parti(const QByteArray& pacchetto, const QList<QByteArray>& nomi,
                                                                 qsizetype massimo)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    if (archive_read_open_memory(a.get(), pacchetto.constData(), size_t(pacchetto.size())) != ARCHIVE_OK)
        return std::nullopt;
    QHash<QByteArray, QByteArray> trovate;
    archive_entry* voce = nullptr;
    for (int n = 0; n < kMassimoVoci && trovate.size() < nomi.size(); ++n) {
        const int r = archive_read_next_header(a.get(), &voce);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            return std::nullopt;
        const char* percorso = archive_entry_pathname(voce);
        if (!percorso || !nomi.contains(QByteArray(percorso)) || trovate.contains(percorso))
            continue;
        QByteArray dati;
        char blocco[65536];
        for (;;) {
            const la_ssize_t letti = archive_read_data(a.get(), blocco, sizeof blocco);
            if (letti < 0 || dati.size() + letti > massimo)
                return std::nullopt;
            if (letti == 0)
                break;
            dati.append(blocco, letti);
        }
        trovate.insert(percorso, dati);
    }
    return trovate;
}

std::optional<QByteArray> LettoreDocx::parte(const QByteArray& pacchetto, const QByteArray& nome, qsizetype massimo)
{
    const auto trovate = parti(pacchetto, {nome}, massimo);
    if (!trovate || !trovate->contains(nome))
        return std::nullopt;
    return trovate->value(nome);
}

std::optional<TestoFormattato> LettoreDocx::leggi(const QByteArray& pacchetto)
{
    if (pacchetto.size() > kMassimoPacchetto)
        return std::nullopt;
    const auto trovate = parti(pacchetto, {"word/document.xml", "word/styles.xml", "word/numbering.xml"}, kMassimoXml);
    if (!trovate || !trovate->contains("word/document.xml"))
        return std::nullopt;
    return leggiXml(trovate->value("word/document.xml"), trovate->value("word/styles.xml"),
                    trovate->value("word/numbering.xml"));
}

std::optional<TestoFormattato> LettoreDocx::leggiXml(const QByteArray& xml, const QByteArray& stili,
                                                     const QByteArray& numerazione)
{
    return CorpoDocx(xml, StiliDocx::leggi(stili), NumerazioneDocx::leggi(numerazione)).leggi();
}
