#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

// One running copy per user and display. A later launch hands its arguments
// (the URLs it was opened with) to the running copy over a local socket and
// exits; a launch that cannot reach a running copy becomes the running one.
class IstanzaSingola : public QObject {
    Q_OBJECT
public:
    // Longest message accepted from another launch.
    static constexpr qint64 kMassimoByte = 256 * 1024;

    explicit IstanzaSingola(QString nome = nomePredefinito(), QObject* parent = nullptr);
    ~IstanzaSingola() override;

    // The socket for this user and display, in the runtime folder.
    static QString nomePredefinito();

    // Hands the texts to the running copy; true when it took them.
    bool consegnaAllaPrimaIstanza(const QStringList& testi, int attesaMs = 2000);
    // Becomes the running copy; false when the socket cannot be taken.
    bool diventaPrima();
    // Stops being the running copy, so that a new launch can take over
    // (a relaunch); `riprendi` takes the place back if that launch failed.
    void rilascia();
    bool riprendi() { return diventaPrima(); }
    bool inAscolto() const;

signals:
    // Texts handed over by a later launch, in order.
    void testiRicevuti(const QStringList& testi);

private:
    void accetta();

    QString nome_;
    QLocalServer* server_ = nullptr;
};
