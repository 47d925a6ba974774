<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<!-- Italian keys that name what only macOS has (its tools, the Mac, its
     key symbols), said as this desktop has it; the English and Spanish
     tables say the same. -->
<context>
    <name>Halvora</name>
    <message>
        <source>TE LA MOSTRO NEL FINDER</source>
        <translation>TE LA MOSTRO NEL GESTORE DEI FILE</translation>
    </message>
    <message>
        <source>Invia con AirDrop</source>
        <translation>Invia con KDE Connect</translation>
    </message>
    <message>
        <source>Invia i %1 elementi selezionati con AirDrop</source>
        <translation>Invia i %1 elementi selezionati con KDE Connect</translation>
    </message>
    <message>
        <source>Invia tutto il vassoio con AirDrop</source>
        <translation>Invia tutto il vassoio con KDE Connect</translation>
    </message>
    <message>
        <source>Segue la lingua del Mac: </source>
        <translation>Segue la lingua del sistema: </translation>
    </message>
    <message>
        <source>Apri la notch con ⌃⌥N</source>
        <translation>Apri la notch con Ctrl+Alt+N</translation>
    </message>
    <message>
        <source>Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</source>
        <translation>Ctrl+Alt+N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.</translation>
    </message>
    <message>
        <source>Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona.</source>
        <translation>Un'altra app usa già Ctrl+Alt+N: finché la tiene lei, qui non funziona.</translation>
    </message>
</context>
</TS>
