// halvora-doc: reads the Word 97 document on its standard input and
// writes its text, as the body of a Word (.docx) document, on standard
// output. Exits 0 with the document, 1 when the file cannot be read.
// It runs apart from the application because the reading library does not
// stand hostile files: a crash, a loop or a runaway allocation ends here.
#include "DocumentoWord.h"
#include "LettoreWord97.h"

#include <QByteArray>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Word 97 files are far smaller; larger input is not one.
constexpr qsizetype kMassimoFile = qsizetype(64) << 20;

void limita(int risorsa, rlim_t valore)
{
    const rlimit r{valore, valore};
    setrlimit(risorsa, &r);
}

} // namespace

int main()
{
#ifndef __SANITIZE_ADDRESS__ // whose shadow memory alone is terabytes of address space
    limita(RLIMIT_AS, rlim_t(1) << 30);
#endif
    limita(RLIMIT_CPU, 60);
    limita(RLIMIT_CORE, 0);
    limita(RLIMIT_FSIZE, 0); // it writes no file
    QByteArray file;
    char blocco[65536];
    for (ssize_t letti; (letti = ::read(STDIN_FILENO, blocco, sizeof blocco)) != 0;) {
        if (letti < 0 || file.size() + letti > kMassimoFile)
            return 1;
        file.append(blocco, letti);
    }
    const auto documento = LettoreWord97::leggi(file);
    if (!documento)
        return 1;
    const QByteArray xml = DocumentoWord::documentXml(*documento);
    return std::fwrite(xml.constData(), 1, size_t(xml.size()), stdout) == size_t(xml.size()) && std::fflush(stdout) == 0 ? 0 : 1;
}
