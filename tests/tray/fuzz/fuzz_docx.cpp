// Fuzzes the Word reader. A first byte of 0 hands the rest over as the
// package itself; any other wraps the rest into a package as its
// word/document.xml. Whatever it reads, written again and read back, is
// the same document.
#include "DocumentoWord.h"
#include "LettoreDocx.h"

#include <archive.h>
#include <archive_entry.h>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

la_ssize_t accoda(archive*, void* dati, const void* b, size_t n)
{
    static_cast<QByteArray*>(dati)->append(static_cast<const char*>(b), qsizetype(n));
    return la_ssize_t(n);
}

QByteArray inPacchetto(const QByteArray& xml)
{
    QByteArray uscita;
    std::unique_ptr<archive, decltype(&archive_write_free)> a(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(a.get());
    archive_write_open(a.get(), &uscita, nullptr, accoda, nullptr);
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> e(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname(e.get(), "word/document.xml");
    archive_entry_set_filetype(e.get(), AE_IFREG);
    archive_entry_set_size(e.get(), xml.size());
    archive_write_header(a.get(), e.get());
    archive_write_data(a.get(), xml.constData(), size_t(xml.size()));
    archive_write_close(a.get());
    return uscita;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n == 0)
        return 0;
    const QByteArray resto(reinterpret_cast<const char*>(dati) + 1, qsizetype(n - 1));
    const auto doc = LettoreDocx::leggi(dati[0] == 0 ? resto : inPacchetto(resto));
    if (!doc)
        return 0;
    const auto riletto = LettoreDocx::leggi(DocumentoWord::pacchetto(*doc));
    if (!riletto || riletto->paragrafi != doc->paragrafi)
        __builtin_trap();
    return 0;
}
