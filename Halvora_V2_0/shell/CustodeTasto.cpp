#include "CustodeTasto.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

bool CustodeTasto::avvia(const QString& eseguibile)
{
    static bool avviato = false;
    if (avviato)
        return true;
    // Close-on-exec: no other child of ours may hold the pipe open after us.
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0)
        return false;
    // Builtins only while it waits; the signals a terminal or a session
    // sends our whole group would end it before it has done its job.
    const QByteArray programma = eseguibile.toLocal8Bit();
    const QByteArray argomento = kArgomento.toLocal8Bit();
    const char* argv[] = {"/bin/sh",
                          "-c",
                          "trap '' INT TERM HUP; while read -r _; do :; done; exec \"$0\" \"$1\"",
                          programma.constData(),
                          argomento.constData(),
                          nullptr};
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_adddup2(&azioni, tubo[0], STDIN_FILENO);
    pid_t pid = 0;
    const int esito = posix_spawn(&pid, argv[0], &azioni, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&azioni);
    close(tubo[0]);
    if (esito != 0) {
        close(tubo[1]);
        return false;
    }
    // tubo[1] stays open, unused, for the life of the process.
    avviato = true;
    return true;
}
