#include "PulitoreQuarantena.h"

#include "Aiutanti.h"
#include "Clock.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// One call: its service process, socket and time-out, and the guard that
// lets only the first of answer, end of connection, exit and time-out count.
class RispostaUnica final : public QObject {
public:
    // A child of the application: one still waiting at quit goes with it.
    explicit RispostaUnica(std::function<void(bool)> completamento)
        : QObject(QCoreApplication::instance()), completamento_(std::move(completamento))
    {
    }

    ~RispostaUnica() override
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            ::close(fd_);
        if (pidfd_ >= 0)
            ::close(pidfd_);
    }

    void avvia(const QString& bundle, Clock& clock, const QString& servizio)
    {
        int coppia[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, coppia) != 0)
            return rispondi(false);
        fd_ = coppia[0];
        int suo = coppia[1];
        if (suo == 3) { // dup2 onto itself would keep close-on-exec
            suo = ::fcntl(coppia[1], F_DUPFD_CLOEXEC, 4);
            ::close(coppia[1]);
        }
        // The request waits in the socket until the service reads it. Sent
        // before the service starts, so one that answers and ends at once
        // cannot make the send fail after its answer.
        const QByteArray richiesta = QFile::encodeName(bundle);
        if (::send(fd_, richiesta.constData(), richiesta.size(), MSG_NOSIGNAL) != richiesta.size()) {
            ::close(suo);
            return rispondi(false);
        }
        pid_ = avviaServizio(servizio, suo);
        ::close(suo);
        if (pid_ <= 0)
            return rispondi(false);
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
        if (pidfd_ >= 0) {
            uscita_ = new QSocketNotifier(pidfd_, QSocketNotifier::Read, this);
            connect(uscita_, &QSocketNotifier::activated, this, &RispostaUnica::terminato);
        }
        lettura_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(lettura_, &QSocketNotifier::activated, this, &RispostaUnica::leggi);
        scadenza_ = clock.singleShot(PulitoreQuarantena::kAttesa, [this] { rispondi(false); });
    }

private:
    static pid_t avviaServizio(const QString& servizio, int fd)
    {
        const QByteArray programma = QFile::encodeName(servizio);
        posix_spawn_file_actions_t azioni;
        posix_spawn_file_actions_init(&azioni);
        posix_spawn_file_actions_adddup2(&azioni, fd, 3);
        posix_spawn_file_actions_addclosefrom_np(&azioni, 4);
        pid_t pid = 0;
        char* argv[] = {const_cast<char*>(programma.constData()), nullptr};
        const int errore = ::posix_spawn(&pid, programma.constData(), &azioni, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&azioni);
        return errore == 0 ? pid : 0;
    }

    // The answer byte, or the end of the connection without one.
    void leggi()
    {
        if (risposto_)
            return;
        char b = 0;
        ssize_t n = ::recv(fd_, &b, 1, MSG_DONTWAIT);
        // A service that ends without reading all it was sent resets the
        // pair, and the reset comes before an answer it had already sent.
        const bool azzerata = n < 0 && errno == ECONNRESET;
        if (azzerata)
            n = ::recv(fd_, &b, 1, MSG_DONTWAIT);
        if (n < 0 && !azzerata && (errno == EAGAIN || errno == EINTR))
            return;
        rispondi(n == 1 && b == 1);
    }

    void terminato()
    {
        uscita_->setEnabled(false);
        ::waitpid(pid_, nullptr, WNOHANG);
        pid_ = 0;
        // An answer sent just before exiting still counts.
        leggi();
        if (!risposto_)
            rispondi(false);
        deleteLater();
    }

    void rispondi(bool risposta)
    {
        if (risposto_)
            return;
        risposto_ = true;
        scadenza_.cancel();
        if (lettura_)
            lettura_->setEnabled(false);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [c = std::move(completamento_), risposta] { c(risposta); },
            Qt::QueuedConnection);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            if (pidfd_ >= 0)
                return; // reaped when its end shows on the pidfd
            ::waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
        deleteLater();
    }

    std::function<void(bool)> completamento_;
    bool risposto_ = false;
    int fd_ = -1;
    pid_t pid_ = 0;
    int pidfd_ = -1;
    QSocketNotifier* lettura_ = nullptr;
    QSocketNotifier* uscita_ = nullptr;
    TimerHandle scadenza_;
};

} // namespace

void PulitoreQuarantena::pulisci(const QString& bundle, std::function<void(bool)> completamento, Opzioni o)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(
            app, [bundle, c = std::move(completamento), o] { pulisci(bundle, c, o); }, Qt::QueuedConnection);
        return;
    }
    Clock& clock = o.clock ? *o.clock : Clock::system();
    const QString servizio = o.servizio.isEmpty() ? Aiutanti::percorso(QStringLiteral("netteria")) : o.servizio;
    auto* r = new RispostaUnica(std::move(completamento));
    r->avvia(bundle, clock, servizio);
}
