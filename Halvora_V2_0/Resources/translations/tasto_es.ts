<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Apri e chiudi la notch</source>
        <translation>Abrir y cerrar el notch</translation>
    </message>
</context>
</TS>
