#include "Scompattatore.h"

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Scompattatore {

namespace {

struct Descrittore {
    int fd = -1;
    explicit Descrittore(int f = -1) : fd(f) {}
    ~Descrittore()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descrittore(const Descrittore&) = delete;
    Descrittore& operator=(Descrittore&& a) noexcept
    {
        std::swap(fd, a.fd);
        return *this;
    }
};

// Opens (making it when missing) the folder `nome` in `cartella`; a link
// or a file there is refused.
int cartellaIn(int cartella, const std::string& nome)
{
    if (::mkdirat(cartella, nome.c_str(), 0755) != 0 && errno != EEXIST)
        return -1;
    return ::openat(cartella, nome.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::string errore(const char* cosa, const std::string& nome)
{
    return std::string(cosa) + ": " + nome;
}

std::optional<std::string> scrivi(archive* a, int cartella, const VociZip::Accettata& voce, const std::string& nome,
                                  VociZip::Conteggio& conteggio)
{
    // Every folder on the way is made or opened without following links.
    Descrittore qui(::dup(cartella));
    const std::size_t ultimi = voce.cartella ? voce.parti.size() : voce.parti.size() - 1;
    for (std::size_t i = 0; i < ultimi; ++i) {
        Descrittore sotto(cartellaIn(qui.fd, voce.parti[i]));
        if (sotto.fd < 0)
            return errore("not a folder", nome);
        qui = std::move(sotto);
    }
    if (voce.cartella)
        return ::fchmod(qui.fd, voce.modo) == 0 ? std::nullopt : std::optional(errore("cannot set mode", nome));

    // A second entry of the same name is refused, not merged.
    Descrittore file(::openat(qui.fd, voce.parti.back().c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.fd < 0)
        return errore(errno == EEXIST ? "entry twice" : "cannot create", nome);
    const void* blocco = nullptr;
    size_t lunghezza = 0;
    la_int64_t posizione = 0;
    la_int64_t scritti = 0;
    while (true) {
        const int r = archive_read_data_block(a, &blocco, &lunghezza, &posizione);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK)
            return errore("unreadable data", nome);
        // Sparse offsets would let holes count as nothing: data is only taken in order.
        if (posizione != scritti)
            return errore("data out of order", nome);
        // Counted as it is written, whatever the entry declared.
        if (!conteggio.byte(la_int64_t(lunghezza)))
            return errore("package too large", nome);
        const char* p = static_cast<const char*>(blocco);
        size_t resto = lunghezza;
        while (resto > 0) {
            const ssize_t n = ::write(file.fd, p, resto);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return errore("cannot write", nome);
            p += n;
            resto -= size_t(n);
        }
        scritti += la_int64_t(lunghezza);
    }
    if (::fchmod(file.fd, voce.modo) != 0 || ::fsync(file.fd) != 0)
        return errore("cannot finish", nome);
    return std::nullopt;
}

} // namespace

std::optional<std::string> scompatta(int zip, int cartella, VociZip::Limiti limiti)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), &archive_read_free);
    if (!a)
        return std::string("no memory");
    // ZIP and nothing else: no other format, no outer compression.
    archive_read_support_format_zip(a.get());
    archive_read_support_filter_none(a.get());
    if (archive_read_open_fd(a.get(), zip, 65536) != ARCHIVE_OK)
        return std::string("not a ZIP package");
    VociZip::Conteggio conteggio(limiti);
    archive_entry* e = nullptr;
    while (true) {
        const int r = archive_read_next_header(a.get(), &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK)
            return std::string("unreadable entry");
        const VociZip::Voce v = VociZip::daEntry(e);
        const std::string nome = v.nome.value_or("?");
        if (!conteggio.voce())
            return std::string("too many entries");
        const auto accettata = VociZip::controlla(v);
        if (!accettata)
            return errore("entry refused", nome);
        // A declared size past the bound needs no reading to be refused.
        if (!accettata->cartella && v.dimensione > limiti.byte - conteggio.totale())
            return errore("package too large", nome);
        if (auto fallito = scrivi(a.get(), cartella, *accettata, nome, conteggio))
            return fallito;
    }
    return std::nullopt;
}

} // namespace Scompattatore
