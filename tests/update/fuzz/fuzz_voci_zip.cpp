// Fuzzes the rules for the entries of an update package: the input read as
// a ZIP archive, each entry judged and its data counted against small
// bounds; and the input's bytes judged as one entry's name. Whatever is
// accepted must be a plain relative name of plain components.
#include "VociZip.h"

#include <archive.h>
#include <archive_entry.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sys/stat.h>

namespace {

void giudica(const VociZip::Voce& v)
{
    const auto a = VociZip::controlla(v);
    if (!a)
        return;
    if (v.collegamento || !(S_ISREG(v.modo) || S_ISDIR(v.modo)) || (a->modo & ~mode_t(0755)) || a->parti.empty())
        __builtin_trap();
    std::string unito;
    for (const std::string& p : a->parti) {
        if (p.empty() || p == "." || p == ".." || p.find('/') != std::string::npos || p.find('\0') != std::string::npos)
            __builtin_trap();
        unito += (unito.empty() ? "" : "/") + p;
    }
    // The components are the name itself, at most less one closing slash of a folder.
    if (unito != *v.nome && !(a->cartella && unito + "/" == *v.nome))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n > 0) {
        const mode_t modi[] = {0100644, 0100755, 040755, 0120777, 010644, 0104755};
        giudica({std::string(reinterpret_cast<const char*>(dati) + 1, n - 1), modi[dati[0] % 6], 0, dati[0] >= 128});
    }

    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), &archive_read_free);
    archive_read_support_format_zip(a.get());
    archive_read_support_filter_none(a.get());
    if (archive_read_open_memory(a.get(), dati, n) != ARCHIVE_OK)
        return 0;
    VociZip::Conteggio conteggio({16, 1 << 16});
    archive_entry* e = nullptr;
    while (archive_read_next_header(a.get(), &e) == ARCHIVE_OK && conteggio.voce()) {
        const VociZip::Voce v = VociZip::daEntry(e);
        giudica(v);
        const void* blocco = nullptr;
        size_t lunghezza = 0;
        la_int64_t posizione = 0;
        while (archive_read_data_block(a.get(), &blocco, &lunghezza, &posizione) == ARCHIVE_OK)
            if (!conteggio.byte(la_int64_t(lunghezza)))
                return 0;
        if (conteggio.totale() > (1 << 16))
            __builtin_trap();
    }
    return 0;
}
