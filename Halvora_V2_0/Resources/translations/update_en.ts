<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impossibile controllare ora.</source>
        <translation>Unable to check right now.</translation>
    </message>
    <message>
        <source>Sei già aggiornato.</source>
        <translation>You are up to date.</translation>
    </message>
    <message>
        <source>Scarico…</source>
        <translation>Downloading…</translation>
    </message>
    <message>
        <source>Verifico…</source>
        <translation>Checking…</translation>
    </message>
    <message>
        <source>Installo…</source>
        <translation>Installing…</translation>
    </message>
    <message>
        <source>Il download non è riuscito.</source>
        <translation>The download failed.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non è leggibile.</source>
        <translation>The downloaded package cannot be read.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non ha una firma valida: non lo installo.</source>
        <translation>The downloaded package has no valid signature: it will not be installed.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non è la versione annunciata.</source>
        <translation>The downloaded package is not the announced version.</translation>
    </message>
    <message>
        <source>Non si è aperta: avviala da Applicazioni.</source>
        <translation>It did not open: start it from ~/Applications.</translation>
    </message>
</context>
<context>
    <name>AggiornamentoCardView</name>
    <message>
        <source>Versione %1 installata</source>
        <translation>Version %1 installed</translation>
    </message>
    <message>
        <source>Aggiornamento non riuscito</source>
        <translation>Update failed</translation>
    </message>
    <message>
        <source>Versione %1 disponibile</source>
        <translation>Version %1 available</translation>
    </message>
    <message>
        <source>RIAPRI PER USARLA</source>
        <translation>REOPEN TO USE IT</translation>
    </message>
    <message>
        <source>AGGIORNAMENTO GRATUITO</source>
        <translation>FREE UPDATE</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Chiude questa versione e apre quella nuova</source>
        <translation>Closes this version and opens the new one</translation>
    </message>
    <message>
        <source>Aggiorna</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Scarica e installa la versione nuova, poi riavvia</source>
        <translation>Downloads and installs the new version, then restarts</translation>
    </message>
    <message>
        <source>Scarica</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Apri la pagina di download nel browser</source>
        <translation>Opens the download page in the browser</translation>
    </message>
    <message>
        <source>Non ora: te lo richiedo alla prossima versione</source>
        <translation>Not now: I will ask again at the next version</translation>
    </message>
</context>
</TS>
