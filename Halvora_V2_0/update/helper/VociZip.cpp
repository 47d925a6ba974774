#include "VociZip.h"

#include <archive_entry.h>
#include <sys/stat.h>

namespace VociZip {

Voce daEntry(archive_entry* e)
{
    Voce v;
    if (const char* nome = archive_entry_pathname(e))
        v.nome = nome;
    v.modo = archive_entry_mode(e);
    v.dimensione = archive_entry_size_is_set(e) ? archive_entry_size(e) : 0;
    v.collegamento = archive_entry_hardlink(e) != nullptr || archive_entry_symlink(e) != nullptr;
    return v;
}

std::optional<Accettata> controlla(const Voce& v)
{
    if (v.collegamento || !v.nome || v.dimensione < 0)
        return std::nullopt;
    const bool cartella = S_ISDIR(v.modo);
    if (!cartella && !S_ISREG(v.modo))
        return std::nullopt;
    if (v.modo & (S_ISUID | S_ISGID | S_ISVTX))
        return std::nullopt;

    std::string nome = *v.nome;
    if (nome.empty() || nome.size() > kNomeMassimo || nome.front() == '/')
        return std::nullopt;
    // A folder may be written with one closing slash; a file never.
    if (nome.back() == '/') {
        if (!cartella)
            return std::nullopt;
        nome.pop_back();
    }
    Accettata a;
    a.cartella = cartella;
    std::size_t inizio = 0;
    while (true) {
        const std::size_t fine = nome.find('/', inizio);
        std::string parte = nome.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio);
        if (parte.empty() || parte == "." || parte == ".." || parte.size() > kParteMassima)
            return std::nullopt;
        for (const unsigned char c : parte)
            if (c < 0x20 || c == 0x7f || c == '\\')
                return std::nullopt;
        a.parti.push_back(std::move(parte));
        if (fine == std::string::npos)
            break;
        inizio = fine + 1;
    }
    if (a.parti.size() > std::size_t(kProfonditaMassima))
        return std::nullopt;
    // Only whether a file runs survives; nobody but the owner may write.
    a.modo = cartella || (v.modo & 0111) ? 0755 : 0644;
    return a;
}

} // namespace VociZip
