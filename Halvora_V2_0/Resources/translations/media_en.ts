<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Nessuna riproduzione</source>
        <translation>Nothing playing</translation>
    </message>
    <message>
        <source>Controlli di sistema — il player in uso non fornisce i dati del brano.</source>
        <translation>System controls — the player in use does not provide track details.</translation>
    </message>
    <message>
        <source>In diretta</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>Guarda nella tacca</source>
        <translation>Watch in the notch</translation>
    </message>
    <message>
        <source>Apri «%1» sotto la tacca</source>
        <translation>Open “%1” under the notch</translation>
    </message>
</context>
</TS>
