#include "ArchivioZip.h"

#include "Interruzione.h"
#include "NomeLibero.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Archivio = std::unique_ptr<archive, decltype(&archive_write_free)>;
using Voce = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

enum class Esito { scritto, saltato, fallito };

class Scrittore {
public:
    Scrittore(archive* a, const Interruzione& stop, QByteArray escluso)
        : a_(a), stop_(stop), escluso_(std::move(escluso)) {}

    // `percorso` on disk (bytes as the file system has them) stored as `nome`.
    Esito voce(const QByteArray& percorso, const QString& nome, int profondita)
    {
        if (stop_.richiesta())
            return Esito::fallito;
        struct stat st {};
        if (percorso == escluso_ || ::lstat(percorso.constData(), &st) != 0)
            return Esito::saltato;
        Voce e(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname_utf8(e.get(), nome.toUtf8().constData());
        archive_entry_set_perm(e.get(), st.st_mode & 07777);
        archive_entry_set_mtime(e.get(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        if (S_ISLNK(st.st_mode))
            return collegamento(e.get(), percorso);
        if (S_ISDIR(st.st_mode))
            return cartella(e.get(), percorso, nome, profondita);
        if (S_ISREG(st.st_mode))
            return file(e.get(), percorso);
        return Esito::saltato;
    }

private:
    Esito collegamento(archive_entry* e, const QByteArray& percorso)
    {
        QByteArray meta(4096, '\0');
        const ssize_t n = ::readlink(percorso.constData(), meta.data(), size_t(meta.size()));
        if (n < 0 || n >= meta.size())
            return Esito::saltato;
        meta.truncate(n);
        archive_entry_set_filetype(e, AE_IFLNK);
        archive_entry_set_symlink_utf8(e, QFile::decodeName(meta).toUtf8().constData());
        return archive_write_header(a_, e) == ARCHIVE_OK ? Esito::scritto : Esito::fallito;
    }

    Esito cartella(archive_entry* e, const QByteArray& percorso, const QString& nome, int profondita)
    {
        if (profondita > ArchivioZip::kProfonditaMassima)
            return Esito::saltato;
        const auto chiudi = [](DIR* d) { ::closedir(d); };
        std::unique_ptr<DIR, decltype(chiudi)> d(::opendir(percorso.constData()), chiudi);
        if (!d)
            return Esito::saltato;
        QList<QByteArray> figli;
        while (const dirent* v = ::readdir(d.get())) {
            const QByteArray n(v->d_name);
            if (n != "." && n != "..")
                figli << n;
        }
        d.reset();
        std::sort(figli.begin(), figli.end());
        archive_entry_set_filetype(e, AE_IFDIR);
        archive_entry_set_pathname_utf8(e, (nome + QLatin1Char('/')).toUtf8().constData());
        if (archive_write_header(a_, e) != ARCHIVE_OK)
            return Esito::fallito;
        for (const QByteArray& f : figli)
            if (voce(percorso + '/' + f, nome + QLatin1Char('/') + QFile::decodeName(f), profondita + 1) == Esito::fallito)
                return Esito::fallito;
        return Esito::scritto;
    }

    Esito file(archive_entry* e, const QByteArray& percorso)
    {
        // Non-blocking, so that a file swapped for a pipe meanwhile cannot hang us.
        const int fd = ::open(percorso.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return Esito::saltato;
        const struct Chiudi {
            int fd;
            ~Chiudi() { ::close(fd); }
        } chiudi{fd};
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return Esito::saltato;
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, st.st_size);
        if (archive_write_header(a_, e) != ARCHIVE_OK)
            return Esito::fallito;
        QByteArray blocco(1 << 16, Qt::Uninitialized);
        for (off_t resto = st.st_size; resto > 0;) {
            if (stop_.richiesta())
                return Esito::fallito;
            const ssize_t n = ::read(fd, blocco.data(), size_t(std::min<off_t>(resto, blocco.size())));
            // A file that shrank or cannot be read would be stored wrong: the archive is given up.
            if (n <= 0 || archive_write_data(a_, blocco.constData(), size_t(n)) != n)
                return Esito::fallito;
            resto -= n;
        }
        return Esito::scritto;
    }

    archive* a_;
    const Interruzione& stop_;
    QByteArray escluso_;
};

} // namespace

std::optional<QString> ArchivioZip::crea(const QStringList& ingressi, const QString& base, const QString& cartella,
                                         const Interruzione& stop)
{
    if (ingressi.isEmpty())
        return std::nullopt;
    auto nome = NomeLibero::riserva(cartella, base, QStringLiteral("zip"));
    if (!nome)
        return std::nullopt;
    Archivio a(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(a.get());
    archive_write_set_format_option(a.get(), "zip", "hdrcharset", "UTF-8");
    archive_write_set_bytes_in_last_block(a.get(), 1);
    const QByteArray uscita = QFile::encodeName(nome->temporaneo());
    if (archive_write_open_filename(a.get(), uscita.constData()) != ARCHIVE_OK)
        return std::nullopt;
    Scrittore scrittore(a.get(), stop, uscita);
    QSet<QString> nomi;
    int scritte = 0;
    for (const QString& ingresso : ingressi) {
        const QString pulito = QDir::cleanPath(QFileInfo(ingresso).absoluteFilePath());
        const QString n = QFileInfo(pulito).fileName();
        if (n.isEmpty() || nomi.contains(n))
            continue;
        switch (scrittore.voce(QFile::encodeName(pulito), n, 0)) {
        case Esito::fallito:
            return std::nullopt;
        case Esito::scritto:
            nomi.insert(n);
            ++scritte;
            break;
        case Esito::saltato:
            break;
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK || scritte == 0)
        return std::nullopt;
    return nome->conferma();
}
