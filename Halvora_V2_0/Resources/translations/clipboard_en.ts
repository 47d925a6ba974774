<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>CLIPBOARD HISTORY</source>
        <translation>CLIPBOARD HISTORY</translation>
    </message>
    <message>
        <source>Cerca negli appunti...</source>
        <translation>Search clipboard...</translation>
    </message>
    <message>
        <source>Copia Tutto</source>
        <translation>Copy All</translation>
    </message>
    <message>
        <source>Copia un testo per iniziare</source>
        <translation>Copy some text to get started</translation>
    </message>
    <message>
        <source>Nessun risultato</source>
        <translation>No results</translation>
    </message>
    <message>
        <source>Svuota cronologia</source>
        <translation>Clear history</translation>
    </message>
</context>
</TS>
