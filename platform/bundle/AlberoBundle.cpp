#include "AlberoBundle.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace AlberoBundle {

namespace {

struct Stato {
    const std::function<Passo(const Voce&)>& visita;
    int voci = 0;
};

std::vector<std::string> nomi(int cartella)
{
    // fdopendir takes the descriptor it is given: hand it a copy.
    std::vector<std::string> elenco;
    const int copia = ::dup(cartella);
    if (copia < 0)
        return elenco;
    DIR* d = ::fdopendir(copia);
    if (!d) {
        ::close(copia);
        return elenco;
    }
    ::rewinddir(d);
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..")
            elenco.push_back(n);
    }
    ::closedir(d);
    std::sort(elenco.begin(), elenco.end());
    return elenco;
}

bool scendi(int cartella, const std::string& prefisso, int profondita, Stato& s)
{
    if (profondita > kProfonditaMassima)
        return false;
    for (const std::string& nome : nomi(cartella)) {
        if (++s.voci > kVociMassime)
            return false;
        Voce v;
        v.percorso = prefisso.empty() ? nome : prefisso + '/' + nome;
        v.cartella = cartella;
        v.nome = nome;
        v.profondita = profondita;
        if (::fstatat(cartella, nome.c_str(), &v.info, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        const Passo p = s.visita(v);
        if (p == Passo::ferma)
            return false;
        if (p == Passo::salta || !S_ISDIR(v.info.st_mode))
            continue;
        const int figlia = apriCartellaIn(cartella, nome);
        if (figlia < 0)
            return false;
        struct stat st {};
        // The folder opened must be the one just visited, not one swapped in since.
        const bool stessa = ::fstat(figlia, &st) == 0 && st.st_dev == v.info.st_dev && st.st_ino == v.info.st_ino;
        const bool ok = stessa && scendi(figlia, v.percorso, profondita + 1, s);
        ::close(figlia);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool percorri(int radice, const std::function<Passo(const Voce&)>& visita)
{
    Stato s{visita};
    return scendi(radice, {}, 0, s);
}

int apriCartella(const std::string& percorso)
{
    return ::open(percorso.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int apriCartellaIn(int cartella, const std::string& nome)
{
    return ::openat(cartella, nome.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::optional<QByteArray> leggiFile(int cartella, const char* nome, qsizetype massimo)
{
    const int fd = ::openat(cartella, nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    std::optional<QByteArray> dati;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= massimo) {
        dati.emplace();
        char buf[16384];
        ssize_t n = 0;
        while ((n = ::read(fd, buf, sizeof buf)) > 0 && dati->size() <= massimo)
            dati->append(buf, n);
        if (n < 0 || dati->size() > massimo)
            dati.reset();
    }
    ::close(fd);
    return dati;
}

std::string percorsoVoce(const Voce& v)
{
    return "/proc/self/fd/" + std::to_string(v.cartella) + '/' + v.nome;
}

} // namespace AlberoBundle
