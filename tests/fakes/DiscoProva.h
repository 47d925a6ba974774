#pragma once

#include <QString>

// A small file system of a test's own: a tmpfs of a few hundred kilobytes
// mounted on a fresh folder, so a write really meets a full disk or a
// read-only one. The mounts live in the test process's own mount
// namespace (see `preparaProcesso`), so they go with the process.
class DiscoProva {
public:
    explicit DiscoProva(qint64 byte = 512 * 1024);
    ~DiscoProva();
    DiscoProva(const DiscoProva&) = delete;
    DiscoProva& operator=(const DiscoProva&) = delete;

    // False when the mount was refused; the reason is in `errore`.
    bool montato() const { return montato_; }
    const QString& errore() const { return errore_; }
    const QString& percorso() const { return percorso_; }
    QString filePath(const QString& nome) const { return percorso_ + QLatin1Char('/') + nome; }

    // Takes every free byte with one hidden file, so the next write fails with ENOSPC.
    void riempi();
    // Gives back what `riempi` took.
    void libera();
    // Remounts read-only (or writable again).
    bool soloLettura(bool si);

    // Call first in main, while the process has one thread: gives it a mount
    // namespace of its own, and where it is not root a user namespace in
    // which it may mount. False when the system allows neither.
    static bool preparaProcesso();

private:
    QString percorso_;
    QString errore_;
    bool montato_ = false;
};
