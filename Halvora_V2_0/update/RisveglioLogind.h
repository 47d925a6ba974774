#pragma once

#include "Risveglio.h"

#include <QDBusConnection>

// Wake-ups from logind: PrepareForSleep(false) on the system bus. Without
// logind (or without a system bus) it simply never fires.
class RisveglioLogind final : public Risveglio {
    Q_OBJECT
public:
    explicit RisveglioLogind(const QDBusConnection& bus = QDBusConnection::systemBus(), QObject* parent = nullptr);
    bool inAscolto() const { return inAscolto_; }

private slots:
    void preparaSospensione(bool inizio);

private:
    bool inAscolto_ = false;
};
